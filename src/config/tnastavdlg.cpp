#include "config/tnastavdlg.h"

#include "config/settings.h"
#include "config/settingspages.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "platform/modemline.h"
#include "platform/portio.h"
#include "ui/tabsfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vartemo {

namespace {

using S = SettingId;

const QString kLearn = QStringLiteral("Naučit");
const QString kEndLearn = QStringLiteral("Ukonči");
const QString kRead = QStringLiteral("Čti data");
const QString kEndRead = QStringLiteral("Ukonči čtení");
const QString kNoPort = QStringLiteral("Zadejte komunikační port a popis");
// UpdateInputButtons' mode while a source is being switched.
constexpr int kSwitchingSources = 10;
constexpr int kLearnButtons = 16;
// The width of the smallest screen the station is used on.
constexpr int kSmallScreenWidth = 1024;

QStringList comNames() {
    QStringList names;
    for (int n = 1; n <= 8; ++n)
        names << QStringLiteral("COM%1").arg(n);
    return names;
}

// ComComboBox2..6 after the port: rate, data bits, stop bits, parity, flow control.
constexpr SerialField kSerialFields[5] = {SerialField::BaudRate, SerialField::DataBits, SerialField::StopBits,
                                          SerialField::Parity, SerialField::FlowControl};

// The port's combo box i (0 the port): the operator sees Czech texts, each
// item carries the text vartemo.ini keeps.
QComboBox* makeSerialCombo(const QByteArray& name, int i) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    if (i == 0) {
        combo->addItems(comNames());
        combo->setEditable(true);
        return combo;
    }
    for (const SerialChoice& c : SerialChoices(kSerialFields[i - 1]))
        combo->addItem(c.shown, c.stored);
    return combo;
}

// The stored text of a port combo box: the port as typed, else the item's own.
QString storedText(const QComboBox* combo) {
    return combo->isEditable() ? combo->currentText() : combo->currentData().toString();
}

void showStored(QComboBox* combo, const QString& stored) {
    const QSignalBlocker block(combo);
    if (combo->isEditable())
        combo->setEditText(stored);
    else
        combo->setCurrentIndex(combo->findData(stored));
}

const char* const kSerialLabels[6] = {"Port", "Rychlost", "Datové bity", "Stop bity", "Parita",
                                      "Řízení toku"};

// Learn slots 1..8 and 11..81 in button order.
int learnSlotAt(int index) {
    return index < kKartCount ? index + 1 : (index - kKartCount + 1) * 10 + 1;
}

int learnIndexOf(int slot) {
    return slot <= kKartCount ? slot - 1 : kKartCount + slot / 10 - 1;
}

SettingId codeFieldOf(int slot) {
    return slot <= kKartCount ? NumberedSetting(S::EdSekvence1, slot)
                              : NumberedSetting(S::EdSekvence11, slot / 10);
}

QComboBox* makeCombo(const char* name, const QStringList& items, bool editable = false) {
    auto* combo = new QComboBox;
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    combo->setEditable(editable);
    return combo;
}

QSpinBox* makeSpin(const char* name, int minimum, int maximum) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QLatin1String(name));
    spin->setRange(minimum, maximum);
    return spin;
}

// The caption is the control's label: a screen reader names the control by it.
void addLabelled(QGridLayout* grid, const QString& caption, QWidget* control) {
    const int row = grid->rowCount();
    auto* label = new QLabel(caption);
    label->setBuddy(control);
    grid->addWidget(label, row, 0);
    grid->addWidget(control, row, 1);
}

// A list of received lines that asks for little height and takes what the page leaves.
class ShortMemo final : public QPlainTextEdit {
public:
    QSize sizeHint() const override { return {QPlainTextEdit::sizeHint().width(), 80}; }
};

} // namespace

TNastavDlg::TNastavDlg(Parts parts, QWidget* parent) : QDialog(parent), parts_(std::move(parts)) {
    setObjectName(QStringLiteral("TNastavDlg"));
    setWindowTitle(QStringLiteral("Nastavení"));
    hooks_.wait = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    hooks_.choosePicture = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, QString(), folder,
                                            QStringLiteral("Obrázky (*.bmp *.jpg *.jpeg *.png *.gif)"));
    };
    OpakujCteniTimer.setObjectName(QStringLiteral("OpakujCteniTimer"));
    OpakujCteniTimer.setInterval(50);
    connect(&OpakujCteniTimer, &QTimer::timeout, this, &TNastavDlg::CtiPortClick);
    // Connected before the load: loading a source opens it as a click does.
    connect(&parts_.settings, &Settings::changed, this, &TNastavDlg::onSettingChanged);
    connect(&parts_.settings, &Settings::serialPortChanged, this, &TNastavDlg::showSerialPort);
    connect(&parts_.settings, &Settings::udpPortsChanged, this, &TNastavDlg::showUdpPorts);
    parts_.receivers.setNetworkMonitor([this](const QString& line) {
        if (networkMemo_)
            networkMemo_->appendPlainText(line);
    });
}

TNastavDlg::~TNastavDlg() {
    parts_.receivers.setNetworkMonitor({});
    if (parts_.laps.learner() == this)
        parts_.laps.setLearner(nullptr);
}

