#include "config/settings.h"

#include "config/inifile.h"
#include "config/passwordcodec.h"
#include "core/programfolder.h"
#include "platform/portchoice.h"

#include <QDir>
#include <algorithm>

namespace vartemo {

namespace {

using S = SettingId;

constexpr int kStarredTextLength = 255;
constexpr int kMaxUdpPorts = 255;
// "Polozek" of the operators has no limit of its own; a damaged count must
// not make the station read millions of keys.
constexpr int kMaxOperators = 9999;

const QString kUdpSection = QStringLiteral("UDP");
const QString kUserSection = QStringLiteral("Uzivatel");
const QString kCountKey = QStringLiteral("Polozek");

void appendRange(std::vector<SettingId>& order, SettingId first, SettingId last) {
    for (int i = static_cast<int>(first); i <= static_cast<int>(last); ++i)
        order.push_back(static_cast<SettingId>(i));
}

bool isSource(SettingId id) {
    return id == S::cbLPT || id == S::cbCOM || id == S::cbTcpIP;
}

bool isMixerOrSoundSwitch(SettingId id) {
    return id == S::cbHratZvuk || id == S::cbApplaus ||
           (static_cast<int>(id) >= static_cast<int>(S::tbVolume) &&
            static_cast<int>(id) <= static_cast<int>(S::tbBass));
}

} // namespace

Settings::Settings(QString programFolder, QObject* parent)
    : QObject(parent), programFolder_(std::move(programFolder)),
      numbers_(static_cast<size_t>(kSettingCount), 0),
      texts_(static_cast<size_t>(kSettingCount)) {
    // The controls' initial state: check boxes unchecked, radio groups
    // without a selection, spin edits at their design values, texts empty.
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& info = InfoOf(static_cast<SettingId>(i));
        int& n = numbers_[static_cast<size_t>(i)];
        if (info.type == SettingType::RadioGroup)
            n = -1;
        else if (info.type == SettingType::Integer && (info.minimum != 0 || info.maximum != 0))
            n = std::clamp(info.defaultNumber, info.minimum, info.maximum);
        else if (info.type == SettingType::Integer)
            n = info.defaultNumber;
    }
}

QString Settings::text(SettingId id) const {
    // A password is kept as vartemo.ini keeps it, scrambled: in plain text
    // only where it is used, never for the whole run (a core dump).
    if (InfoOf(id).type == SettingType::Password)
        return DecodePassword(texts_[index(id)]);
    return texts_[index(id)];
}

void Settings::assignNumber(SettingId id, int value) {
    int& current = numbers_[index(id)];
    if (current == value)
        return;
    current = value;
    emit changed(id);
    if (isSource(id))
        afterSourceChange(id);
}

void Settings::assignText(SettingId id, const QString& value) {
    QString& current = texts_[index(id)];
    if (current == value)
        return;
    current = value;
    emit changed(id);
}

// The three sources exclude each other and one is always on: checking one
// unchecks the others, unchecking the last one checks "Použít LPT" again.
void Settings::afterSourceChange(SettingId id) {
    if (boolean(id)) {
        for (SettingId other : {S::cbLPT, S::cbCOM, S::cbTcpIP})
            if (other != id)
                assignNumber(other, 0);
    } else if (!useParallelPort() && !useSerial() && !useNetwork()) {
        assignNumber(S::cbLPT, 1);
    }
}

void Settings::setBoolean(SettingId id, bool value) {
    assignNumber(id, value ? 1 : 0);
}

void Settings::setInteger(SettingId id, int value) {
    const SettingInfo& info = InfoOf(id);
    switch (info.type) {
    case SettingType::Bool:
        value = value != 0 ? 1 : 0;
        break;
    case SettingType::Integer:
        if (info.minimum != 0 || info.maximum != 0)
            value = std::clamp(value, info.minimum, info.maximum);
        break;
    case SettingType::RadioGroup:
        value = std::clamp(value, -1, info.maximum);
        break;
    case SettingType::PortChoice:
        if (value < 1 || value > 3)
            return; // not one of the three buttons: the choice stays
        break;
    case SettingType::BitMask:
        value &= 0xFF;
        break;
    default:
        return; // a text setting has no number
    }
    assignNumber(id, value);
}

