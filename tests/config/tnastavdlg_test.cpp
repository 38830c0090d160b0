#include "config/settingcontrols.h"
#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/tnastavdlg.h"
#include "config/receiversdialogadapter.h"
#include "config/recordingreceivers.h"
#include "everysetting.h"
#include "sensors/freeport.h"
#include "settingsdialogrig.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/receivers.h"
#include "sensors/settingsreceiversettings.h"
#include "support/pseudoterminal.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "engine/qstringprinter.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <map>

using namespace vartemo;
using namespace vartemo::testing;
using S = SettingId;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DialogTest : public ::testing::Test, protected SettingsDialogRig {
protected:
    DialogTest() {
        laps.setLearner(&dialog);
        TNastavDlg::Hooks h;
        h.pauseStartWaiting = [this] { log << "pause"; };
        h.resumeStartWaiting = [this] { log << "resume"; };
        h.updateInputPort = [this] { log << "updateInputPort"; };
        h.abortFtp = [this] { log << "abortFtp"; };
        h.resetFtpProgress = [this] { log << "resetFtpProgress"; };
        h.wait = [this](int ms) { log << QStringLiteral("wait %1").arg(ms); };
        dialog.setHooks(h);
        settings.loadFile(dir.filePath(QStringLiteral("vartemo.ini"))); // no file: the defaults
        dialog.ensureBuilt();
        log.clear();
    }
    template <typename W> W* find(const QString& name) {
        W* w = dialog.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QPushButton* button(const char* name) { return find<QPushButton>(QLatin1String(name)); }
    QTabWidget* page1() { return find<QTabWidget>(QStringLiteral("Page1")); }
    QMessageBox* message() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("SettingsMessage") && w->isVisible())
                return qobject_cast<QMessageBox*>(w);
        return nullptr;
    }
    void closeMessages() {
        while (QMessageBox* box = message())
            box->close();
        QApplication::processEvents();
    }

};

TEST(SettingControlsTable, HoldsEverySettingOnceOnAPageOfTwelve) {
    std::vector<int> seen(static_cast<size_t>(kSettingCount), 0);
    for (const ControlRow& row : SettingControls()) {
        ++seen[static_cast<size_t>(row.id)];
        EXPECT_TRUE(row.page == kFramePage || (row.page >= 0 && row.page < kPageCount))
            << InfoOf(row.id).holder.toStdString();
        EXPECT_EQ(&ControlOf(row.id), &row);
    }
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(i)], 1) << InfoOf(SettingId(i)).holder.toStdString();
    EXPECT_EQ(PageCaptions(),
              (QStringList{"Po spuštění ", "Semafor ", "Zvuky ", "Tisk ", "Tisk diplomu ", "TV výstup ",
                           "Hw. řízení / chyba měření ", "COM / Infra / UDP", "Naučené sekvence",
                           "Ftp klient ", "Editor výsledků ", "Testování "}));
}

// The page a widget lies on, kFramePage for the frame.
int pageOf(QTabWidget* tabs, QWidget* w) {
    for (int page = 0; page < tabs->count(); ++page)
        if (tabs->widget(page)->isAncestorOf(w))
            return page;
    return kFramePage;
}