void TNastavDlg::setHooks(Hooks hooks) {
    if (!hooks.wait)
        hooks.wait = hooks_.wait;
    if (!hooks.choosePicture)
        hooks.choosePicture = hooks_.choosePicture;
    hooks_ = std::move(hooks);
    for (const auto& [button, hook] : hookButtons_)
        button->setEnabled(bool(hooks_.*hook));
    showHealthStripChoice();
}

void TNastavDlg::showHealthStripChoice() {
    if (!healthStrip_)
        return;
    const bool available = hooks_.healthStripShown && hooks_.showHealthStrip;
    healthStrip_->setEnabled(available);
    const QSignalBlocker quiet(healthStrip_);
    healthStrip_->setChecked(available && hooks_.healthStripShown());
}

QString TNastavDlg::LearnButtonName(int slot) {
    return QStringLiteral("btnNaucit%1").arg(slot);
}

void TNastavDlg::wait(int ms) {
    if (hooks_.wait)
        hooks_.wait(ms);
}

// ---------------------------------------------------------------- building

void TNastavDlg::ensureBuilt() {
    if (built())
        return;
    pages_ = new SettingsPages(parts_.settings, this);
    buildFrame();
    for (int page = 0; page < kPageCount; ++page) {
        auto* widget = new QWidget;
        page1_->addTab(widget, PageCaptions()[page]);
        pages_->build(page, widget);
    }
    buildStartPage();
    buildHealthStripChoice();
    buildPrintPages();
    buildComPage();
    buildCodesPage();
    buildEditorPage();
    buildTestsPage();
    for (int page = 0; page < kPageCount; ++page)
        pages_->balanceColumns(page);
    connect(page1_, &QTabWidget::currentChanged, this, [this] {
        // While a code is learnt or a test reads, the tests page stays in front.
        if (parts_.laps.learnSlot() != kLearnNone && page1_->currentIndex() != kPageTests)
            page1_->setCurrentIndex(kPageTests);
    });
    showSerialPort();
    showUdpPorts();
    showDecoderChoices();
    enableSensorEdits();
    applyViewLevel();
    UpdateInputButtons(parts_.laps.learnSlot());
}

