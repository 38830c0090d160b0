#pragma once

// A vartemo.ini with a value other than the default for every setting the
// settings dialog shows, made from the setting table, and what each of the
// dialog's controls must show for it.

#include "config/inifile.h"
#include "config/passwordcodec.h"
#include "config/serialportsettings.h"
#include "config/settingcontrols.h"
#include "config/settingid.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace vartemo::testing {

// One setting as the file holds it and as its control shows it.
struct SettingSample {
    SettingId id;
    QString stored; // the value text in the file
    QVariant shown; // bool, int, or the text (pictures: their path)
};

// The sound switches and the mixer bars are read only with a mixer device.
inline bool NeedsSoundCard(SettingId id) {
    return id == SettingId::cbHratZvuk || id == SettingId::cbApplaus ||
           (int(id) >= int(SettingId::tbVolume) && int(id) <= int(SettingId::tbBass));
}

// The serial receiver port (section "ComPort1") with no default value.
inline SerialPortSettings NonDefaultSerialPort() {
    SerialPortSettings port;
    port.port = QStringLiteral("COM3");
    port.baudRate = QStringLiteral("19200");
    port.stopBits = QStringLiteral("2");
    port.dataBits = QStringLiteral("7");
    port.parity = QStringLiteral("Even");
    port.flowControl = QStringLiteral("Software");
    return port;
}

class EverySetting {
public:
    // folder: where the pictures and the sound file the texts name are made.
    explicit EverySetting(const QString& folder) : folder_(folder) {
        for (int i = 0; i < kSettingCount; ++i)
            samples_.push_back(sampleOf(static_cast<SettingId>(i)));
        // Pictures and the sound file exist: the station keeps a missing one's
        // path only to report it (and falls back for the sound).
        QDir().mkpath(folder_);
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        for (SettingId id : {SettingId::PrintLogo, SettingId::DiplomaLogo, SettingId::DiplomaPicture})
            picture.save(sample(id).stored, "PNG");
        QFile sound(sample(SettingId::SoundFile).stored);
        if (sound.open(QIODevice::WriteOnly))
            sound.write("RIFF");
    }

    // Gives the setting another value (a process test leaves out what would
    // reach outside the test: the sending at the end, the sound card).
    void set(SettingId id, const QString& stored, const QVariant& shown) { samples_[size_t(id)] = {id, stored, shown}; }
    // Leaves the setting out of the file.
    void omit(SettingId id) { omitted_.push_back(id); }

    const std::vector<SettingSample>& samples() const { return samples_; }
    const SettingSample& sample(SettingId id) const { return samples_[size_t(id)]; }

