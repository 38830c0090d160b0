#pragma once

#include "printing/besttwentysheet.h"
#include "printing/printpreviewdialog.h"

namespace vartemo {

// The preview of the best-twenty sheet ("&Tisk" of the best-twenty window):
// both tables as pictures on one portrait page. It prints through the lap
// sheet's printer.
class TNahled1Dlg : public PrintPreviewDialog {
    Q_OBJECT
public:
    using Source = std::function<BestTwentyInput()>;
    TNahled1Dlg(StationPrinter& printer, Source source, QWidget* parent = nullptr);

protected:
    Sheet composeSheet(const std::function<void(int, int)>& progress) override;

private:
    Source source_;
};

} // namespace vartemo