void TNastavDlg::buildFrame() {
    auto* layout = new QVBoxLayout(this);
    page1_ = new QTabWidget;
    page1_->setObjectName(QStringLiteral("Page1"));
    layout->addWidget(page1_, 1);
    auto* bottom = new QHBoxLayout;
    auto* frame = new QWidget;
    pages_->build(kFramePage, frame);
    // The view levels in one row beside OK and cancel: the dialog fits a
    // 1024 x 768 screen.
    if (auto* levels = qobject_cast<QBoxLayout*>(pages_->control(S::rgZobrazeni)->layout()))
        levels->setDirection(QBoxLayout::LeftToRight);
    bottom->addWidget(frame);
    bottom->addStretch(1);
    okButton_ = new QPushButton(QStringLiteral("OK"));
    okButton_->setObjectName(QStringLiteral("OK_BitBtn"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("&Zrušit"));
    cancelButton_->setObjectName(QStringLiteral("btn_Zrus"));
    bottom->addWidget(okButton_, 0, Qt::AlignBottom);
    bottom->addWidget(cancelButton_, 0, Qt::AlignBottom);
    layout->addLayout(bottom);
    connect(okButton_, &QPushButton::clicked, this, &TNastavDlg::OK_BitBtnClick);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton* TNastavDlg::addButton(int page, const QString& group, const char* name,
                                   const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    QGridLayout* grid = pages_->groupGrid(page, group);
    grid->addWidget(button, grid->rowCount(), 0, 1, -1);
    return button;
}

QPushButton* TNastavDlg::hookButton(int page, const QString& group, const char* name,
                                    const QString& caption, std::function<void()> Hooks::*hook) {
    QPushButton* button = addButton(page, group, name, caption);
    button->setEnabled(bool(hooks_.*hook));
    hookButtons_.emplace_back(button, hook);
    connect(button, &QPushButton::clicked, this, [this, hook] {
        if (hooks_.*hook)
            (hooks_.*hook)();
    });
    return button;
}

void TNastavDlg::buildStartPage() {
    const QString others = QStringLiteral(" Ostatní ");
    QPushButton* const buttons[] = {
        hookButton(kPageStart, others, "BitBtn1", QStringLiteral("Vytvoř zástupce na ploše"),
                   &Hooks::createDesktopLauncher),
        hookButton(kPageStart, others, "VynulujTab", QStringLiteral("Vynuluj tabulky Nej 20"),
                   &Hooks::resetBestTwenty),
        hookButton(kPageStart, others, "Zalohuj_data", QStringLiteral("Zálohování dat a nastavení"),
                   &Hooks::backup),
        hookButton(kPageStart, others, "btnSmazatDenik", QStringLiteral("Smazat deník"),
                   &Hooks::clearLogBook)};
    // Two buttons a row and the value after start in two columns of pins:
    // the page stays low enough for a small screen.
    QGridLayout* grid = pages_->groupGrid(kPageStart, others);
    int row0 = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(buttons[0]), &row0, &column, &rows, &columns);
    for (int i = 0; i < 4; ++i) {
        grid->removeWidget(buttons[i]);
        grid->addWidget(buttons[i], row0 + i / 2, i % 2);
    }
    if (auto* pins = qobject_cast<QListWidget*>(pages_->control(S::LptBit))) {
        pins->setFlow(QListView::TopToBottom);
        pins->setWrapping(true);
        pins->setFixedHeight(pins->sizeHintForRow(0) * 4 + 2 * pins->frameWidth() + 2);
        pins->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
}

// With the measuring choices: the sensor strip under the race board.
void TNastavDlg::buildHealthStripChoice() {
    healthStrip_ = new QCheckBox(QStringLiteral("Zobrazit stav čidel"));
    healthStrip_->setObjectName(QStringLiteral("cbStavCidel"));
    healthStrip_->setToolTip(QStringLiteral("Kontrolky čidel pod tabulí: zelená - slyšeno nedávno, "
                                            "šedá - ticho, červená - porucha"));
    QGridLayout* display = pages_->groupGrid(kPageHardware, QStringLiteral(" Měření "));
    display->addWidget(healthStrip_, display->rowCount(), 0, 1, -1);
    connect(healthStrip_, &QCheckBox::toggled, this, [this](bool on) {
        if (hooks_.showHealthStrip)
            hooks_.showHealthStrip(on);
    });
    showHealthStripChoice();
}

void TNastavDlg::buildPrintPages() {
    QPushButton* load = addButton(kPagePrint, QStringLiteral(" Logo "), "Nacti1", QStringLiteral("Načti logo"));
    connect(load, &QPushButton::clicked, this, [this] { choosePicture(S::PrintLogo); });
    hookButton(kPagePrint, QStringLiteral(" Logo "), "NahledBtn", QStringLiteral("Náhled"),
               &Hooks::printPreview);

    const QString logo = QStringLiteral(" Logo ");
    const QString picture = QStringLiteral(" Obrázek ");
    connect(addButton(kPageDiploma, logo, "BitBtn2", QStringLiteral("Načti logo")),
            &QPushButton::clicked, this, [this] { choosePicture(S::DiplomaLogo); });
    connect(addButton(kPageDiploma, logo, "btnSmayatLogo", QStringLiteral("Smazat logo")),
            &QPushButton::clicked, this, [this] { parts_.settings.setAndStore(S::DiplomaLogo, {}); });
    connect(addButton(kPageDiploma, picture, "BitBtn4", QStringLiteral("Načti obrázek")),
            &QPushButton::clicked, this, [this] { choosePicture(S::DiplomaPicture); });
    connect(addButton(kPageDiploma, picture, "btnSmazatObrazek", QStringLiteral("   Smazat     ")),
            &QPushButton::clicked, this, [this] { parts_.settings.setAndStore(S::DiplomaPicture, {}); });
    hookButton(kPageDiploma, QStringLiteral(" Texty (#misto# = umístění) "), "BitBtn5",
               QStringLiteral(" Náhled"), &Hooks::diplomaPreview);
}

void TNastavDlg::choosePicture(SettingId id) {
    const QString path = hooks_.choosePicture(ProgramFolder(parts_.programFolder).logoFolder());
    if (!path.isEmpty())
        parts_.settings.setAndStore(id, path);
}

void TNastavDlg::buildComPage() {
    QGridLayout* serial = pages_->groupGrid(kPageCom, QStringLiteral(" Přijímač na COM portu "));
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "ComComboBox" + QByteArray::number(i + 1);
        serialCombos_[size_t(i)] = makeSerialCombo(name, i);
        addLabelled(serial, QString::fromUtf8(kSerialLabels[i]), serialCombos_[size_t(i)]);
        connect(serialCombos_[size_t(i)], &QComboBox::currentTextChanged, this,
                &TNastavDlg::serialComboChanged);
    }

    QGridLayout* infra = pages_->groupGrid(kPageCom, QStringLiteral(" Infra přijímače "));
    comCombo_ = makeCombo("COMComboBox", comNames(), true);
    com1Combo_ = makeCombo("COM1ComboBox", comNames(), true);
    inputSignal_ = makeCombo("InputSignalComboBox", {"CTS", "DSR", "DCD", "RXD"});
    commandOrder_ = makeSpin("CommandOrderSpinEdit", -9999, 9999);
    bitMask_ = makeSpin("BitMaskSpinEdit", 0, 32);
    priority_ = makeSpin("PrioritySpinEdit", 0, 7);
    service_ = new QCheckBox(QStringLiteral("ukládej do souboru"));
    service_->setObjectName(QStringLiteral("ServiceCheckBox"));
    addLabelled(infra, QStringLiteral("Port přijímače 1"), comCombo_);
    addLabelled(infra, QStringLiteral("Port přijímače 2"), com1Combo_);
    addLabelled(infra, QStringLiteral("Vstupní signál"), inputSignal_);
    addLabelled(infra, QStringLiteral("Pořadí povelu"), commandOrder_);
    addLabelled(infra, QStringLiteral("Bitová maska"), bitMask_);
    addLabelled(infra, QStringLiteral("Priorita"), priority_);
    infra->addWidget(service_, infra->rowCount(), 0, 1, 2);
    connect(inputSignal_, &QComboBox::currentIndexChanged, this, &TNastavDlg::InputSignalComboBoxChange);
    for (QComboBox* combo : {comCombo_, com1Combo_})
        connect(combo, &QComboBox::currentTextChanged, this, &TNastavDlg::refreshMirrors);
    for (QSpinBox* spin : {bitMask_, priority_})
        connect(spin, &QSpinBox::valueChanged, this, &TNastavDlg::refreshMirrors);

    const QString udpGroup = QStringLiteral(" UDP porty ");
    QGridLayout* udp = pages_->groupGrid(kPageCom, udpGroup);
    udpList_ = new QTreeWidget;
    udpList_->setObjectName(QStringLiteral("ListView1TcpIP"));
    udpList_->setAccessibleName(udpGroup); // a list takes no name from its group
    udpList_->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Popis")});
    udpList_->setRootIsDecorated(false);
    udpList_->setMinimumHeight(100);
    udp->addWidget(udpList_, 0, 0, 1, 2);
    udpPort_ = new QLineEdit;
    udpPort_->setObjectName(QStringLiteral("PortUDP"));
    udpDescription_ = new QLineEdit;
    udpDescription_->setObjectName(QStringLiteral("Popis1TcpIp"));
    addLabelled(udp, QStringLiteral("Port"), udpPort_);
    addLabelled(udp, QStringLiteral("Popis"), udpDescription_);
    auto* insert = new QPushButton(QStringLiteral(" &Vlož nový port"));
    insert->setObjectName(QStringLiteral("BtnVlozIP"));
    udpDelete_ = new QPushButton(QStringLiteral("&Smaž vybraný port"));
    udpDelete_->setObjectName(QStringLiteral("btnSmazTcpIp"));
    udpDelete_->setEnabled(false);
    udp->addWidget(insert, udp->rowCount(), 0);
    udp->addWidget(udpDelete_, udp->rowCount() - 1, 1);
    connect(insert, &QPushButton::clicked, this, &TNastavDlg::BtnVlozIPClick);
    connect(udpDelete_, &QPushButton::clicked, this, &TNastavDlg::btnSmazTcpIpClick);
    connect(udpList_, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!udpList_->selectedItems().isEmpty())
            udpDelete_->setEnabled(true);
    });
}

