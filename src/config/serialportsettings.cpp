#include "config/serialportsettings.h"

#include "config/inifile.h"

#include <QStringList>

namespace vartemo {

namespace {

const QString kSection = QStringLiteral("ComPort1");

// The stored text when it is one of the choices (any letter case), else fallback.
QString choice(const IniFile& ini, const char* key, const QStringList& choices,
               const QString& fallback) {
    const QString v = ini.readString(kSection, QString::fromLatin1(key), fallback);
    for (const QString& c : choices)
        if (c.compare(v, Qt::CaseInsensitive) == 0)
            return c;
    return fallback;
}

} // namespace

SerialPortSettings SerialPortSettings::load(const IniFile& ini) {
    SerialPortSettings s;
    const QString port = ini.readString(kSection, QStringLiteral("Port"), s.port);
    if (!port.isEmpty())
        s.port = port;
    static const QStringList rates = {
        QStringLiteral("110"),    QStringLiteral("300"),    QStringLiteral("600"),
        QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
        QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
        QStringLiteral("38400"),  QStringLiteral("56000"),  QStringLiteral("57600"),
        QStringLiteral("115200"), QStringLiteral("128000"), QStringLiteral("256000"),
        QStringLiteral("Custom")};
    s.baudRate = choice(ini, "BaudRate", rates, s.baudRate);
    s.stopBits = choice(ini, "StopBits", {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")},
                        s.stopBits);
    s.dataBits = choice(ini, "DataBits",
                        {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")},
                        s.dataBits);
    s.parity = choice(ini, "Parity",
                      {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"),
                       QStringLiteral("Mark"), QStringLiteral("Space")},
                      s.parity);
    s.flowControl = choice(ini, "FlowControl",
                           {QStringLiteral("Hardware"), QStringLiteral("Software"),
                            QStringLiteral("None"), QStringLiteral("Custom")},
                           s.flowControl);
    if (s.isCustomRate()) {
        s.customBaudRate = ini.readInteger(kSection, QStringLiteral("CustomBaudRate"), 0);
        if (s.customBaudRate <= 0) { // a custom rate needs a rate: back to the default
            s.baudRate = SerialPortSettings().baudRate;
            s.customBaudRate = 0;
        }
    }
    return s;
}

void SerialPortSettings::store(IniFile& ini) const {
    ini.writeString(kSection, QStringLiteral("Port"), port);
    ini.writeString(kSection, QStringLiteral("BaudRate"), baudRate);
    ini.writeString(kSection, QStringLiteral("StopBits"), stopBits);
    ini.writeString(kSection, QStringLiteral("DataBits"), dataBits);
    ini.writeString(kSection, QStringLiteral("Parity"), parity);
    ini.writeString(kSection, QStringLiteral("FlowControl"), flowControl);
    if (isCustomRate())
        ini.writeInteger(kSection, QStringLiteral("CustomBaudRate"), customBaudRate);
}

} // namespace vartemo
