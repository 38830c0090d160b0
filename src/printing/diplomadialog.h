#pragma once

#include "printing/diplomasheet.h"
#include "printing/printpreviewdialog.h"

class QButtonGroup;
class QLineEdit;

namespace vartemo {

// The diploma preview: the name `jmeno`, "Vlož" (`btnVloz`) that composes
// again, and the placement `rgUmisteni`. It has a printer of its own.
class TDiplomDlg : public PrintPreviewDialog {
    Q_OBJECT
public:
    using Source = std::function<DiplomaInput()>; // settings, date and time
    TDiplomDlg(StationPrinter& printer, Source source, QWidget* parent = nullptr);

    QString name() const;
    void setName(const QString& name);
    int placement() const;
    void setPlacement(int placement);
    // A best-twenty row: its name and placement 0..4; -1 keeps the last
    // one chosen.
    void preset(const QString& name, int placement);

protected:
    Sheet composeSheet(const std::function<void(int, int)>& progress) override;

private:
    Source source_;
    QLineEdit* name_ = nullptr;
    QButtonGroup* placement_ = nullptr;
};

} // namespace vartemo