TEST_F(DialogTest, EveryHolderSitsOnItsPageAndIsBoundBothWays) {
    dialog.show();
    for (const ControlRow& row : SettingControls()) {
        const SettingInfo& info = InfoOf(row.id);
        const std::string name = info.holder.toStdString();
        SCOPED_TRACE(name);
        QWidget* holder = dialog.findChild<QWidget*>(info.holder.split(u'/').first());
        ASSERT_NE(holder, nullptr);
        EXPECT_EQ(pageOf(page1(), holder), row.page);
        switch (row.kind) {
        case ControlKind::Check: {
            auto* box = qobject_cast<QCheckBox*>(holder);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), row.caption);
            const bool before = settings.boolean(row.id);
            box->click();
            // The last source cannot go: "Použít LPT" comes back on.
            const bool lastSource = row.id == S::cbLPT && before;
            EXPECT_EQ(settings.boolean(row.id), lastSource ? true : !before);
            EXPECT_EQ(box->isChecked(), settings.boolean(row.id));
            settings.setBoolean(row.id, before);
            EXPECT_EQ(box->isChecked(), settings.boolean(row.id));
            break;
        }
        case ControlKind::Spin:
        case ControlKind::Slider: {
            auto* range = qobject_cast<QAbstractSpinBox*>(holder) ? nullptr : qobject_cast<QSlider*>(holder);
            auto* spin = qobject_cast<QSpinBox*>(holder);
            ASSERT_TRUE(spin || range);
            if (info.minimum != 0 || info.maximum != 0) {
                EXPECT_EQ(spin ? spin->minimum() : range->minimum(), info.minimum);
                EXPECT_EQ(spin ? spin->maximum() : range->maximum(), info.maximum);
            }
            const int target = (spin ? spin->minimum() : range->minimum()) + 7;
            spin ? spin->setValue(target) : range->setValue(target);
            EXPECT_EQ(settings.integer(row.id), target);
            settings.setInteger(row.id, target + 1);
            EXPECT_EQ(spin ? spin->value() : range->value(), target + 1);
            break;
        }
        case ControlKind::Radio: {
            auto* box = qobject_cast<QGroupBox*>(holder);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->title(), row.caption);
            const QList<QRadioButton*> buttons = box->findChildren<QRadioButton*>();
            ASSERT_EQ(buttons.size(), row.items.size());
            for (int i = 0; i < buttons.size(); ++i)
                EXPECT_EQ(buttons[i]->text(), row.items[i]);
            const int last = int(buttons.size()) - 1;
            const int other = settings.integer(row.id) == last ? 0 : last;
            buttons[other]->click();
            EXPECT_EQ(settings.integer(row.id), other);
            settings.setInteger(row.id, -1); // no selection at all
            for (QRadioButton* b : buttons)
                EXPECT_FALSE(b->isChecked());
            settings.setInteger(row.id, 1);
            EXPECT_TRUE(buttons[1]->isChecked());
            break;
        }
        case ControlKind::PortButtons: {
            const QStringList names = info.holder.split(u'/');
            ASSERT_EQ(names.size(), 3);
            for (int choice = 3; choice >= 1; --choice) {
                auto* b = find<QRadioButton>(names[choice - 1]);
                ASSERT_NE(b, nullptr);
                b->click();
                EXPECT_EQ(settings.integer(row.id), choice);
            }
            settings.setInteger(row.id, 2);
            EXPECT_TRUE(find<QRadioButton>(names[1])->isChecked());
            EXPECT_FALSE(find<QRadioButton>(names[0])->isChecked());
            break;
        }
        case ControlKind::BitList: {
            auto* list = qobject_cast<QListWidget*>(holder);
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->count(), 8);
            settings.setInteger(row.id, 0);
            list->item(3)->setCheckState(Qt::Checked);
            list->item(7)->setCheckState(Qt::Checked);
            EXPECT_EQ(settings.integer(row.id), 0x88);
            settings.setInteger(row.id, 0x05);
            for (int bit = 0; bit < 8; ++bit)
                EXPECT_EQ(list->item(bit)->checkState() == Qt::Checked, bit == 0 || bit == 2) << bit;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = qobject_cast<QLineEdit*>(holder);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->echoMode() == QLineEdit::Password, info.type == SettingType::Password);
            if (info.maxLength > 0) {
                EXPECT_EQ(edit->maxLength(), info.maxLength);
            }
            // A password is in its box only while the dialog is open.
            const bool password = info.type == SettingType::Password;
            edit->clear();
            settings.setText(row.id, QString());
            edit->setEnabled(true);
            QTest::keyClicks(edit, QStringLiteral(" Ahoj 2 "));
            const QString typed = info.maxLength > 0 ? QStringLiteral(" Ahoj 2 ").left(info.maxLength)
                                                     : QStringLiteral(" Ahoj 2 ");
            EXPECT_EQ(settings.text(row.id), typed);
            settings.setText(row.id, QStringLiteral("X1"));
            EXPECT_EQ(edit->text(), QStringLiteral("X1"));
            if (password) {
                dialog.reject();
                EXPECT_TRUE(edit->text().isEmpty()) << "a closed dialog holds no password";
                settings.setText(row.id, QStringLiteral("X2"));
                EXPECT_TRUE(edit->text().isEmpty());
                dialog.show();
                EXPECT_EQ(edit->text(), QStringLiteral("X2"));
            }
            break;
        }
        case ControlKind::Picture: {
            auto* label = qobject_cast<QLabel*>(holder);
            ASSERT_NE(label, nullptr);
            const QString path = dir.filePath(info.holder + QStringLiteral(".png"));
            QImage image(40, 20, QImage::Format_RGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.save(path));
            settings.setText(row.id, path);
            EXPECT_FALSE(label->pixmap().isNull());
            settings.setText(row.id, dir.filePath(QStringLiteral("chybi.png")));
            EXPECT_TRUE(label->pixmap().isNull()) << "a missing picture shows nothing, quietly";
            break;
        }
        }
    }
}

