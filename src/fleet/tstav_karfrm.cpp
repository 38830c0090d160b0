#include "fleet/tstav_karfrm.h"

#include "fleet/kartfleet.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vartemo {

namespace {

QString name(const char* pattern, int kart) {
    return QString::fromLatin1(pattern).arg(kart);
}

QSpinBox* spin(QWidget* parent, const QString& objectName, FieldRange range) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(objectName);
    s->setRange(range.min, range.max);
    return s;
}

QLineEdit* readOnly(QWidget* parent, const QString& objectName) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(objectName);
    e->setReadOnly(true);
    return e;
}

QLabel* label(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

void setValue(QSpinBox* box, int value) {
    if (box->value() != value)
        box->setValue(value);
}

void setText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

void markDue(QLineEdit* edit, bool due) {
    QPalette palette = edit->parentWidget()->palette();
    if (due)
        palette.setColor(QPalette::Base, Qt::yellow);
    edit->setPalette(palette);
    edit->setProperty("due", due);
}

} // namespace

QString TStav_KarFrm::initialHoursName(int kart) {
    return kart == 2 ? QStringLiteral("PocStav2_hod") : name("PocStav%1_Hod", kart);
}

QString TStav_KarFrm::fuelSinceResetName(int kart) {
    return kart == 2 || kart >= 5 ? name("Slitru%1", kart) : name("SLitru%1", kart);
}

TStav_KarFrm::TStav_KarFrm(KartFleet& fleet, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), fleet_(fleet),
      showError_([](QWidget* p, const QString& message) { QMessageBox::critical(p, QString(), message); }) {
    setObjectName(QStringLiteral("Stav_KarFrm"));
    setWindowTitle(QStringLiteral("Technický stav motokár"));
    setModal(true);

    auto* column = new QVBoxLayout(this);
    page1_ = new QTabWidget(this);
    page1_->setObjectName(QStringLiteral("Page1"));
    for (int kart = 1; kart <= kFleetKarts; ++kart)
        page1_->addTab(buildTab(kart), QStringLiteral("Motokára %1").arg(kart));
    // Every kart's tab whole and in sight: the window is as wide as they need.
    page1_->setUsesScrollButtons(false);
    page1_->tabBar()->setElideMode(Qt::ElideNone);
    column->addWidget(page1_);

    auto* buttons = new QHBoxLayout;
    auto* logBook = new QPushButton(QStringLiteral("Zobraz &Deník"), this);
    logBook->setObjectName(QStringLiteral("BitBtn1"));
    logBook->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("Potvrdit a zavřít"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    buttons->addWidget(logBook);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    column->addLayout(buttons);

    connect(logBook, &QPushButton::clicked, this, &TStav_KarFrm::logBookRequested);
    connect(ok, &QPushButton::clicked, this, &TStav_KarFrm::OKClick);
    connect(page1_, &QTabWidget::currentChanged, this, [this] { fleet_.RecalcFuel(); });
    connect(&fleet_, &KartFleet::changed, this, &TStav_KarFrm::showRecords);
    showRecords();
}

QWidget* TStav_KarFrm::buildTab(int kart) {
    auto* tab = new QWidget;
    tab->setObjectName(name("TabSheet%1", kart));
    KartControls& c = karts_[size_t(kart - 1)];
    auto* grid = new QGridLayout(tab);
    grid->addWidget(buildHoursGroup(kart, c), 0, 0);
    grid->addWidget(buildFuelGroup(kart, c), 0, 1);
    grid->addWidget(buildTasksGroup(kart, c), 1, 0, 1, 2);
    connectKart(kart, c);
    return tab;
}

QWidget* TStav_KarFrm::buildHoursGroup(int kart, KartControls& c) {
    auto* group = new QGroupBox(QStringLiteral(" Motohodiny "));
    auto* g = new QGridLayout(group);
    c.initialHours = spin(group, initialHoursName(kart), kartrange::kHours);
    c.initialMinutes = spin(group, name("PocStav%1_Min", kart), kartrange::kInitialMinutes);
    c.driven = readOnly(group, name("Najeto%1", kart));
    c.total = readOnly(group, name("Celkem%1", kart));
    auto* reset = new QPushButton(QStringLiteral("Vynuluj"), group);
    reset->setObjectName(name("Vynuluj%1", kart));
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, [this, kart] { VynulujClick(kart); });

    g->addWidget(label(QStringLiteral("Počáteční stav:"), group), 0, 0);
    g->addWidget(c.initialHours, 0, 1);
    g->addWidget(label(QStringLiteral("hod"), group), 0, 2);
    g->addWidget(c.initialMinutes, 0, 3);
    g->addWidget(label(QStringLiteral("min"), group), 0, 4);
    g->addWidget(label(QStringLiteral("Najeto:"), group), 1, 0);
    g->addWidget(c.driven, 1, 1);
    g->addWidget(label(QStringLiteral("hodin"), group), 1, 2);
    g->addWidget(reset, 1, 3, 1, 2);
    g->addWidget(label(QStringLiteral("Celkem:"), group), 2, 0);
    g->addWidget(c.total, 2, 1);
    g->addWidget(label(QStringLiteral("hodin"), group), 2, 2);
    return group;
}