void Settings::setText(SettingId id, const QString& value) {
    const SettingInfo& info = InfoOf(id);
    switch (info.type) {
    case SettingType::Text:
        assignText(id, info.maxLength > 0 ? value.left(info.maxLength) : value);
        break;
    case SettingType::StarredText:
        assignText(id, value);
        break;
    case SettingType::Password:
        assignText(id, EncodePassword(value));
        break;
    default:
        break;
    }
}

std::optional<SettingId> Settings::find(const QString& section, const QString& key) {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& info = InfoOf(static_cast<SettingId>(i));
        if (info.section.compare(section.trimmed(), Qt::CaseInsensitive) == 0 &&
            info.key.compare(key.trimmed(), Qt::CaseInsensitive) == 0)
            return info.id;
    }
    return std::nullopt;
}

std::optional<QString> Settings::valueText(const QString& section, const QString& key) const {
    const auto id = find(section, key);
    if (!id)
        return std::nullopt;
    switch (InfoOf(*id).type) {
    case SettingType::Text:
    case SettingType::StarredText:
    case SettingType::Password:
        return text(*id);
    default:
        return QString::number(number(*id));
    }
}

int Settings::correctionMs(int kart) const {
    return integer(NumberedSetting(S::SpinChybaMereni1, kart));
}

QString Settings::kartCode(int kart, int which) const {
    return text(NumberedSetting(which == 1 ? S::EdSekvence1 : S::EdSekvence11, kart));
}

QString Settings::sensorId(int sensor) const {
    return text(NumberedSetting(S::ID1, sensor));
}

QString Settings::sensorAddress(int sensor) const {
    return text(NumberedSetting(S::IP0, sensor + 1));
}

QString Settings::printText(int line) const {
    return text(NumberedSetting(S::Text1, line));
}

QString Settings::diplomaText(int line) const {
    return text(NumberedSetting(S::Text9, line));
}

std::optional<quint16> Settings::PortBase(int choice, const QString& hexText) {
    return PortBaseFromChoice({choice, hexText});
}

std::optional<quint16> Settings::lptPortBase() const {
    return PortBase(integer(S::StartPort), text(S::LPTxx_BASE));
}

std::optional<quint16> Settings::semaforPortBase() const {
    return PortBase(integer(S::SemaforPort), text(S::Semafor_Base));
}

int Settings::defaultNumber(SettingId id) const {
    switch (id) {
    case S::tbVolume: return sound_.masterVolume;
    case S::tbMP3WAV: return sound_.waveVolume;
    case S::cbMute: return sound_.mute ? 1 : 0;
    case S::tbTreble: return sound_.treble;
    case S::tbBass: return sound_.bass;
    default: return InfoOf(id).defaultNumber;
    }
}

QString Settings::defaultText(SettingId id) const {
    // Without a "Logo" key the station prints the logo it drew itself.
    if (id == S::PrintLogo && !programFolder_.isEmpty())
        return ProgramFolder(programFolder_).defaultLogo();
    if (id == S::SoundFile)
        return programFolder_.isEmpty()
                   ? QStringLiteral("zvuky/success.wav")
                   : QDir(programFolder_).filePath(QStringLiteral("zvuky/success.wav"));
    return InfoOf(id).defaultText;
}

bool Settings::isSoundKeyAvailable(SettingId id) const {
    if (!isMixerOrSoundSwitch(id))
        return true;
    if (!sound_.hasMixer)
        return false;
    if (id == S::tbTreble)
        return sound_.hasTreble;
    if (id == S::tbBass)
        return sound_.hasBass;
    return true;
}