// A vartemo.ini where no setting has its default: the dialog shows each
// value of the file when it first opens, whether it is built at that showing
// (as in the station) or was built before the file was read, and OK writes
// the same file again.
TEST(DialogValues, TheFirstShowingShowsEveryValueOfTheFileAndOkWritesItBackUnchanged) {
    for (const bool builtBeforeLoading : {false, true}) {
        SCOPED_TRACE(builtBeforeLoading ? "built before the file was read" : "built at the showing");
        SettingsDialogRig rig;
        const EverySetting every(rig.dir.filePath(QStringLiteral("soubory")));
        const QByteArray file = every.file(FreeUdpPort());
        const QString path = rig.dir.filePath(QStringLiteral("vartemo.ini"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        if (builtBeforeLoading)
            rig.dialog.ensureBuilt();
        // A sound card with every element: its keys are read too.
        const SoundHardware card{.hasMixer = true, .hasTreble = true, .hasBass = true};
        rig.settings.loadFile(path, card);
        rig.dialog.show();
        for (const ControlRow& row : SettingControls()) {
            const SettingSample& sample = every.sample(row.id);
            const std::optional<QVariant> shown = EverySetting::Shown(rig.dialog, row);
            ASSERT_TRUE(shown.has_value()) << InfoOf(row.id).holder.toStdString();
            EXPECT_EQ(*shown, EverySetting::Expected(row, sample))
                << InfoOf(row.id).holder.toStdString() << " = " << sample.stored.toStdString();
        }
        const SerialPortSettings port = NonDefaultSerialPort();
        const QString portTexts[6] = {port.port, port.baudRate, port.dataBits, port.stopBits, port.parity,
                                      port.flowControl};
        // The port is typed; the other lists show Czech texts over the words the file keeps.
        for (int i = 0; i < 6; ++i) {
            const auto* combo = rig.dialog.findChild<QComboBox*>(QStringLiteral("ComComboBox%1").arg(i + 1));
            EXPECT_EQ(i == 0 ? combo->currentText() : combo->currentData().toString(), portTexts[i]);
        }
        EXPECT_EQ(rig.dialog.findChild<QTreeWidget*>(QStringLiteral("ListView1TcpIP"))->topLevelItemCount(), 1);

        rig.dialog.findChild<QPushButton*>(QStringLiteral("OK_BitBtn"))->click();
        EXPECT_FALSE(rig.dialog.isVisible());
        EXPECT_EQ(QString::fromLatin1(readBytes(path)), QString::fromLatin1(file));
    }
}

// Screen readers and checks from outside name a control by its caption, or
// by its group's caption when it has none of its own; every other input
// control of the dialog has a name too.
TEST_F(DialogTest, EveryControlHasItsCaptionAsItsAccessibleName) {
    dialog.show();
    const auto accessibleName = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    };
    QSet<QWidget*> settingControls;
    for (const ControlRow& row : SettingControls()) {
        const QString holder = InfoOf(row.id).holder.split(u'/').first();
        QWidget* control = dialog.findChild<QWidget*>(holder);
        ASSERT_NE(control, nullptr) << holder.toStdString();
        if (row.kind == ControlKind::PortButtons) {
            // Each button says its port; the row of them is named by its caption.
            for (int i = 0; i < row.items.size(); ++i)
                EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>(InfoOf(row.id).holder.split(u'/')[i])),
                          row.items[i]);
            control = control->parentWidget();
        }
        settingControls << control;
        EXPECT_EQ(accessibleName(control), row.caption.isEmpty() ? row.group : row.caption) << holder.toStdString();
    }
    // The price's and the track length's controls share a group: each has its own name.
    EXPECT_EQ(accessibleName(dialog.findChild<QWidget*>(QStringLiteral("spCena"))), QStringLiteral("Cena za minutu"));
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                           qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractItemView*>(w);
        // A combo box's own line edit, a spin box's and a list's header are parts of it.
        QWidget* parent = w->parentWidget();
        if (!input || qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractSpinBox*>(parent) ||
            qobject_cast<QAbstractItemView*>(parent))
            continue;
        // The toolkit's own parts (scroll bars, popups) are not the dialog's controls.
        if (w->window() != &dialog || w->objectName().startsWith(QLatin1String("qt_")) ||
            w->parentWidget()->objectName().startsWith(QLatin1String("qt_")))
            continue;
        EXPECT_FALSE(accessibleName(w).trimmed().isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    dialog.reject();
}

