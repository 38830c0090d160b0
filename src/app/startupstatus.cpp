#include "app/startupstatus.h"

#include <QDir>
#include <QFileInfo>

namespace vartemo {

void RecordSerialReceiver(ProgramLog& log, const SerialReceiverCheck& check) {
    if (!check.inUse) {
        for (StartupLine line : {StartupLine::SerialPort, StartupLine::SerialCts, StartupLine::SerialDsr})
            log.setLine(line, QString());
        return;
    }
    log.setLine(StartupLine::SerialPort, check.portOpen ? StatusLine(100042, *check.portOpen) : QString());
    log.setLine(StartupLine::SerialCts, StatusLine(110336, check.cts));
    log.setLine(StartupLine::SerialDsr, StatusLine(110348, check.dsr));
}

bool RecordPictureFiles(ProgramLog& log, const PictureFiles& files, const QString& programFolder) {
    const auto exists = [&](const QString& path) {
        return !path.isEmpty() && QFileInfo(QDir(programFolder).filePath(path)).isFile();
    };
    const bool printLogo = exists(files.printLogo);
    log.setLine(StartupLine::DiplomaLogo, StatusLine(100051, exists(files.diplomaLogo)));
    log.setLine(StartupLine::DiplomaPicture, StatusLine(100061, exists(files.diplomaPicture)));
    log.setLine(StartupLine::PrintLogo, StatusLine(100071, printLogo));
    return printLogo;
}

} // namespace vartemo
