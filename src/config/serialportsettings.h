#pragma once

#include <QList>
#include <QString>

namespace vartemo {

class IniFile;

// One item of a port setting's list: the text vartemo.ini keeps (the serial
// component's own word) and the Czech text the operator sees.
struct SerialChoice {
    QString stored;
    QString shown;
};

enum class SerialField { BaudRate, DataBits, StopBits, Parity, FlowControl };

// The items of a setting's list, in the order the list shows them.
const QList<SerialChoice>& SerialChoices(SerialField field);

// The serial receiver port's own settings, kept in section "ComPort1" of
// vartemo.ini under the component's name. Texts as the component writes them.
struct SerialPortSettings {
    QString port = QStringLiteral("COM1");
    QString baudRate = QStringLiteral("9600");   // or "Custom" with customBaudRate
    QString stopBits = QStringLiteral("1");      // "1", "1.5", "2"
    QString dataBits = QStringLiteral("8");      // "5" ... "8"
    QString parity = QStringLiteral("None");     // "None", "Odd", "Even", "Mark", "Space"
    QString flowControl = QStringLiteral("None"); // "Hardware", "Software", "None", "Custom"
    int customBaudRate = 0;

    bool isCustomRate() const { return baudRate == QLatin1String("Custom"); }

    // A value outside its list keeps the default (spelling normalised).
    static SerialPortSettings load(const IniFile& ini);
    void store(IniFile& ini) const;

    friend bool operator==(const SerialPortSettings&, const SerialPortSettings&) = default;
};

} // namespace vartemo
