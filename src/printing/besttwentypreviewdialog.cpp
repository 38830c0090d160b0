#include "printing/besttwentypreviewdialog.h"

namespace vartemo {

TNahled1Dlg::TNahled1Dlg(StationPrinter& printer, Source source, QWidget* parent)
    : PrintPreviewDialog(printer,
                         {.caption = kBestTwentyCaption,
                          .size = QSize(506, 674),
                          .compactPaging = true,
                          .waitIndicator = false,
                          .composePauseMs = 0},
                         parent),
      source_(std::move(source)) {
    setObjectName(QStringLiteral("TNahled1Dlg"));
}

Sheet TNahled1Dlg::composeSheet(const std::function<void(int, int)>& progress) {
    Sheet sheet = ComposeBestTwentySheet(source_());
    if (progress)
        progress(1, 1);
    return sheet;
}

} // namespace vartemo

#include "moc_besttwentypreviewdialog.cpp"