QWidget* TStav_KarFrm::buildTasksGroup(int kart, KartControls& c) {
    auto* group = new QGroupBox(QStringLiteral(" Plánované úkoly po nastavených hodinách "));
    auto* g = new QGridLayout(group);
    for (int t = 1; t <= kKartTasks; ++t) {
        TaskControls& task = c.tasks[size_t(t - 1)];
        const QString suffix = QStringLiteral("%1_%2").arg(kart).arg(t);
        task.enabled = new QCheckBox(group);
        task.enabled->setObjectName(QStringLiteral("Ukol") + suffix);
        task.hours = spin(group, QStringLiteral("UkolV%1Hod").arg(suffix), kartrange::kHours);
        task.minutes = spin(group, QStringLiteral("UkolV%1Min").arg(suffix), kartrange::kIntervalMinutes);
        task.text = new QLineEdit(group);
        task.text->setObjectName(QStringLiteral("Text") + suffix);
        task.text->setMaxLength(kartrange::kTaskTextLength);
        task.done = new QPushButton(QStringLiteral("Hotovo"), group);
        task.done->setObjectName(QStringLiteral("btnHotovo") + suffix);
        task.done->setAutoDefault(false);
        task.done->setEnabled(false); // until a check finds the task due
        connect(task.done, &QPushButton::clicked, this, &TStav_KarFrm::btnHotovoClick);
        auto* colon = label(QStringLiteral(":"), group);
        QFont bold = colon->font();
        bold.setBold(true);
        colon->setFont(bold);

        g->addWidget(task.enabled, t, 0);
        g->addWidget(task.hours, t, 1);
        g->addWidget(colon, t, 2);
        g->addWidget(task.minutes, t, 3);
        g->addWidget(task.text, t, 4);
        g->addWidget(task.done, t, 5);
    }
    g->setColumnStretch(4, 1);
    return group;
}

QWidget* TStav_KarFrm::buildFuelGroup(int kart, KartControls& c) {
    auto* group = new QGroupBox(QStringLiteral("Spotřeba paliva"));
    auto* g = new QGridLayout(group);
    c.fuelSinceReset = readOnly(group, fuelSinceResetName(kart));
    c.totalFuel = readOnly(group, name("CelkemL%1", kart));
    c.consumption = spin(group, name("Pr_spotreba%1", kart), kartrange::kConsumption);
    c.tank = spin(group, name("Obsah_nadrze%1", kart), kartrange::kTank);
    c.refuelNotice = new QCheckBox(QStringLiteral("Tankuj nádrž každých"), group);
    c.refuelNotice->setObjectName(name("Doplneni%1", kart));
    c.refuelMargin = spin(group, name("Litru%1", kart), kartrange::kRefuelMargin);

    g->addWidget(label(QStringLiteral("decilitrů:"), group), 0, 0);
    g->addWidget(c.fuelSinceReset, 0, 1);
    g->addWidget(label(QStringLiteral("celkem dcl:"), group), 0, 2);
    g->addWidget(c.totalFuel, 0, 3);
    g->addWidget(label(QStringLiteral("Průměrná spotřeba:"), group), 1, 0);
    g->addWidget(c.consumption, 1, 1);
    g->addWidget(label(QStringLiteral("decilitrů/hodinu"), group), 1, 2, 1, 2);
    g->addWidget(label(QStringLiteral("Obsah nádrže:"), group), 2, 0);
    g->addWidget(c.tank, 2, 1);
    g->addWidget(label(QStringLiteral("litrů"), group), 2, 2, 1, 2);
    g->addWidget(c.refuelNotice, 3, 0);
    g->addWidget(c.refuelMargin, 3, 1);
    g->addWidget(label(QStringLiteral("decilitrů předem"), group), 3, 2, 1, 2);
    return group;
}