TEST_F(DialogTest, ViewLevelsShowTheirPagesAndMakeOneActive) {
    struct Case {
        int level;
        QList<int> visible;
        int active;
    };
    const Case cases[] = {
        {0, {2, 3, 4, 10}, 2},
        {1, {0, 1, 2, 3, 4, 10}, 0},
        {2, {0, 1, 5, 6, 7, 8, 9, 11}, 0},
        {3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 0},
    };
    for (const Case& c : cases) {
        settings.setInteger(S::rgZobrazeni, c.level);
        dialog.show();
        QList<int> visible;
        for (int page = 0; page < page1()->count(); ++page)
            if (page1()->isTabVisible(page))
                visible << page;
        EXPECT_EQ(visible, c.visible) << c.level;
        EXPECT_EQ(page1()->currentIndex(), c.active) << c.level;
        dialog.reject();
    }
}

// A track PC often has a 1024 x 768 screen: with a title bar and a panel the
// whole dialog, OK and cancel included, must fit at every view level.
TEST_F(DialogTest, FitsASmallScreenAtEveryViewLevel) {
    const QSize room(1024, 768 - 64);
    for (int level = 0; level <= 3; ++level) {
        settings.setInteger(S::rgZobrazeni, level);
        dialog.show();
        dialog.adjustSize();
        EXPECT_LE(dialog.width(), room.width()) << level;
        EXPECT_LE(dialog.height(), room.height()) << level;
        dialog.reject();
    }
}

// The groups that the dialog adds to a page after its settings (buttons,
// lists, tests) start at the top of their column, not below an empty gap.
TEST_F(DialogTest, EveryColumnOfEveryPageStartsAtTheTop) {
    settings.setInteger(S::rgZobrazeni, 3);
    dialog.show();
    for (int page = 0; page < page1()->count(); ++page) {
        page1()->setCurrentIndex(page);
        QApplication::processEvents();
        QWidget* widget = page1()->widget(page);
        std::map<int, int> topOfColumn; // left edge -> top of its highest group
        for (QGroupBox* box : widget->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
            if (!topOfColumn.contains(box->x()) || box->y() < topOfColumn[box->x()])
                topOfColumn[box->x()] = box->y();
        for (const auto& [left, top] : topOfColumn)
            EXPECT_LT(top, 40) << PageCaptions()[page].toStdString() << " column at " << left;
    }
    dialog.reject();
}

TEST_F(DialogTest, OkRunsItsStepsInOrder) {
    settings.setBoolean(S::cbCOM, true);
    receivers.serialOpen = true;
    receivers.decoderIsOpen[0] = receivers.decoderIsOpen[1] = true;
    receivers.network = true;
    settings.setInteger(S::LptBit, 0x41);
    dialog.show();
    find<QComboBox>(QStringLiteral("COMComboBox"))->setEditText(QStringLiteral("COM3"));
    find<QComboBox>(QStringLiteral("COM1ComboBox"))->setEditText(QStringLiteral("COM4"));
    const QString ini = settings.filePath();
    // The file is written (step 3) before the decoders take their settings.
    receivers.setNetworkMonitor({});
    log.clear();
    button("OK_BitBtn")->click();
    EXPECT_EQ(log, (QStringList{"abortFtp", "closeSerial", "closeDecoder1", "closeDecoder2", "networkOff",
                                "resetFtpProgress", "storeDecoder1 COM3 1", "wait 100", "openDecoder1",
                                "storeDecoder2 COM4 1", "wait 100", "openDecoder2", "updateInputPort",
                                "out 378 65", "resume"}));
    EXPECT_TRUE(readBytes(ini).contains("COM=1"));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DialogTest, OkWithTheByteReceiverStartsNoDecoder) {
    settings.setBoolean(S::cbCOM, true);
    dialog.show();
    find<QComboBox>(QStringLiteral("InputSignalComboBox"))->setCurrentIndex(3); // "RXD"
    log.clear();
    button("OK_BitBtn")->click();
    EXPECT_FALSE(log.contains(QStringLiteral("openDecoder1"))) << log.join(u',').toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("openDecoder2")));
    EXPECT_TRUE(log.contains(QStringLiteral("storeDecoder1 COM1 3")));
}

