#include "config/serialportsettings.h"

#include "config/inifile.h"

#include <QStringList>

namespace vartemo {

namespace {

const QString kSection = QStringLiteral("ComPort1");

QList<SerialChoice> same(const QStringList& texts) {
    QList<SerialChoice> choices;
    for (const QString& t : texts)
        choices.append({t, t});
    return choices;
}

// The stored text when it is one of the choices (any letter case), else fallback.
QString choice(const IniFile& ini, const char* key, SerialField field, const QString& fallback) {
    const QString v = ini.readString(kSection, QString::fromLatin1(key), fallback);
    for (const SerialChoice& c : SerialChoices(field))
        if (c.stored.compare(v, Qt::CaseInsensitive) == 0)
            return c.stored;
    return fallback;
}

} // namespace

const QList<SerialChoice>& SerialChoices(SerialField field) {
    static const QList<SerialChoice> rates = [] {
        QList<SerialChoice> c = same({"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                                      "38400", "56000", "57600", "115200", "128000", "256000"});
        c.append({QStringLiteral("Custom"), QStringLiteral("Vlastní")});
        return c;
    }();
    static const QList<SerialChoice> dataBits = same({"5", "6", "7", "8"});
    static const QList<SerialChoice> stopBits = {
        {QStringLiteral("1"), QStringLiteral("1")},
        {QStringLiteral("1.5"), QStringLiteral("1,5")},
        {QStringLiteral("2"), QStringLiteral("2")}};
    static const QList<SerialChoice> parity = {
        {QStringLiteral("None"), QStringLiteral("Žádná")},
        {QStringLiteral("Odd"), QStringLiteral("Lichá")},
        {QStringLiteral("Even"), QStringLiteral("Sudá")},
        {QStringLiteral("Mark"), QStringLiteral("Značka (1)")},
        {QStringLiteral("Space"), QStringLiteral("Mezera (0)")}};
    static const QList<SerialChoice> flowControl = {
        {QStringLiteral("Hardware"), QStringLiteral("Hardwarové (RTS/CTS)")},
        {QStringLiteral("Software"), QStringLiteral("Softwarové (XON/XOFF)")},
        {QStringLiteral("None"), QStringLiteral("Žádné")},
        {QStringLiteral("Custom"), QStringLiteral("Vlastní")}};
    switch (field) {
    case SerialField::BaudRate:
        return rates;
    case SerialField::DataBits:
        return dataBits;
    case SerialField::StopBits:
        return stopBits;
    case SerialField::Parity:
        return parity;
    case SerialField::FlowControl:
        return flowControl;
    }
    return rates;
}

SerialPortSettings SerialPortSettings::load(const IniFile& ini) {
    SerialPortSettings s;
    const QString port = ini.readString(kSection, QStringLiteral("Port"), s.port);
    if (!port.isEmpty())
        s.port = port;
    s.baudRate = choice(ini, "BaudRate", SerialField::BaudRate, s.baudRate);
    s.stopBits = choice(ini, "StopBits", SerialField::StopBits, s.stopBits);
    s.dataBits = choice(ini, "DataBits", SerialField::DataBits, s.dataBits);
    s.parity = choice(ini, "Parity", SerialField::Parity, s.parity);
    s.flowControl = choice(ini, "FlowControl", SerialField::FlowControl, s.flowControl);
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
