#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

namespace vartemo {

// The lines of this run's block in vartemo.log that start-up fills in: the
// start line and the status lines of the drivers, the configuration, the
// serial receiver and the printing logos. A line that is never set stays empty.
enum class StartupLine {
    Start = 1,          // "[ Start d.M.yyyy H:mm:ss ]"
    PortLibrary = 2,    // 100032
    Configuration = 3,  // 100041
    SerialPort = 4,     // 100042
    DiplomaLogo = 5,    // 100051
    DiplomaPicture = 6, // 100061
    PrintLogo = 7,      // 100071
    Unused = 8,
    SerialCts = 9,      // 110336
    SerialDsr = 10,     // 110348
};

// "Status\t100042\tOK" / "Status\t100042\tError"
QString StatusLine(int code, bool ok);

// The program log: a short technical record, one block appended per start.
class ProgramLog {
public:
    // A log larger than this is started anew instead of appended to.
    static constexpr qint64 kMaxBytes = 550000;

    explicit ProgramLog(QString filePath);

    void setLine(StartupLine line, const QString& text);
    QString line(StartupLine line) const;
    void setStart(const QDateTime& when);
    // The system information text, one row per line.
    void setSystemInfo(const QStringList& rows) { systemInfo_ = rows; }

    // A failure of this run: "Error" TAB date-time TAB text (one line). Before
    // the block is written it joins the block after the system information;
    // afterwards it is appended to the file at once.
    bool addError(const QDateTime& when, const QString& text, QString* error = nullptr);

    // The block as it is written, ending with "[ End ... ]" and an empty line.
    QStringList block(const QDateTime& end) const;

    // Appends this run's block; a file over kMaxBytes is replaced by the
    // block alone. On failure nothing is written and *error tells why.
    bool WriteProgramLog(const QDateTime& end, QString* error = nullptr);

private:
    QString path_;
    std::array<QString, 10> lines_;
    QStringList systemInfo_;
    QStringList errors_;
    bool written_ = false;
};

} // namespace vartemo
