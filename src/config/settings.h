#pragma once

#include "config/serialportsettings.h"
#include "config/settingid.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vartemo {

class IniFile;

// What the sound card offers; decides which sound keys are read, and the
// card's current levels are the defaults of the mixer keys.
struct SoundHardware {
    bool hasMixer = false; // a mixer device exists: the sound controls are enabled
    bool hasTreble = false;
    bool hasBass = false;
    int masterVolume = 0;
    int waveVolume = 0;
    int treble = 0;
    int bass = 0;
    bool mute = false;
};

// One row of the UDP listening-port list.
struct UdpPortEntry {
    QString port;
    QString description;
    friend bool operator==(const UdpPortEntry&, const UdpPortEntry&) = default;
};

// Every setting of the timing station, in memory. Start-up loads vartemo.ini
// into it, the settings dialog edits it (its controls are bound to the
// settings by the holder names of InfoOf), OK saves it. There is no undo:
// a change takes effect at once, Cancel only closes the dialog.
//
// How a subsystem uses a setting: read it at the moment it is needed through
// a typed accessor (settings.minLapTimeMs()) or the generic ones
// (settings.boolean(SettingId::cbAutoStop), settings.valueText("HW", "Mazat")).
// A subsystem that acts when a setting changes (opening a port, a timer
// interval, showing a window) connects to changed() and tests the id:
//
//   connect(&settings, &Settings::changed, this, [this](SettingId id) {
//       if (id == SettingId::SpinLOG0) pulseTimer.setInterval(settings.integer(id));
//   });
//
// Loading notifies exactly like an operator's change: a setting whose loaded
// value differs from the control's initial state (check boxes unchecked,
// radio groups without a selection, texts empty, spin edits at their design
// values) emits changed(), so connect before loading and start-up acts on
// the file as on a change in the dialog.
class Settings : public QObject {
    Q_OBJECT
public:
    // programFolder gives the default sound file (program folder + "zvuky/success.wav")
    // and the default print logo (ProgramFolder::defaultLogo).
    explicit Settings(QString programFolder = QString(), QObject* parent = nullptr);

    // --- generic access
    bool boolean(SettingId id) const { return number(id) != 0; }
    int integer(SettingId id) const { return number(id); }
    QString text(SettingId id) const;
    // Spin edits are limited to their range; texts to the edit's length.
    void setBoolean(SettingId id, bool value);
    void setInteger(SettingId id, int value);
    void setText(SettingId id, const QString& value);

    // The setting stored under section/key (letter case ignored).
    static std::optional<SettingId> find(const QString& section, const QString& key);
    // The current value in its plain text form ("1"/"0", decimal, the text
    // itself: no star, no scrambling); nullopt for a key the model does not hold.
    std::optional<QString> valueText(const QString& section, const QString& key) const;

    // --- typed access for the subsystems
    bool showTrackSplits() const { return boolean(SettingId::cbMezicasy); }
    bool countsMinutes() const { return boolean(SettingId::cbMinuty); }
    bool useParallelPort() const { return boolean(SettingId::cbLPT); }
    bool useSerial() const { return boolean(SettingId::cbCOM); }
    bool useNetwork() const { return boolean(SettingId::cbTcpIP); }
    bool hardwareControl() const { return boolean(SettingId::Hw_rizeniBox); }
    bool invertedInputs() const { return boolean(SettingId::Vsupy_negace_Check); }
    bool tvOutput() const { return boolean(SettingId::TV_OUT_Box); }
    int minLapTimeMs() const { return integer(SettingId::SpinProdleva); }
    int correctionMs(int kart) const;                 // kart 1..8
    QString kartCode(int kart, int which) const;      // which 1: first code, 2: second
    QString lapSensorAddress() const { return text(SettingId::IP0); }
    QString sensorId(int sensor) const;               // 1..10
    QString sensorAddress(int sensor) const;          // 0..10
    QString printText(int line) const;                // 1..8
    QString diplomaText(int line) const;              // 1..4
    // LPT1 0x378, LPT2 0x278, the third choice the hexadecimal base text;
    // nullopt when the text is not a 16-bit hexadecimal number.
    std::optional<quint16> lptPortBase() const;
    std::optional<quint16> semaforPortBase() const;
    static std::optional<quint16> PortBase(int choice, const QString& hexText);

    // --- loading and saving the whole file
    void load(const IniFile& ini, const SoundHardware& sound = {});
    // "Neukládat hesla" empties both passwords here before they are written.
    void save(IniFile& ini);
    // Loads the file (a missing one gives the defaults) and remembers its path
    // for saveFile and the single-key writers.
    void loadFile(const QString& path, const SoundHardware& sound = {});
    bool saveFile(QString* error = nullptr);
    const QString& filePath() const { return filePath_; }
    void setFilePath(const QString& path) { filePath_ = path; }

    // --- single-key writers: change the setting and write its key at once
    // (print logo, diploma logo and picture).
    bool setAndStore(SettingId id, const QString& value);

    // --- "UDP": ListView1TcpIP, top row first; written at once.
    const QList<UdpPortEntry>& udpPorts() const { return udpPorts_; }
    // A port that is not a number 1..65535, or one listed already, is refused
    // and nothing changes (the dialog shows "Zadejte komunikační port a popis").
    bool addUdpPort(const QString& port, const QString& description);
    static std::optional<quint16> UdpPortNumber(const QString& text);
    bool removeUdpPort(int row);

    // --- "Uzivatel": the operators of the log book, read from the file each time.
    // The writers tell in *error why the file could not be written.
    QStringList operators() const;
    bool addOperator(const QString& name, QString* error = nullptr);
    bool removeOperator(int row, QString* error = nullptr);

    // --- "ComPort1": the serial receiver port.
    const SerialPortSettings& serialPort() const { return serialPort_; }
    void setSerialPort(const SerialPortSettings& port);

    // The order keys are loaded and saved in (the UDP list, "ComPort1" and
    // the conditional sound keys aside).
    static const std::vector<SettingId>& LoadOrder();
    static const std::vector<SettingId>& SaveOrder();

signals:
    void changed(vartemo::SettingId id);
    void udpPortsChanged();
    void serialPortChanged();
    void operatorsChanged();

private:
    int number(SettingId id) const { return numbers_[index(id)]; }
    static size_t index(SettingId id) { return static_cast<size_t>(id); }
    void assignNumber(SettingId id, int value);
    void assignText(SettingId id, const QString& value);
    void afterSourceChange(SettingId id);
    QString defaultText(SettingId id) const;
    int defaultNumber(SettingId id) const;
    void loadSetting(const IniFile& ini, SettingId id);
    void saveSetting(IniFile& ini, SettingId id) const;
    bool isSoundKeyAvailable(SettingId id) const;
    void loadUdpPorts(const IniFile& ini);
    // Reads the file, applies change, writes it back atomically.
    template <typename Change> bool updateFile(Change change, QString* error = nullptr);

    QString programFolder_;
    QString filePath_;
    SoundHardware sound_;
    std::vector<int> numbers_;
    std::vector<QString> texts_;
    QList<UdpPortEntry> udpPorts_;
    SerialPortSettings serialPort_;
};

} // namespace vartemo
