#include "printing/resultpreviewdialog.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

namespace vartemo {

QStringList ResultPreviewDialog::KartEntries() {
    return {QStringLiteral("Vše"),    QStringLiteral("První"),  QStringLiteral("Druhou"),
            QStringLiteral("Třetí"),  QStringLiteral("Čtvrtou"), QStringLiteral("Pátou"),
            QStringLiteral("Šestou"), QStringLiteral("Sedmou"), QStringLiteral("Osmou")};
}

ResultPreviewDialog::ResultPreviewDialog(ResultKind kind, StationPrinter& printer, Source source,
                                         QWidget* parent)
    : PrintPreviewDialog(printer, {QStringLiteral("Náhled tisku"), QSize(777, 675)}, parent), kind_(kind),
      source_(std::move(source)) {
    setObjectName(kind == ResultKind::Laps ? QStringLiteral("TNahled2Dlg") : QStringLiteral("TNahled3Dlg"));
    auto* group = new QGroupBox(QStringLiteral(" Tisknout motokáru "), this);
    group->setObjectName(QStringLiteral("rgTiskKary"));
    auto* grid = new QGridLayout(group);
    karts_ = new QButtonGroup(group);
    const QStringList entries = KartEntries();
    for (int i = 0; i < entries.size(); ++i) {
        auto* radio = new QRadioButton(entries[i], group);
        radio->setObjectName(QStringLiteral("rgTiskKary%1").arg(i));
        karts_->addButton(radio, i);
        grid->addWidget(radio, i / 3, i % 3);
    }
    karts_->button(0)->setChecked(true);
    extraControls()->insertWidget(0, group);
    connect(karts_, &QButtonGroup::idClicked, this, [this] { ComposePages(); });
}

int ResultPreviewDialog::kartSelection() const { return std::max(0, karts_->checkedId()); }

void ResultPreviewDialog::setKartSelection(int selection) {
    if (QAbstractButton* b = karts_->button(selection))
        b->setChecked(true);
}

Sheet ResultPreviewDialog::composeSheet(const std::function<void(int, int)>& progress) {
    ResultSheetInput input = source_();
    input.kind = kind_;
    input.selection = everyKart_ ? 0 : kartSelection();
    return ComposeResultPages(input, progress);
}

QStringList ResultPreviewDialog::PrintAllKartsWithoutDialog() {
    everyKart_ = true;
    const QStringList problems = PrintWithoutDialog();
    everyKart_ = false;
    return problems;
}

} // namespace vartemo

#include "moc_resultpreviewdialog.cpp"
