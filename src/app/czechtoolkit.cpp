#include "app/czechtoolkit.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace vartemo {

namespace {

// An empty title makes the desktop fall back to the program's name; a blank
// one is shown as the empty caption the station's message boxes have.
class EmptyCaptions : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched); box && box->windowTitle().isEmpty())
                box->setWindowTitle(QStringLiteral(" "));
        return false;
    }
};

} // namespace

QString CzechToolkitTranslation() {
    const QFileInfo file(
        QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QStringLiteral("qtbase_cs.qm")));
    return file.isFile() ? file.filePath() : QString();
}

bool InstallCzechToolkit(QApplication& app) {
    app.installEventFilter(new EmptyCaptions(&app));
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    const QString translation = CzechToolkitTranslation();
    auto* translator = new QTranslator(&app);
    if (translation.isEmpty() || !translator->load(translation)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace vartemo