void Settings::loadSetting(const IniFile& ini, SettingId id) {
    const SettingInfo& info = InfoOf(id);
    switch (info.type) {
    case SettingType::Text:
        setText(id, ini.readString(info.section, info.key, defaultText(id)));
        break;
    case SettingType::StarredText: {
        // The first character is the star that keeps leading blanks; a
        // missing key gives the default whole.
        const auto stored = ini.value(info.section, info.key);
        setText(id, stored ? stored->left(kStarredTextLength).mid(1) : defaultText(id));
        break;
    }
    case SettingType::Password: {
        // Taken as stored; what does not decode is no password.
        const auto stored = ini.value(info.section, info.key);
        if (!stored)
            setText(id, defaultText(id));
        else
            assignText(id, IsStoredPassword(*stored) ? *stored : QString());
        break;
    }
    default:
        setInteger(id, ini.readInteger(info.section, info.key, defaultNumber(id)));
        break;
    }
}

void Settings::saveSetting(IniFile& ini, SettingId id) const {
    const SettingInfo& info = InfoOf(id);
    switch (info.type) {
    case SettingType::Text:
        ini.writeString(info.section, info.key, text(id));
        break;
    case SettingType::StarredText:
        ini.writeString(info.section, info.key, u'*' + text(id));
        break;
    case SettingType::Password:
        ini.writeString(info.section, info.key, texts_[index(id)]);
        break;
    default:
        ini.writeInteger(info.section, info.key, number(id));
        break;
    }
}

const std::vector<SettingId>& Settings::LoadOrder() {
    static const std::vector<SettingId> order = [] {
        std::vector<SettingId> o = {
            S::cbMezicasy, S::StartPort, S::LPTxx_BASE, S::po_spusteni, S::rgZobrazeni,
            S::cbLPT, S::cbCOM, S::cbTcpIP, S::cbMinuty, S::cbBezUcasti,
            S::cbSemafor, S::SemaforPort,
            S::LptBit,
            S::ZelenaBit, S::OranzovaBit, S::CervenaBit, S::Semafor_Base, S::Prodleva,
            S::cbSemaforVyp, S::spSemaforVyp,
            S::DelkaTrate, S::spCena, S::OnTopBox, S::priorita_aplikace, S::cbExtStart,
            S::PrvniKoloBox, S::cbAutoStart, S::SpinAutoStartCas, S::cbAutoStop, S::cbAutoSave,
            S::cbHlaseni, S::cbSporic};
        appendRange(o, S::cbAutoTisk, S::Text8);
        appendRange(o, S::DiplomaLogo, S::Text12);
        o.insert(o.end(), {S::PruhlednyForm_Box, S::TV_OUT_Box, S::Typ_zobrazeni_Group});
        appendRange(o, S::Hw_rizeniBox, S::Spin_Mazat_Cas);
        appendRange(o, S::EdSekvence1, S::Popis10);
        appendRange(o, S::cbAutoPosliFTP, S::FtpAdr6);
        appendRange(o, S::cbProxyFtp, S::ProxyHeslo);
        // here the UDP list
        o.insert(o.end(), {S::cbHratZvuk, S::cbApplaus});
        appendRange(o, S::tbVolume, S::tbBass);
        o.push_back(S::SoundFile);
        // Last: a file of an older station keeps its keys where they were.
        appendRange(o, S::cbWebVysledky, S::EdWebAdresa);
        return o;
    }();
    return order;
}