void TNastavDlg::buildCodesPage() {
    for (int i = 0; i < kLearnButtons; ++i) {
        const int slot = learnSlotAt(i);
        auto* button = new QPushButton(kLearn);
        button->setObjectName(LearnButtonName(slot));
        pages_->lineOf(codeFieldOf(slot))->addWidget(button);
        learnButtons_[size_t(i)] = button;
        connect(button, &QPushButton::clicked, this, [this, slot] { btnNaucitClick(slot); });
    }
}

void TNastavDlg::setResultsEditor(QWidget* editor, std::function<void(const QString&)> activate) {
    resultsEditor_ = editor;
    editor->setParent(this); // until its page is built
    activateResultsEditor_ = std::move(activate);
    if (built() && resultsTree_) {
        resultsTree_->hide();
        resultsTree_->parentWidget()->layout()->addWidget(editor);
    }
}

void TNastavDlg::buildEditorPage() {
    const QString caption = QStringLiteral(" Výsledky ");
    QGridLayout* grid = pages_->groupGrid(kPageEditor, caption);
    if (resultsEditor_) {
        grid->addWidget(resultsEditor_, 0, 0);
        return;
    }
    resultsModel_ = new QFileSystemModel(this);
    resultsModel_->setNameFilters({QStringLiteral("*.caskola"), QStringLiteral("*.casdraha")});
    resultsModel_->setNameFilterDisables(false);
    resultsTree_ = new QTreeView;
    resultsTree_->setObjectName(QStringLiteral("VysledkyTree"));
    resultsTree_->setAccessibleName(caption);
    resultsTree_->setModel(resultsModel_);
    resultsTree_->setMinimumSize(420, 300);
    grid->addWidget(resultsTree_, 0, 0);
}

void TNastavDlg::buildTestsPage() {
    QWidget* page = page1_->widget(kPageTests);
    buildParallelTests(page);
    buildSerialTests(page);
    buildNetworkTests(page);
}

