#include "printing/diplomadialog.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vartemo {

TDiplomDlg::TDiplomDlg(StationPrinter& printer, Source source, QWidget* parent)
    : PrintPreviewDialog(printer, {QStringLiteral("Náhled tisku - diplom"), QSize(770, 675)}, parent),
      source_(std::move(source)) {
    setObjectName(QStringLiteral("TDiplomDlg"));
    auto* nameBox = new QVBoxLayout;
    nameBox->addWidget(new QLabel(QStringLiteral("Sem zadejte jméno:"), this));
    auto* nameRow = new QHBoxLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("jmeno"));
    auto* insert = new QPushButton(QStringLiteral("Vlož"), this);
    insert->setObjectName(QStringLiteral("btnVloz"));
    insert->setAutoDefault(false);
    nameRow->addWidget(name_);
    nameRow->addWidget(insert);
    nameBox->addLayout(nameRow);

    auto* group = new QGroupBox(QStringLiteral(" Umistění "), this);
    group->setObjectName(QStringLiteral("rgUmisteni"));
    auto* row = new QHBoxLayout(group);
    placement_ = new QButtonGroup(group);
    const QStringList entries = PlacementEntries();
    for (int i = 0; i < entries.size(); ++i) {
        auto* radio = new QRadioButton(entries[i], group);
        radio->setObjectName(QStringLiteral("rgUmisteni%1").arg(i));
        placement_->addButton(radio, i);
        row->addWidget(radio);
    }
    placement_->button(0)->setChecked(true);
    extraControls()->insertLayout(0, nameBox, 1);
    extraControls()->insertWidget(1, group);
    // Changing the placement alone does not compose; "Vlož" does.
    connect(insert, &QPushButton::clicked, this, [this] { ComposePages(); });
}

QString TDiplomDlg::name() const { return name_->text(); }
void TDiplomDlg::setName(const QString& name) { name_->setText(name); }
int TDiplomDlg::placement() const { return std::max(0, placement_->checkedId()); }

void TDiplomDlg::setPlacement(int placement) {
    if (QAbstractButton* b = placement_->button(placement))
        b->setChecked(true);
}

void TDiplomDlg::preset(const QString& name, int placement) {
    setName(name);
    if (placement >= 0)
        setPlacement(placement);
}

Sheet TDiplomDlg::composeSheet(const std::function<void(int, int)>& progress) {
    DiplomaInput input = source_();
    input.name = name();
    input.placement = placement();
    Sheet sheet = ComposeDiploma(input);
    if (progress)
        progress(10, 10);
    return sheet;
}

} // namespace vartemo

#include "moc_diplomadialog.cpp"