    // The whole file: every key of the table in its order, the serial port,
    // one UDP port (udpPort) and an operator.
    QByteArray file(quint16 udpPort) const {
        IniFile ini;
        for (const SettingSample& s : samples_)
            if (std::find(omitted_.begin(), omitted_.end(), s.id) == omitted_.end())
                ini.writeString(InfoOf(s.id).section, InfoOf(s.id).key, s.stored);
        NonDefaultSerialPort().store(ini);
        ini.writeString(QStringLiteral("UDP"), QStringLiteral("Polozek"), QStringLiteral("1"));
        ini.writeString(QStringLiteral("UDP"), QStringLiteral("Port1"), QString::number(udpPort));
        ini.writeString(QStringLiteral("UDP"), QStringLiteral("Popis1"), QStringLiteral("cíl"));
        ini.writeString(QStringLiteral("Uzivatel"), QStringLiteral("Polozek"), QStringLiteral("1"));
        ini.writeString(QStringLiteral("Uzivatel"), QStringLiteral("1"), QStringLiteral("Jana"));
        const QString path = QDir(folder_).filePath(QStringLiteral("every.ini"));
        ini.save(path);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    // What the control of the setting shows now; nullopt for a control of an
    // unknown kind (a failure of the caller).
    static std::optional<QVariant> Shown(const QWidget& dialog, const ControlRow& row) {
        const QString holder = InfoOf(row.id).holder;
        switch (row.kind) {
        case ControlKind::Check:
            if (auto* box = dialog.findChild<QCheckBox*>(holder))
                return box->isChecked();
            break;
        case ControlKind::Spin:
            if (auto* spin = dialog.findChild<QSpinBox*>(holder))
                return spin->value();
            break;
        case ControlKind::Slider:
            if (auto* slider = dialog.findChild<QSlider*>(holder))
                return slider->value();
            break;
        case ControlKind::Radio:
            if (auto* box = dialog.findChild<QWidget*>(holder)) {
                const QList<QRadioButton*> buttons = box->findChildren<QRadioButton*>();
                for (int i = 0; i < buttons.size(); ++i)
                    if (buttons[i]->isChecked())
                        return i;
                return -1;
            }
            break;
        case ControlKind::PortButtons: {
            const QStringList names = holder.split(u'/');
            for (int i = 0; i < names.size(); ++i)
                if (auto* b = dialog.findChild<QRadioButton*>(names[i]); b && b->isChecked())
                    return i + 1;
            return 0;
        }
        case ControlKind::BitList:
            if (auto* list = dialog.findChild<QListWidget*>(holder)) {
                int mask = 0;
                for (int bit = 0; bit < list->count(); ++bit)
                    if (list->item(bit)->checkState() == Qt::Checked)
                        mask |= 1 << bit;
                return mask;
            }
            break;
        case ControlKind::Edit:
            if (auto* edit = dialog.findChild<QLineEdit*>(holder))
                return edit->text();
            break;
        case ControlKind::Picture:
            if (auto* label = dialog.findChild<QLabel*>(holder))
                return !label->pixmap().isNull();
            break;
        }
        return std::nullopt;
    }

    // What the control must show for the file's value.
    static QVariant Expected(const ControlRow& row, const SettingSample& s) {
        if (row.kind == ControlKind::Picture)
            return true; // the picture shown
        return s.shown;
    }

private:
    SettingSample sampleOf(SettingId id) const {
        const SettingInfo& info = InfoOf(id);
        const int n = int(id);
        switch (info.type) {
        case SettingType::Bool: {
            // The three sources exclude each other: the network is chosen,
            // which unchecks "Použít LPT"; "Použít COM" stays unchecked. The
            // two proxies too: "HTTP proxy" is chosen.
            const bool keepsDefault = id == SettingId::cbCOM || id == SettingId::cbProxyFtp;
            const bool on = keepsDefault ? info.defaultNumber != 0 : info.defaultNumber == 0;
            return {id, on ? QStringLiteral("1") : QStringLiteral("0"), on};
        }
        case SettingType::Integer: {
            const bool ranged = info.minimum != 0 || info.maximum != 0;
            const int lo = ranged ? info.minimum : 0;
            const int hi = ranged ? info.maximum : 9999;
            const int def = std::clamp(info.defaultNumber, lo, hi);
            int v = lo + 1 + n % std::max(1, hi - lo - 1);
            if (v == def)
                v = v + 1 <= hi ? v + 1 : lo;
            return {id, QString::number(v), v};
        }
        case SettingType::RadioGroup: {
            const int v = (info.defaultNumber + 1) % (info.maximum + 1);
            return {id, QString::number(v), v};
        }
        case SettingType::PortChoice:
            return {id, QStringLiteral("3"), 3};
        case SettingType::BitMask: {
            const int v = (0x5A + 7 * n) & 0xFF;
            return {id, QString::number(v), v};
        }
        case SettingType::StarredText: {
            const QString text = QStringLiteral("  Řádek %1 – trať").arg(n);
            return {id, u'*' + text, text};
        }
        case SettingType::Password: {
            const QString password = QStringLiteral("heslo-ř%1").arg(n);
            return {id, EncodePassword(password), password};
        }
        case SettingType::Text:
            break;
        }
        const QString text = textOf(id, info);
        return {id, text, text};
    }

    QString textOf(SettingId id, const SettingInfo& info) const {
        const int n = int(id);
        switch (id) {
        case SettingId::LPTxx_BASE:
            return QStringLiteral("3BC");
        case SettingId::Semafor_Base:
            return QStringLiteral("2BC");
        case SettingId::PrintLogo:
        case SettingId::DiplomaLogo:
        case SettingId::DiplomaPicture:
            return QDir(folder_).filePath(QStringLiteral("obrázek%1.png").arg(n));
        case SettingId::SoundFile:
            return QDir(folder_).filePath(QStringLiteral("zvuk.wav"));
        case SettingId::FtpHostitel:
        case SettingId::EdWebAdresa:
            return QStringLiteral("127.0.0.1");
        case SettingId::eProxyPort:
            return QStringLiteral("3128");
        default:
            break;
        }
        if (info.key.startsWith(QLatin1String("IP")))
            return QStringLiteral("10.1.0.%1").arg(n);
        if (info.maxLength > 0)
            return QStringLiteral("S%1").arg(n).left(info.maxLength);
        return QStringLiteral("%1 č.%2").arg(info.key).arg(n);
    }

    QString folder_;
    std::vector<SettingSample> samples_;
    std::vector<SettingId> omitted_;
};

} // namespace vartemo::testing