void TNastavDlg::buildParallelTests(QWidget*) {
    const QString title = QStringLiteral(" Paralelní port ");
    QGridLayout* grid = pages_->groupGrid(kPageTests, title);
    const char* names[3] = {"TestLPT1", "TestLPT2", "TestLPTxx"};
    const char* captions[3] = {"LPT1", "LPT2", "LPTxx"};
    auto* choice = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(QLatin1String(captions[i]));
        button->setObjectName(QLatin1String(names[i]));
        choice->addWidget(button);
        testPortChoice_[size_t(i)] = button;
    }
    testPortChoice_[0]->setChecked(true);
    testBase_ = new QLineEdit(parts_.settings.text(S::LPTxx_BASE));
    testBase_->setObjectName(QStringLiteral("LPTxx_Base1"));
    testBase_->setMaxLength(4);
    choice->addWidget(testBase_);
    grid->addLayout(choice, 0, 0, 1, 4);
    for (int bit = 0; bit < 8; ++bit) {
        auto* box = new QCheckBox(QStringLiteral("Bit%1: Pin%2").arg(bit).arg(bit + 2));
        box->setObjectName(QStringLiteral("Bit%1").arg(bit));
        box->setEnabled(false);
        grid->addWidget(box, 1 + bit % 4, bit / 4);
        dataBits_[size_t(bit)] = box;
    }
    const std::array<std::pair<const char*, const char*>, 5> status = {{
        {"Error", "Bit3: Pin15  -  první"},
        {"Select", "Bit4: Pin13  -  druhá"},
        {"PE", "Bit5: Pin12  -  třetí"},
        {"Ask", "Bit6: Pin10  -  čtvrtá"},
        {"Busy", "Bit7: Pin11 \"BUSY\" ext start tlačítko"},
    }};
    for (size_t i = 0; i < status.size(); ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(status[i].second));
        box->setObjectName(QLatin1String(status[i].first));
        box->setEnabled(false);
        grid->addWidget(box, 5 + int(i), 0, 1, 4);
        statusBits_[i] = box;
    }
    auto* read = new QPushButton(QStringLiteral("Přečti stav"));
    read->setObjectName(QStringLiteral("CtiPort"));
    auto* write = new QPushButton(QStringLiteral("Zapiš hodnotu"));
    write->setObjectName(QStringLiteral("UlozPort"));
    testValue_ = makeSpin("LPTValue", 0, 255);
    repeatRead_ = new QCheckBox(QStringLiteral("Opakuj čtení každých"));
    repeatRead_->setObjectName(QStringLiteral("OpakujBox"));
    repeatMs_ = makeSpin("SpinEdit1", 10, 1000);
    repeatMs_->setValue(50);
    const int row = grid->rowCount();
    grid->addWidget(read, row, 0);
    grid->addWidget(write, row, 1);
    grid->addWidget(testValue_, row, 2);
    grid->addWidget(repeatRead_, row + 1, 0, 1, 2);
    grid->addWidget(repeatMs_, row + 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("ms")), row + 1, 3);
    connect(read, &QPushButton::clicked, this, &TNastavDlg::CtiPortClick);
    connect(write, &QPushButton::clicked, this, &TNastavDlg::UlozPortClick);
    connect(repeatRead_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            OpakujCteniTimer.start(repeatMs_->value());
        else
            OpakujCteniTimer.stop();
    });
    connect(repeatMs_, &QSpinBox::valueChanged, this, [this](int ms) { OpakujCteniTimer.setInterval(ms); });
}

void TNastavDlg::buildSerialTests(QWidget*) {
    QGridLayout* grid = pages_->groupGrid(kPageTests, QStringLiteral(" COM port "));
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = "ComComboBox" + QByteArray::number(i + 7);
        serialMirrors_[size_t(i)] = makeSerialCombo(name, i);
        serialMirrors_[size_t(i)]->setEnabled(false);
        addLabelled(grid, QString::fromUtf8(kSerialLabels[i]), serialMirrors_[size_t(i)]);
    }
    comMirror_ = makeCombo("ComboBox1", comNames(), true);
    inputMirror_ = makeCombo("ComboBox2", {"CTS", "DSR", "DCD", "RXD"});
    bitMaskMirror_ = makeSpin("SpinEdit3", 0, 32);
    priorityMirror_ = makeSpin("SpinEdit2", 0, 7);
    for (QWidget* w : std::initializer_list<QWidget*>{comMirror_, inputMirror_, bitMaskMirror_, priorityMirror_})
        w->setEnabled(false);
    addLabelled(grid, QStringLiteral("Infra port"), comMirror_);
    addLabelled(grid, QStringLiteral("Vstupní signál"), inputMirror_);
    addLabelled(grid, QStringLiteral("Bitová maska"), bitMaskMirror_);
    addLabelled(grid, QStringLiteral("Priorita"), priorityMirror_);

    readSerial_ = new QPushButton(kRead);
    readSerial_->setObjectName(QStringLiteral("btnCtiData"));
    testCode_ = new QLineEdit;
    testCode_->setObjectName(QStringLiteral("TestSekvence"));
    testCode_->setReadOnly(true);
    auto* rts = new QCheckBox(QStringLiteral("RTS"));
    rts->setObjectName(QStringLiteral("cbTestRTS"));
    auto* dtr = new QCheckBox(QStringLiteral("DTR"));
    dtr->setObjectName(QStringLiteral("cbTestDTR"));
    const int row = grid->rowCount();
    grid->addWidget(readSerial_, row, 0);
    grid->addWidget(testCode_, row, 1);
    grid->addWidget(rts, row + 1, 0);
    grid->addWidget(dtr, row + 1, 1);
    connect(readSerial_, &QPushButton::clicked, this, &TNastavDlg::btnCtiDataClick);
    connect(rts, &QCheckBox::toggled, this, [this](bool on) { parts_.receivers.setRts(on); });
    connect(dtr, &QCheckBox::toggled, this, [this](bool on) { parts_.receivers.setDtr(on); });
}

void TNastavDlg::buildNetworkTests(QWidget*) {
    QGridLayout* grid = pages_->groupGrid(kPageTests, QStringLiteral(" UDP / IP "));
    readNetwork_ = new QPushButton(kRead);
    readNetwork_->setObjectName(QStringLiteral("btnUDPCti"));
    auto* clear = new QPushButton(QStringLiteral("Smazat"));
    clear->setObjectName(QStringLiteral("btnSmazatUDP"));
    networkMemo_ = new ShortMemo;
    networkMemo_->setObjectName(QStringLiteral("MemoTCPIP"));
    networkMemo_->setReadOnly(true);
    networkMemo_->setMinimumHeight(80);
    grid->addWidget(readNetwork_, 0, 0);
    grid->addWidget(clear, 0, 1);
    grid->addWidget(networkMemo_, 1, 0, 1, 2);
    connect(readNetwork_, &QPushButton::clicked, this, &TNastavDlg::btnUDPCtiClick);
    connect(clear, &QPushButton::clicked, networkMemo_, &QPlainTextEdit::clear);
}