TEST_F(DialogTest, OkThatCannotWriteTheFileSaysSoAndStaysOpen) {
    settings.setFilePath(dir.filePath(QStringLiteral("chybi/vartemo.ini")));
    QSignalSpy saved(&dialog, &TNastavDlg::saved);
    dialog.show();
    button("OK_BitBtn")->click();
    ASSERT_NE(message(), nullptr);
    EXPECT_TRUE(message()->text().contains(QStringLiteral("nepodařilo uložit")));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(saved.count(), 0);
    closeMessages();
    dialog.reject();
}

// Esc, the title bar's close and "&Zrušit" all end learning and the tests,
// and the start waiting goes on.
TEST_F(DialogTest, EveryCloseEndsLearningAndTestsAndResumesTheStartWaiting) {
    const std::vector<std::pair<const char*, std::function<void(TNastavDlg&)>>> closes = {
        {"Esc", [](TNastavDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"title bar", [](TNastavDlg& d) { d.close(); }},
        {"cancel", [](TNastavDlg& d) { d.reject(); }},
    };
    for (const auto& [how, close] : closes) {
        SCOPED_TRACE(how);
        for (const char* start : {"btnNaucit3", "btnNaucit31", "btnCtiData", "btnUDPCti"}) {
            SCOPED_TRACE(start);
            dialog.show();
            button(start)->click();
            EXPECT_NE(laps.learnSlot(), kLearnNone);
            EXPECT_FALSE(button("OK_BitBtn")->isEnabled());
            log.clear();
            close(dialog);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(laps.learnSlot(), kLearnNone);
            EXPECT_TRUE(log.contains(QStringLiteral("resume")));
            EXPECT_NE(button(start)->text(), QStringLiteral("Ukonči"));
            EXPECT_NE(button(start)->text(), QStringLiteral("Ukonči čtení"));
            EXPECT_TRUE(button("OK_BitBtn")->isEnabled());
        }
    }
}

TEST_F(DialogTest, ShowingPausesTheStartWaiting) {
    dialog.show();
    EXPECT_EQ(log.first(), QStringLiteral("pause"));
    dialog.reject();
}

TEST_F(DialogTest, ABadOrRepeatedUdpPortChangesNothing) {
    dialog.show();
    auto* port = find<QLineEdit>(QStringLiteral("PortUDP"));
    auto* list = find<QTreeWidget>(QStringLiteral("ListView1TcpIP"));
    port->setText(QStringLiteral("5000"));
    button("BtnVlozIP")->click();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    const QByteArray before = readBytes(settings.filePath());
    for (const char* bad : {"", "abc", "0", "65536", "5000", " 5000 ", "-1", "12x"}) {
        SCOPED_TRACE(bad);
        log.clear();
        port->setText(QLatin1String(bad));
        button("BtnVlozIP")->click();
        ASSERT_NE(message(), nullptr);
        EXPECT_EQ(message()->text(), QStringLiteral("Zadejte komunikační port a popis"));
        closeMessages();
        EXPECT_EQ(list->topLevelItemCount(), 1);
        EXPECT_FALSE(log.contains(QStringLiteral("rebindNetwork")));
        EXPECT_EQ(readBytes(settings.filePath()), before);
    }
    dialog.reject();
}

} // namespace

namespace {

// The dialog over the station's real receivers: a pseudo-terminal as the
// serial receiver's port, decoders on fake modem ports, a datagram server.
class ReceiversDialogTest : public ::testing::Test {
protected:
    ReceiversDialogTest() {
        pty.makeRaw();
        settings.loadFile(dir.filePath(QStringLiteral("vartemo.ini")));
        SerialPortSettings port;
        port.port = pty.slavePath;
        settings.setSerialPort(port);
        const quint16 udp = FreeUdpPort();
        settings.addUdpPort(QString::number(udp), QStringLiteral("cil"));
        rx.CommThread().ComName = QStringLiteral("COM1");
        rx.CommThread1().ComName = QStringLiteral("COM2");
        dialog.ensureBuilt();
    }
    template <typename W> W* find(const QString& name) { return dialog.findChild<W*>(name); }
    void setInputLine(int line) {
        rx.CommThread().InputSignal = quint8(line);
        find<QComboBox>(QStringLiteral("InputSignalComboBox"))->setCurrentIndex(line);
    }

