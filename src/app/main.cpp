#include "app/commandline.h"
#include "core/programfolder.h"
#include "app/station.h"
#include "engine/tform1.h"

#include <QApplication>
#include <QMessageBox>

using namespace vartemo;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vartemo"));
    QApplication::setApplicationVersion(QStringLiteral(
        "%1.%2.%3.%4").arg(VARTEMO_VERSION_MAJOR).arg(VARTEMO_VERSION_MINOR)
                          .arg(VARTEMO_VERSION_PATCH).arg(VARTEMO_VERSION_BUILD));

    int exitCode = 0;
    const auto options = ParseCommandLine(QApplication::arguments(), &exitCode);
    if (!options)
        return exitCode;

    const ProgramFolder folder(ProgramFolder::resolve(options->home));
    QString error;
    if (!folder.ensure(&error)) {
        QMessageBox::critical(nullptr, TForm1::MainCaption(), error);
        return 1;
    }

    Station station(folder);
    station.show();
    return QApplication::exec();
}