// ---------------------------------------------------------------- showing

void TNastavDlg::showEvent(QShowEvent* event) {
    ensureBuilt();
    // What activation does; without a window manager there is no activation.
    applyViewLevel();
    if (hooks_.pauseStartWaiting)
        hooks_.pauseStartWaiting();
    repeatRead_->setChecked(false);
    showSerialPort();
    refreshMirrors();
    showHealthStripChoice();
    const QString results = QDir(parts_.programFolder).filePath(QStringLiteral("vysledky"));
    if (activateResultsEditor_)
        activateResultsEditor_(results);
    else
        resultsTree_->setRootIndex(resultsModel_->setRootPath(results));
    pages_->setOpen(true);
    QDialog::showEvent(event);
}

void TNastavDlg::applyViewLevel() {
    if (!built())
        return;
    const int level = parts_.settings.integer(S::rgZobrazeni);
    const QList<int> visible = VisiblePages(level);
    for (int page = 0; page < kPageCount; ++page)
        page1_->setTabVisible(page, visible.contains(page));
    // Every caption of the level whole on a 1024 pixels wide screen, the
    // window's borders and the dialog's margins taken off.
    const QMargins margins = layout()->contentsMargins();
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int paneFrame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, page1_);
    FitTabs(*page1_, kSmallScreenWidth - 2 * border - margins.left() - margins.right() - 2 * paneFrame);
    page1_->setCurrentIndex(ActivePageOf(level));
}

// Every way of closing: the learning and the tests end as their own stops
// end them, and the start waiting that showing paused goes on.
void TNastavDlg::done(int result) {
    endLearningAndTests();
    if (built())
        pages_->setOpen(false);
    if (result != QDialog::Accepted)
        resumeStartWaiting();
    QDialog::done(result);
}

void TNastavDlg::endLearningAndTests() {
    OpakujCteniTimer.stop();
    const int slot = parts_.laps.learnSlot();
    if (IsLearnCodeSlot(slot) && built())
        btnNaucitClick(slot);
    if (readSerial_ && readSerial_->text() == kEndRead)
        btnCtiDataClick();
    if (readNetwork_ && readNetwork_->text() == kEndRead)
        btnUDPCtiClick();
    parts_.laps.setLearnSlot(kLearnNone);
    UpdateInputButtons(kLearnNone);
}

void TNastavDlg::resumeStartWaiting() {
    if (hooks_.resumeStartWaiting)
        hooks_.resumeStartWaiting();
}