const std::vector<SettingId>& Settings::SaveOrder() {
    static const std::vector<SettingId> order = [] {
        std::vector<SettingId> o = {
            S::StartPort, S::LPTxx_BASE, S::LptBit, S::po_spusteni, S::rgZobrazeni,
            S::DelkaTrate, S::spCena, S::cbLPT, S::cbCOM, S::cbTcpIP, S::cbMinuty,
            S::cbBezUcasti, S::OnTopBox, S::cbExtStart, S::PrvniKoloBox, S::priorita_aplikace,
            S::cbMezicasy, S::cbAutoStop, S::cbAutoStart, S::SpinAutoStartCas, S::cbAutoSave,
            S::cbHlaseni, S::cbSporic,
            S::tbVolume, S::tbMP3WAV, S::tbTreble, S::tbBass, S::cbMute,
            S::cbSemafor, S::SemaforPort, S::Semafor_Base, S::Prodleva, S::ZelenaBit,
            S::OranzovaBit, S::CervenaBit, S::cbSemaforVyp, S::spSemaforVyp,
            S::cbHratZvuk, S::cbApplaus, S::SoundFile,
            S::cbAutoTisk, S::VelikostLOGA, S::CentrovatLOGO};
        appendRange(o, S::Text1, S::Text8);
        o.insert(o.end(), {S::Diplom_Velikost_loga, S::Diplom_Velikost_obrazek});
        appendRange(o, S::Text9, S::Text12);
        o.insert(o.end(), {S::TV_OUT_Box, S::PruhlednyForm_Box, S::Typ_zobrazeni_Group});
        appendRange(o, S::Hw_rizeniBox, S::Spin_Mazat_Cas);
        appendRange(o, S::EdSekvence1, S::Popis10);
        o.insert(o.end(), {S::cbAutoPosliFTP, S::cbNoHesla, S::FtpHostitel, S::FtpJmeno,
                           S::FtpHeslo});
        for (int i = 1; i <= 6; ++i)
            o.insert(o.end(), {NumberedSetting(S::cbFtp1, i), NumberedSetting(S::FtpSoubor1, i),
                               NumberedSetting(S::FtpAdr1, i)});
        appendRange(o, S::cbProxyFtp, S::ProxyHeslo);
        appendRange(o, S::cbWebVysledky, S::EdWebAdresa);
        return o;
    }();
    return order;
}

void Settings::load(const IniFile& ini, const SoundHardware& sound) {
    sound_ = sound;
    setSerialPort(SerialPortSettings::load(ini));
    for (SettingId id : LoadOrder()) {
        if (id == S::cbHratZvuk)
            loadUdpPorts(ini); // the list comes between "Proxy" and "Zvuk"
        if (isSoundKeyAvailable(id))
            loadSetting(ini, id);
    }
    // A file with all three sources off would leave no input at all.
    if (!useParallelPort() && !useSerial() && !useNetwork())
        setBoolean(S::cbLPT, true);
}

void Settings::save(IniFile& ini) {
    if (boolean(S::cbNoHesla)) {
        setText(S::FtpHeslo, QString());
        setText(S::ProxyHeslo, QString());
    }
    // Keys of sound controls that do not exist were not read: writing them
    // would replace the stored levels with the bars' idle positions.
    for (SettingId id : SaveOrder())
        if (isSoundKeyAvailable(id))
            saveSetting(ini, id);
    serialPort_.store(ini);
}

void Settings::loadFile(const QString& path, const SoundHardware& sound) {
    filePath_ = path;
    load(IniFile::fromFile(path), sound);
}

bool Settings::saveFile(QString* error) {
    if (filePath_.isEmpty())
        return false;
    IniFile ini = IniFile::fromFile(filePath_);
    save(ini);
    return ini.save(filePath_, error);
}

template <typename Change> bool Settings::updateFile(Change change, QString* error) {
    if (filePath_.isEmpty()) {
        if (error)
            *error = QStringLiteral("Konfigurační soubor není určen.");
        return false;
    }
    IniFile ini = IniFile::fromFile(filePath_);
    change(ini);
    return ini.save(filePath_, error);
}

bool Settings::setAndStore(SettingId id, const QString& value) {
    setText(id, value);
    return updateFile([&](IniFile& ini) { saveSetting(ini, id); });
}

void Settings::loadUdpPorts(const IniFile& ini) {
    const int count = std::clamp(ini.readInteger(kUdpSection, kCountKey, 0), 0, kMaxUdpPorts);
    QList<UdpPortEntry> rows;
    // Entry 1 goes in first at the top, each next one above it.
    for (int i = 1; i <= count; ++i)
        rows.prepend({ini.readString(kUdpSection, QStringLiteral("Port%1").arg(i), QString()),
                      ini.readString(kUdpSection, QStringLiteral("Popis%1").arg(i), QString())});
    if (rows != udpPorts_) {
        udpPorts_ = rows;
        emit udpPortsChanged();
    }
}