    QTemporaryDir dir;
    PseudoTerminal pty;
    Settings settings{dir.path()};
    RaceBoard board;
    ManualClock clock;
    SettingsLapSettings lapSettings{settings};
    LapComputation laps{board, clock, lapSettings};
    SettingsReceiverSettings receiverSettings{settings};
    MemoryRegistryStore registry;
    Receivers rx{{.laps = laps,
                  .settings = receiverSettings,
                  .registry = registry,
                  .infrared = {},
                  .makeModemPort = [] { return std::make_unique<FakeModemStatusPort>(); },
                  .reportFailure = [](const QString&, const QString&) {}}};
    ReceiversDialogAdapter adapter{rx};
    QStringList log;
    RecordingPortIo portIo{log};
    TNastavDlg dialog{{settings, laps, adapter, portIo, dir.path()}};
};

// From one source to another with an input line: which receivers are open after.
TEST_F(ReceiversDialogTest, SwitchingSourcesOpensAndClosesTheReceivers) {
    struct Case {
        const char* name;
        S from;
        S to;
        int inputLine;
        const char* secondPort;
        bool serial, decoder1, decoder2, network;
    };
    const Case cases[] = {
        {"LPT to COM, DSR", S::cbLPT, S::cbCOM, 1, "COM2", false, true, true, false},
        {"LPT to COM, one port", S::cbLPT, S::cbCOM, 0, "COM1", false, true, false, false},
        {"LPT to COM, RXD", S::cbLPT, S::cbCOM, 3, "COM2", true, false, false, false},
        {"COM to LPT", S::cbCOM, S::cbLPT, 1, "COM2", false, false, false, false},
        {"COM, RXD, to UDP", S::cbCOM, S::cbTcpIP, 3, "COM2", false, false, false, false},
        {"UDP to LPT: server off", S::cbTcpIP, S::cbLPT, 1, "COM2", false, false, false, false},
        {"UDP to COM: server off", S::cbTcpIP, S::cbCOM, 1, "COM2", false, true, true, false},
        {"COM unchecked: LPT again", S::cbCOM, S::cbCOM, 1, "COM2", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.setBoolean(S::cbLPT, true);
        setInputLine(c.inputLine);
        rx.CommThread1().ComName = QLatin1String(c.secondPort);
        settings.setBoolean(c.from, true);
        if (c.from == S::cbTcpIP)
            rx.activateNetwork(true); // the source's receiver on, as a ride leaves it
        ASSERT_EQ(rx.IdUDPServer1().isActive(), c.from == S::cbTcpIP);
        // to == from: the last source unchecked.
        find<QCheckBox>(InfoOf(c.to).holder)->click();
        EXPECT_EQ(rx.serialPortOpen(), c.serial);
        EXPECT_EQ(bool(rx.CommThread().PortOpen), c.decoder1);
        EXPECT_EQ(bool(rx.CommThread1().PortOpen), c.decoder2);
        EXPECT_EQ(rx.IdUDPServer1().isActive(), c.network);
        const int on = int(settings.useParallelPort()) + int(settings.useSerial()) + int(settings.useNetwork());
        EXPECT_EQ(on, 1);
        EXPECT_TRUE(settings.boolean(c.to == c.from ? S::cbLPT : c.to));
        EXPECT_EQ(find<QLineEdit>(QStringLiteral("ID1"))->isEnabled(), settings.useSerial());
        EXPECT_EQ(find<QLineEdit>(QStringLiteral("IP0"))->isEnabled(), settings.useNetwork());
        EXPECT_TRUE(find<QPushButton>(QStringLiteral("OK_BitBtn"))->isEnabled());
    }
}

// A new input line switches the receivers only while "Použít COM" is on.
TEST_F(ReceiversDialogTest, ANewInputLineOpensAReceiverOnlyUnderCom) {
    auto* line = find<QComboBox>(QStringLiteral("InputSignalComboBox"));
    line->setCurrentIndex(1);
    settings.setBoolean(S::cbLPT, true);
    line->setCurrentIndex(3);
    EXPECT_FALSE(rx.serialPortOpen());
    EXPECT_FALSE(rx.CommThread().PortOpen);
    EXPECT_EQ(rx.CommThread().InputSignal, 3) << "the decoders know the line for the next switch";
    EXPECT_EQ(find<QComboBox>(QStringLiteral("ComboBox2"))->currentText(), QStringLiteral("RXD"));

    settings.setBoolean(S::cbCOM, true);
    EXPECT_TRUE(rx.serialPortOpen());
    line->setCurrentIndex(2); // DCD: the decoders instead of the byte receiver
    EXPECT_FALSE(rx.serialPortOpen());
    EXPECT_TRUE(rx.CommThread().PortOpen);
    EXPECT_TRUE(rx.CommThread1().PortOpen);
    EXPECT_EQ(rx.CommThread().InputSignal, 2);
    EXPECT_TRUE(find<QPushButton>(QStringLiteral("OK_BitBtn"))->isEnabled());
}

TEST_F(DialogTest, WhileACodeIsLearntOnlyItsButtonWorksAndTheTestsPageStays) {
    dialog.show();
    button("btnNaucit3")->click();
    EXPECT_EQ(laps.learnSlot(), 3);
    for (int slot : {1, 2, 4, 5, 6, 7, 8, 11, 21, 31, 41, 51, 61, 71, 81})
        EXPECT_FALSE(button(TNastavDlg::LearnButtonName(slot).toLatin1().constData())->isEnabled()) << slot;
    EXPECT_TRUE(button("btnNaucit3")->isEnabled());
    EXPECT_FALSE(button("btn_Zrus")->isEnabled());
    page1()->setCurrentIndex(kPageFtp);
    EXPECT_EQ(page1()->currentIndex(), kPageTests);
    laps.LearnCode(QStringLiteral("C3"));
    EXPECT_EQ(settings.text(S::EdSekvence3), QStringLiteral("C3"));
    EXPECT_EQ(button("btnNaucit3")->text(), QStringLiteral("Naučit"));
    EXPECT_TRUE(button("btnNaucit81")->isEnabled());
    page1()->setCurrentIndex(kPageFtp);
    EXPECT_EQ(page1()->currentIndex(), kPageFtp);
    dialog.reject();
}

} // namespace

namespace {

TEST_F(DialogTest, UdpListButtonsWriteTheirKeysAtOnce) {
    dialog.show();
    auto* port = find<QLineEdit>(QStringLiteral("PortUDP"));
    auto* description = find<QLineEdit>(QStringLiteral("Popis1TcpIp"));
    auto* list = find<QTreeWidget>(QStringLiteral("ListView1TcpIP"));
    for (const char* row : {"5001 a", "5002 b", "5003 c"}) {
        const QStringList parts = QString::fromLatin1(row).split(u' ');
        port->setText(parts[0]);
        description->setText(parts[1]);
        log.clear();
        button("BtnVlozIP")->click();
        EXPECT_EQ(log, QStringList{"rebindNetwork"}) << "the ports listen anew at once";
    }
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("5003"));
    EXPECT_FALSE(button("btnSmazTcpIp")->isEnabled());
    list->setCurrentItem(list->topLevelItem(1));
    ASSERT_TRUE(button("btnSmazTcpIp")->isEnabled());
    button("btnSmazTcpIp")->click();
    EXPECT_FALSE(button("btnSmazTcpIp")->isEnabled());
    EXPECT_EQ(readBytes(settings.filePath()),
              "[UDP]\r\nPolozek=2\r\nPort1=5003\r\nPopis1=c\r\nPort2=5001\r\nPopis2=a\r\n");
    dialog.reject();
}

TEST_F(DialogTest, APictureChosenAndClearedIsWrittenAtOnce) {
    const QString picture = dir.filePath(QStringLiteral("Logo/diplom.png"));
    QString startFolder;
    dialog.hooks().choosePicture = [&](const QString& folder) {
        startFolder = folder;
        return picture;
    };
    dialog.show();
    button("BitBtn2")->click();
    // Where the station put its own logo.
    EXPECT_EQ(startFolder, dir.filePath(QStringLiteral("Logo")));
    EXPECT_EQ(readBytes(settings.filePath()), "[Tisk_Diplom]\r\nLogo=" + picture.toUtf8() + "\r\n");
    button("btnSmayatLogo")->click();
    EXPECT_EQ(readBytes(settings.filePath()), QByteArray("[Tisk_Diplom]\r\nLogo=\r\n"));
    EXPECT_TRUE(settings.text(S::DiplomaLogo).isEmpty());
    // Nothing chosen: nothing changes.
    dialog.hooks().choosePicture = [](const QString&) { return QString(); };
    button("Nacti1")->click();
    EXPECT_EQ(readBytes(settings.filePath()), QByteArray("[Tisk_Diplom]\r\nLogo=\r\n"));
    dialog.reject();
}

// The port tests read and write their own port; the timing's port stays.
TEST_F(DialogTest, PortTestsUseTheirOwnAddress) {
    dialog.show();
    portIo.data = 0x05;
    portIo.status = 0x88; // bit 3 "první" and bit 7 "BUSY"
    find<QRadioButton>(QStringLiteral("TestLPT2"))->click();
    button("CtiPort")->click();
    EXPECT_EQ(portIo.reads, (QList<quint16>{0x278, 0x279}));
    EXPECT_TRUE(find<QCheckBox>(QStringLiteral("Bit0"))->isChecked());
    EXPECT_FALSE(find<QCheckBox>(QStringLiteral("Bit1"))->isChecked());
    EXPECT_TRUE(find<QCheckBox>(QStringLiteral("Bit2"))->isChecked());
    EXPECT_TRUE(find<QCheckBox>(QStringLiteral("Error"))->isChecked());
    EXPECT_FALSE(find<QCheckBox>(QStringLiteral("Select"))->isChecked());
    EXPECT_TRUE(find<QCheckBox>(QStringLiteral("Busy"))->isChecked());
    find<QSpinBox>(QStringLiteral("LPTValue"))->setValue(0x81);
    log.clear();
    button("UlozPort")->click();
    EXPECT_EQ(log, QStringList{"out 278 129"});
    EXPECT_EQ(settings.lptPortBase(), quint16(0x378)) << "LPT1 times the karts still";
    // An address that is no number is no error of the station.
    find<QRadioButton>(QStringLiteral("TestLPTxx"))->click();
    find<QLineEdit>(QStringLiteral("LPTxx_Base1"))->setText(QStringLiteral("xyz"));
    log.clear();
    button("UlozPort")->click();
    EXPECT_TRUE(log.isEmpty());
    // LPTxx_BASE of page 0 is copied to the tests.
    settings.setText(S::LPTxx_BASE, QStringLiteral("BC00"));
    EXPECT_EQ(find<QLineEdit>(QStringLiteral("LPTxx_Base1"))->text(), QStringLiteral("BC00"));
    // Repeated reading every 10 ms until the dialog closes.
    find<QSpinBox>(QStringLiteral("SpinEdit1"))->setValue(10);
    portIo.reads.clear();
    find<QCheckBox>(QStringLiteral("OpakujBox"))->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return portIo.reads.size() >= 6; }, 5000));
    EXPECT_EQ(portIo.reads.first(), 0xBC00);
    dialog.reject();
    portIo.reads.clear();
    QTest::qWait(40);
    EXPECT_TRUE(portIo.reads.isEmpty());
    dialog.show();
    EXPECT_FALSE(find<QCheckBox>(QStringLiteral("OpakujBox"))->isChecked());
    dialog.reject();
}