void TNastavDlg::showMessage(const QString& text, bool error) {
    auto* box = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Information, QString(),
                                text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("SettingsMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->open();
}

// ---------------------------------------------------------------- settings

void TNastavDlg::onSettingChanged(SettingId id) {
    switch (id) {
    case S::cbLPT:
    case S::cbCOM:
    case S::cbTcpIP:
        onSourceChanged(id);
        break;
    case S::rgZobrazeni:
        applyViewLevel();
        break;
    case S::LPTxx_BASE:
        if (testBase_)
            testBase_->setText(parts_.settings.text(id));
        break;
    default:
        break;
    }
}

// The three sources exclude each other (the settings see to it); here the
// receivers follow them. Leaving the network switches its server off.
void TNastavDlg::onSourceChanged(SettingId id) {
    DialogReceivers& rx = parts_.receivers;
    if (parts_.settings.boolean(id) && id != S::cbCOM)
        UpdateInputButtons(kSwitchingSources);
    const bool loading = hooks_.loadingSettings && hooks_.loadingSettings();
    rx.applySourceChoice(!loading);
    if (!parts_.settings.useNetwork() && rx.networkActive())
        rx.networkOff();
    enableSensorEdits();
    UpdateInputButtons(parts_.laps.learnSlot());
}

void TNastavDlg::enableSensorEdits() {
    if (!built())
        return;
    for (int sensor = 1; sensor <= 10; ++sensor)
        pages_->control(NumberedSetting(S::ID1, sensor))->setEnabled(parts_.settings.useSerial());
    for (int sensor = 0; sensor <= 10; ++sensor)
        pages_->control(NumberedSetting(S::IP0, sensor + 1))->setEnabled(parts_.settings.useNetwork());
}

void TNastavDlg::UpdateInputButtons(int mode) {
    if (!built())
        return;
    const int s = parts_.laps.learnSlot();
    const bool closable = s == kLearnNone && mode != kSwitchingSources;
    okButton_->setEnabled(closable);
    cancelButton_->setEnabled(closable);
    for (int i = 0; i < kLearnButtons; ++i)
        learnButtons_[size_t(i)]->setEnabled(s == kLearnNone || mode == learnSlotAt(i));
}

// ---------------------------------------------------------------- OK

void TNastavDlg::OK_BitBtnClick() {
    DialogReceivers& rx = parts_.receivers;
    // 1. Every input off while its settings change.
    if (hooks_.abortFtp)
        hooks_.abortFtp();
    if (rx.serialPortOpen())
        rx.closeSerialPort();
    for (int decoder : {1, 2})
        if (rx.decoderOpen(decoder))
            rx.closeDecoder(decoder);
    rx.networkOff();
    // 2.
    if (hooks_.resetFtpProgress)
        hooks_.resetFtpProgress();
    // 3. The file, with the bit masks (the settings hold them already) and,
    //    at its end, the serial receiver's section "ComPort1" (6.).
    QString error;
    const bool written = parts_.settings.saveFile(&error);
    // 4., 5. The decoders keep their settings and open again.
    saveDecodersAndOpen();
    // 7. The value after start on the input port.
    if (hooks_.updateInputPort)
        hooks_.updateInputPort();
    const std::optional<quint16> base =
        hooks_.inputPortBase ? hooks_.inputPortBase() : parts_.settings.lptPortBase();
    if (base)
        parts_.portIo.Out32(*base + kDataRegister, quint16(parts_.settings.integer(S::LptBit)));
    // 8.
    resumeStartWaiting();
    if (!written) {
        // Nothing is pretended: the dialog stays open with what was not saved.
        showMessage(QStringLiteral("Nastavení se nepodařilo uložit do souboru %1\r\n%2")
                        .arg(QDir::toNativeSeparators(parts_.settings.filePath()), error),
                    true);
        return;
    }
    emit saved();
    accept();
}

bool TNastavDlg::saveDecodersAndOpen() {
    DialogReceivers& rx = parts_.receivers;
    const bool com = parts_.settings.useSerial();
    const DecoderChoice first = decoderChoiceFromControls(1);
    const DecoderChoice second = decoderChoiceFromControls(2);
    const bool infrared = first.inputSignal < kInputLineRxd;
    rx.setDecoderChoice(1, first, true);
    if (com && !rx.decoderOpen(1) && infrared) {
        wait(100);
        rx.openDecoder(1);
    }
    rx.setDecoderChoice(2, second, true);
    if (com && !rx.decoderOpen(2) && infrared && first.comName != second.comName) {
        wait(100);
        rx.openDecoder(2);
    }
    return true;
}

DecoderChoice TNastavDlg::decoderChoiceFromControls(int decoder) const {
    if (!built())
        return parts_.receivers.decoderChoice(decoder);
    DecoderChoice choice;
    choice.comName = (decoder == 2 ? com1Combo_ : comCombo_)->currentText();
    choice.inputSignal = inputSignal_->currentIndex();
    choice.commandOrder = commandOrder_->value();
    choice.bitMask = bitMask_->value();
    choice.priorityLevel = priority_->value();
    choice.logToFile = service_->isChecked();
    return choice;
}

void TNastavDlg::showDecoderChoices() {
    const DecoderChoice first = parts_.receivers.decoderChoice(1);
    showStored(comCombo_, first.comName);
    showStored(com1Combo_, parts_.receivers.decoderChoice(2).comName);
    {
        const QSignalBlocker block(inputSignal_);
        inputSignal_->setCurrentIndex(std::clamp(first.inputSignal, 0, kInputLineRxd));
    }
    commandOrder_->setValue(first.commandOrder);
    bitMask_->setValue(first.bitMask);
    priority_->setValue(first.priorityLevel);
    service_->setChecked(first.logToFile);
    refreshMirrors();
}

// A new input line takes effect at once, but opens a receiver only while
// "Použít COM" is the source.
void TNastavDlg::InputSignalComboBoxChange() {
    DialogReceivers& rx = parts_.receivers;
    refreshMirrors();
    const bool com = parts_.settings.useSerial();
    const bool rxd = inputSignal_->currentIndex() == kInputLineRxd;
    if (com) {
        UpdateInputButtons(kSwitchingSources);
        if (!rxd && rx.serialPortOpen())
            rx.closeSerialPort();
        for (int decoder : {1, 2})
            if (rx.decoderOpen(decoder))
                rx.closeDecoder(decoder);
    }
    for (int decoder : {1, 2})
        if (!rx.decoderOpen(decoder))
            rx.setDecoderChoice(decoder, decoderChoiceFromControls(decoder), false);
    if (!com)
        return;
    if (rxd) {
        wait(150);
        if (!rx.serialPortOpen())
            rx.openSerialPort();
    } else {
        rx.openDecoder(1);
        if (rx.decoderChoice(1).comName != rx.decoderChoice(2).comName)
            rx.openDecoder(2);
    }
    UpdateInputButtons(parts_.laps.learnSlot());
}

// ---------------------------------------------------------------- serial port

void TNastavDlg::showSerialPort() {
    if (!built())
        return;
    const SerialPortSettings& port = parts_.settings.serialPort();
    const QString texts[6] = {port.port, port.baudRate, port.dataBits, port.stopBits, port.parity,
                              port.flowControl};
    for (size_t i = 0; i < 6; ++i)
        showStored(serialCombos_[i], texts[i]);
    refreshMirrors();
}

void TNastavDlg::serialComboChanged() {
    SerialPortSettings port = parts_.settings.serialPort();
    port.port = storedText(serialCombos_[0]);
    port.baudRate = storedText(serialCombos_[1]);
    port.dataBits = storedText(serialCombos_[2]);
    port.stopBits = storedText(serialCombos_[3]);
    port.parity = storedText(serialCombos_[4]);
    port.flowControl = storedText(serialCombos_[5]);
    parts_.settings.setSerialPort(port);
}

void TNastavDlg::refreshMirrors() {
    if (!built() || !comMirror_)
        return;
    for (size_t i = 0; i < 6; ++i)
        showStored(serialMirrors_[i], storedText(serialCombos_[i]));
    showStored(comMirror_, comCombo_->currentText());
    inputMirror_->setCurrentIndex(inputSignal_->currentIndex());
    bitMaskMirror_->setValue(bitMask_->value());
    priorityMirror_->setValue(priority_->value());
}

// ---------------------------------------------------------------- UDP list

void TNastavDlg::showUdpPorts() {
    if (!udpList_)
        return;
    udpList_->clear();
    for (const UdpPortEntry& entry : parts_.settings.udpPorts())
        new QTreeWidgetItem(udpList_, {entry.port, entry.description});
    udpDelete_->setEnabled(false);
}

void TNastavDlg::BtnVlozIPClick() {
    if (!parts_.settings.addUdpPort(udpPort_->text(), udpDescription_->text())) {
        showMessage(kNoPort);
        return;
    }
    parts_.receivers.rebindNetwork();
}

void TNastavDlg::btnSmazTcpIpClick() {
    const QModelIndex current = udpList_->currentIndex();
    if (!current.isValid())
        return;
    parts_.settings.removeUdpPort(current.row());
    udpDelete_->setEnabled(false);
}

// ---------------------------------------------------------------- learning

void TNastavDlg::btnNaucitClick(int slot) {
    QPushButton* button = learnButtons_[size_t(learnIndexOf(slot))];
    LapComputation& laps = parts_.laps;
    laps.setLearnSlot(kLearnNone);
    if (button->text() == kLearn)
        laps.setLearnSlot(slot);
    if (laps.learnSlot() != kLearnNone) {
        button->setText(kEndLearn);
        DialogReceivers& rx = parts_.receivers;
        if (parts_.settings.useNetwork() && !rx.networkActive())
            rx.networkOn(true);
        if (parts_.settings.useSerial() && rx.receiverConnected() && !rx.serialPortOpen() &&
            !rx.decoderOpen(1) && !rx.decoderOpen(2))
            rx.openSerialPort();
    } else {
        button->setText(kLearn);
    }
    UpdateInputButtons(laps.learnSlot());
}

void TNastavDlg::learnCode(int slot, const QString& code) {
    if (!IsLearnCodeSlot(slot))
        return;
    parts_.settings.setText(codeFieldOf(slot), code);
    if (built())
        btnNaucitClick(slot);
}

void TNastavDlg::showTestCode(const QString& code) {
    if (testCode_)
        testCode_->setText(code);
}

// ---------------------------------------------------------------- reading tests

void TNastavDlg::btnCtiDataClick() {
    DialogReceivers& rx = parts_.receivers;
    LapComputation& laps = parts_.laps;
    if (readSerial_->text() == kRead) {
        laps.setLearnSlot(kLearnMonitor);
        readSerial_->setText(kEndRead);
        if (!rx.decoderOpen(1) && !rx.decoderOpen(2)) {
            if (!rx.serialPortOpen())
                rx.openSerialPort();
            if (!rx.receiverConnected())
                rx.closeSerialPort();
        }
    } else {
        laps.setLearnSlot(kLearnNone);
        readSerial_->setText(kRead);
        if (!rx.decoderOpen(1) && rx.serialPortOpen())
            rx.closeSerialPort();
    }
    UpdateInputButtons(laps.learnSlot());
}

void TNastavDlg::btnUDPCtiClick() {
    LapComputation& laps = parts_.laps;
    if (readNetwork_->text() == kRead) {
        laps.setLearnSlot(kLearnMonitor);
        readNetwork_->setText(kEndRead);
        parts_.receivers.networkOn(true);
    } else {
        laps.setLearnSlot(kLearnNone);
        readNetwork_->setText(kRead);
        parts_.receivers.networkOff();
    }
    UpdateInputButtons(laps.learnSlot());
}

// The port tests use their own port choice; the timing keeps LptPortBase.
std::optional<quint16> TNastavDlg::testPortBase() const {
    int choice = 1;
    for (int i = 0; i < 3; ++i)
        if (testPortChoice_[size_t(i)]->isChecked())
            choice = i + 1;
    return Settings::PortBase(choice, testBase_->text());
}

void TNastavDlg::CtiPortClick() {
    const std::optional<quint16> base = testPortBase();
    if (!base)
        return; // a test's error is no error of the station
    const quint16 data = parts_.portIo.Inp32(*base + kDataRegister);
    const quint16 status = parts_.portIo.Inp32(*base + kStatusRegister);
    for (int bit = 0; bit < 8; ++bit)
        dataBits_[size_t(bit)]->setChecked((data >> bit) & 1);
    for (int i = 0; i < 5; ++i)
        statusBits_[size_t(i)]->setChecked((status >> (i + 3)) & 1);
}

void TNastavDlg::UlozPortClick() {
    if (const std::optional<quint16> base = testPortBase())
        parts_.portIo.Out32(*base + kDataRegister, quint16(testValue_->value()));
}

} // namespace vartemo

#include "moc_tnastavdlg.cpp"