std::optional<quint16> Settings::UdpPortNumber(const QString& text) {
    bool ok = false;
    const uint n = text.trimmed().toUInt(&ok, 10);
    if (!ok || n < 1 || n > 65535)
        return std::nullopt;
    return quint16(n);
}

bool Settings::addUdpPort(const QString& port, const QString& description) {
    // A bad or repeated row would stop every binding of the list after it.
    const std::optional<quint16> number = UdpPortNumber(port);
    if (!number || udpPorts_.size() >= kMaxUdpPorts)
        return false;
    for (const UdpPortEntry& entry : udpPorts_)
        if (UdpPortNumber(entry.port) == number)
            return false;
    udpPorts_.prepend({port, description});
    emit udpPortsChanged();
    const int n = static_cast<int>(udpPorts_.size());
    updateFile([&](IniFile& ini) {
        ini.writeString(kUdpSection, kCountKey, QString::number(n));
        ini.writeString(kUdpSection, QStringLiteral("Port%1").arg(n), port);
        ini.writeString(kUdpSection, QStringLiteral("Popis%1").arg(n), description);
    });
    return true;
}

bool Settings::removeUdpPort(int row) {
    if (row < 0 || row >= udpPorts_.size())
        return false;
    udpPorts_.removeAt(row);
    emit udpPortsChanged();
    const int n = static_cast<int>(udpPorts_.size());
    updateFile([&](IniFile& ini) {
        ini.writeString(kUdpSection, kCountKey, QString::number(n));
        for (int i = 1; i <= n; ++i) {
            const UdpPortEntry& entry = udpPorts_[i - 1];
            ini.writeString(kUdpSection, QStringLiteral("Port%1").arg(i), entry.port);
            ini.writeString(kUdpSection, QStringLiteral("Popis%1").arg(i), entry.description);
        }
        ini.deleteKey(kUdpSection, QStringLiteral("Port%1").arg(n + 1));
        ini.deleteKey(kUdpSection, QStringLiteral("Popis%1").arg(n + 1));
    });
    return true;
}

QStringList Settings::operators() const {
    const IniFile ini = IniFile::fromFile(filePath_);
    const int count = std::clamp(ini.readInteger(kUserSection, kCountKey, 0), 0, kMaxOperators);
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << ini.readString(kUserSection, QString::number(i), QString());
    return names;
}

bool Settings::addOperator(const QString& name, QString* error) {
    if (name.isEmpty())
        return false;
    const int n = static_cast<int>(operators().size());
    const bool ok = updateFile([&](IniFile& ini) {
        ini.writeString(kUserSection, kCountKey, QString::number(n + 1));
        ini.writeString(kUserSection, QString::number(n + 1), name);
    }, error);
    emit operatorsChanged();
    return ok;
}

bool Settings::removeOperator(int row, QString* error) {
    const int n = static_cast<int>(operators().size());
    if (row < 0 || row >= n)
        return false;
    const int m = n - 1;
    const bool ok = updateFile([&](IniFile& ini) {
        ini.deleteKey(kUserSection, QString::number(row + 1));
        ini.writeString(kUserSection, kCountKey, QString::number(m));
        // Close the gap so that the names stay numbered 1..m in their order.
        for (int k = 1; k <= m; ++k) {
            if (!ini.readString(kUserSection, QString::number(k), QString()).isEmpty())
                continue;
            ini.writeString(kUserSection, QString::number(k),
                            ini.readString(kUserSection, QString::number(k + 1), QString()));
            ini.deleteKey(kUserSection, QString::number(k + 1));
        }
    }, error);
    emit operatorsChanged();
    return ok;
}

void Settings::setSerialPort(const SerialPortSettings& port) {
    if (port == serialPort_)
        return;
    serialPort_ = port;
    emit serialPortChanged();
}

} // namespace vartemo

#include "moc_settings.cpp"