// Each edit goes to the record at once; the record's rule (carry, wrap,
// fuel) then comes back through showRecords.
void TStav_KarFrm::connectKart(int kart, KartControls& c) {
    auto onSpin = [this](QSpinBox* box, auto apply) {
        connect(box, &QSpinBox::valueChanged, this, [this, apply](int value) {
            if (!showing_)
                apply(value);
        });
    };
    onSpin(c.initialHours, [this, kart](int v) { fleet_.setInitialHours(kart, v); });
    onSpin(c.initialMinutes, [this, kart](int v) { fleet_.setInitialMinutes(kart, v); });
    onSpin(c.consumption, [this, kart](int v) { fleet_.setConsumption(kart, v); });
    onSpin(c.tank, [this, kart](int v) { fleet_.setTank(kart, v); });
    onSpin(c.refuelMargin, [this, kart](int v) { fleet_.setRefuelMargin(kart, v); });
    connect(c.refuelNotice, &QCheckBox::toggled, this, [this, kart](bool on) {
        if (!showing_)
            fleet_.setRefuelNotice(kart, on);
    });
    for (int t = 1; t <= kKartTasks; ++t) {
        TaskControls& task = c.tasks[size_t(t - 1)];
        onSpin(task.hours, [this, kart, t](int v) { fleet_.setIntervalHours(kart, t, v); });
        onSpin(task.minutes, [this, kart, t](int v) { fleet_.setIntervalMinutes(kart, t, v); });
        connect(task.enabled, &QCheckBox::toggled, this, [this, kart, t](bool on) {
            if (!showing_)
                fleet_.setTaskEnabled(kart, t, on);
        });
        connect(task.text, &QLineEdit::textEdited, this,
                [this, kart, t](const QString& text) { fleet_.setTaskText(kart, t, text); });
    }
}

void TStav_KarFrm::showRecords() {
    if (showing_)
        return;
    showing_ = true;
    for (int kart = 1; kart <= kFleetKarts; ++kart) {
        KartControls& c = karts_[size_t(kart - 1)];
        const KartStatus& k = fleet_.kart(kart);
        const KartFleet::Totals& totals = fleet_.totals(kart);
        setValue(c.initialHours, k.initialHours);
        setValue(c.initialMinutes, k.initialMinutes);
        setText(c.driven, k.driven);
        setText(c.total, totals.total);
        setText(c.fuelSinceReset, totals.fuelSinceReset);
        setText(c.totalFuel, totals.totalFuel);
        setValue(c.consumption, k.consumption);
        setValue(c.tank, k.tank);
        c.refuelNotice->setChecked(k.refuelNotice);
        setValue(c.refuelMargin, k.refuelMargin);
        for (int t = 1; t <= kKartTasks; ++t) {
            TaskControls& task = c.tasks[size_t(t - 1)];
            const KartTask& record = k.tasks[size_t(t - 1)];
            const KartFleet::TaskMarks& marks = fleet_.marks(kart, t);
            task.enabled->setChecked(record.enabled);
            setValue(task.hours, record.intervalHours);
            setValue(task.minutes, record.intervalMinutes);
            // A longer loaded text is shown cut; the record keeps it until edited.
            setText(task.text, record.text.left(kartrange::kTaskTextLength));
            markDue(task.text, marks.due);
            task.done->setEnabled(marks.confirmEnabled);
        }
    }
    showing_ = false;
}

void TStav_KarFrm::showEvent(QShowEvent* event) {
    closing_ = false;
    page1_->setCurrentIndex(0);
    fleet_.RefreshKartTotals();
    if (QWidget* main = parentWidget())
        move(main->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TStav_KarFrm::reportSaveFailure(bool saved, const QString& error) {
    if (!saved && showError_)
        showError_(this, error);
}

void TStav_KarFrm::OKClick() {
    if (closing_)
        return;
    closing_ = true;
    QString error;
    reportSaveFailure(fleet_.SaveKartStatus(&error), error);
    // The window closes even when the file cannot be written: the records
    // stay and reach the file at the next save.
    accept();
}

void TStav_KarFrm::reject() {
    OKClick();
}

void TStav_KarFrm::closeEvent(QCloseEvent* event) {
    OKClick();
    event->accept();
}

void TStav_KarFrm::VynulujClick(int kart) {
    QString error;
    reportSaveFailure(fleet_.ResetDrivenTime(kart, &error), error);
}

// One handler for all 32 buttons: kart and task from the name "btnHotovoN_T".
void TStav_KarFrm::btnHotovoClick() {
    static const QRegularExpression pattern(QStringLiteral("^btnHotovo(\\d)_(\\d)$"));
    const auto match = pattern.match(sender() ? sender()->objectName() : QString());
    if (!match.hasMatch())
        return;
    QString error;
    reportSaveFailure(fleet_.ConfirmTask(match.captured(1).toInt(), match.captured(2).toInt(), &error), error);
}

} // namespace vartemo

#include "moc_tstav_karfrm.cpp"
