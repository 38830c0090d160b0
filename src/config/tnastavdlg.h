#pragma once

#include "config/dialogreceivers.h"
#include "config/settingid.h"
#include "engine/codelearner.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTreeView;
class QTreeWidget;

namespace vartemo {

class LapComputation;
class PortIo;
class Settings;
class SettingsPages;

// "Nastavení": every setting of the station on twelve pages, the choice of
// the sensor input, the learning of the karts' codes, the port tests and the
// maintenance buttons. Its setting controls are bound to the settings; the
// other subsystems act on the settings' changes. Pages are built at the
// first showing. It is the lap computation's code learner.
class TNastavDlg : public QDialog, public CodeLearner {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        LapComputation& laps;      // LearnSlot
        DialogReceivers& receivers;
        PortIo& portIo;            // the port tests and the value after OK
        QString programFolder;
    };
    // What the dialog asks of subsystems outside it. An empty hook is a
    // subsystem that is not part of the station: its button is disabled.
    struct Hooks {
        // True while start-up loads the file: a source loaded then leaves the
        // serial receiver to start-up's receiver check.
        std::function<bool()> loadingSettings;
        std::function<void()> pauseStartWaiting;   // activation
        std::function<void()> resumeStartWaiting;  // OK's last step, and every close
        std::function<void()> updateInputPort;     // LptPortBase taken from the settings afresh
        std::function<std::optional<quint16>()> inputPortBase; // LptPortBase
        std::function<void()> abortFtp;            // OK, first
        std::function<void()> resetFtpProgress;    // OK, second
        std::function<void()> resetBestTwenty;     // "Vynuluj tabulky Nej 20"
        std::function<void()> backup;              // "Zálohování dat a nastavení"
        std::function<void()> clearLogBook;        // "Smazat deník"
        std::function<void()> createDesktopLauncher; // "Vytvoř zástupce na ploše"
        std::function<void()> printPreview;        // "Náhled" of the results print
        std::function<void()> diplomaPreview;      // " Náhled" of the diploma
        std::function<void(int ms)> wait;          // the pauses before a port opens
        // The picture file the operator picks, starting in the folder; empty: none.
        std::function<QString(const QString& folder)> choosePicture;
        // "Zobrazit stav čidel": the sensor strip of the main window, a choice
        // kept outside vartemo.ini (without both hooks the box is disabled).
        std::function<bool()> healthStripShown;
        std::function<void(bool shown)> showHealthStrip;
    };

    TNastavDlg(Parts parts, QWidget* parent = nullptr);
    ~TNastavDlg() override;

    void setHooks(Hooks hooks);
    Hooks& hooks() { return hooks_; }

    // The page "Editor výsledků ": the results editor of the station, shown
    // instead of the plain tree and activated with the results folder each
    // time the dialog shows.
    void setResultsEditor(QWidget* editor, std::function<void(const QString& resultsFolder)> activate);

    // Builds the pages now (the first showing does it otherwise).
    void ensureBuilt();
    bool built() const { return page1_ != nullptr; }

    // --- handlers
    void OK_BitBtnClick();
    void UpdateInputButtons(int mode);
    void btnNaucitClick(int slot);
    void btnCtiDataClick();
    void btnUDPCtiClick();
    void CtiPortClick();
    void UlozPortClick();
    void BtnVlozIPClick();
    void btnSmazTcpIpClick();
    void InputSignalComboBoxChange();
    void applyViewLevel();

    // CodeLearner: a received code into the slot's field, learning ended.
    void learnCode(int slot, const QString& code) override;
    void showTestCode(const QString& code) override;

    static QString LearnButtonName(int slot); // "btnNaucit3", "btnNaucit31"

    // An operator-facing message: an information box above the dialog that
    // does not hold the caller up.
    void showMessage(const QString& text, bool error = false);

signals:
    // The operator saved: the settings file was written.
    void saved();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildFrame();
    void buildStartPage();
    void buildHealthStripChoice();
    void buildPrintPages();
    void buildComPage();
    void buildCodesPage();
    void buildEditorPage();
    void buildTestsPage();
    void buildParallelTests(QWidget* page);
    void buildSerialTests(QWidget* page);
    void buildNetworkTests(QWidget* page);
    QPushButton* addButton(int page, const QString& group, const char* name, const QString& caption);
    QPushButton* hookButton(int page, const QString& group, const char* name, const QString& caption,
                            std::function<void()> Hooks::*hook);
    void onSettingChanged(SettingId id);
    void onSourceChanged(SettingId id);
    void enableSensorEdits();
    void showSerialPort();
    void serialComboChanged();
    void showUdpPorts();
    void refreshMirrors();
    void choosePicture(SettingId id);
    void endLearningAndTests();
    void showHealthStripChoice();
    void resumeStartWaiting();
    DecoderChoice decoderChoiceFromControls(int decoder) const;
    void showDecoderChoices();
    void wait(int ms);
    std::optional<quint16> testPortBase() const;
    bool saveDecodersAndOpen();

    Parts parts_;
    Hooks hooks_;
    // Buttons of subsystems outside the dialog: enabled while their hook is set.
    std::vector<std::pair<QPushButton*, std::function<void()> Hooks::*>> hookButtons_;
    SettingsPages* pages_ = nullptr;
    QTabWidget* page1_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    std::array<QPushButton*, 16> learnButtons_{};
    // Infrared decoders (their own settings, kept by the decoders).
    QComboBox* comCombo_ = nullptr;
    QComboBox* com1Combo_ = nullptr;
    QComboBox* inputSignal_ = nullptr;
    QSpinBox* commandOrder_ = nullptr;
    QSpinBox* bitMask_ = nullptr;
    QSpinBox* priority_ = nullptr;
    QCheckBox* service_ = nullptr;
    QCheckBox* healthStrip_ = nullptr;
    // ComComboBox1..6: the serial receiver port; ComComboBox7..12 their mirrors.
    std::array<QComboBox*, 6> serialCombos_{};
    std::array<QComboBox*, 6> serialMirrors_{};
    QComboBox* comMirror_ = nullptr;
    QComboBox* inputMirror_ = nullptr;
    QSpinBox* bitMaskMirror_ = nullptr;
    QSpinBox* priorityMirror_ = nullptr;
    // UDP port list.
    QTreeWidget* udpList_ = nullptr;
    QLineEdit* udpPort_ = nullptr;
    QLineEdit* udpDescription_ = nullptr;
    QPushButton* udpDelete_ = nullptr;
    // Tests.
    std::array<QAbstractButton*, 3> testPortChoice_{};
    QLineEdit* testBase_ = nullptr;
    QSpinBox* testValue_ = nullptr;
    QCheckBox* repeatRead_ = nullptr;
    QSpinBox* repeatMs_ = nullptr;
    std::array<QCheckBox*, 8> dataBits_{};
    std::array<QCheckBox*, 5> statusBits_{};
    QTimer OpakujCteniTimer;
    QPushButton* readSerial_ = nullptr;
    QLineEdit* testCode_ = nullptr;
    QPushButton* readNetwork_ = nullptr;
    QPlainTextEdit* networkMemo_ = nullptr;
    // Results.
    QFileSystemModel* resultsModel_ = nullptr;
    QTreeView* resultsTree_ = nullptr;
    QWidget* resultsEditor_ = nullptr;
    std::function<void(const QString&)> activateResultsEditor_;
};

} // namespace vartemo