TEST_F(DialogTest, ButtonsOfSubsystemsWithoutTheirHookAreDisabled) {
    for (const char* name : {"VynulujTab", "Zalohuj_data", "btnSmazatDenik", "NahledBtn", "BitBtn5", "BitBtn1"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    int resets = 0;
    dialog.hooks().resetBestTwenty = [&] { ++resets; };
    dialog.setHooks(dialog.hooks());
    EXPECT_TRUE(button("VynulujTab")->isEnabled());
    button("VynulujTab")->click();
    EXPECT_EQ(resets, 1);
}

} // namespace

namespace {

// "Zobrazit stav čidel" shows the station's choice each time the dialog
// shows and hands the operator's click on at once; without the station's
// hooks it is disabled.
TEST_F(DialogTest, SensorStripChoiceShowsAndSetsTheStationsChoice) {
    auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("cbStavCidel"));
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isEnabled());
    bool shown = false;
    QList<bool> told;
    dialog.hooks().healthStripShown = [&] { return shown; };
    dialog.hooks().showHealthStrip = [&](bool on) {
        told << on;
        shown = on;
    };
    dialog.setHooks(dialog.hooks());
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    dialog.reject();
    shown = true; // changed elsewhere meanwhile
    dialog.show();
    EXPECT_TRUE(box->isChecked()) << "read afresh at each showing";
    EXPECT_TRUE(told.isEmpty()) << "showing the choice is no choice";
    box->click();
    EXPECT_EQ(told, QList<bool>{false});
    dialog.reject();
}

} // namespace
