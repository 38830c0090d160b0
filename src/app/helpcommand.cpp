#include "app/helpcommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <QWidget>

namespace vartemo {

namespace {
const QString kContents = QStringLiteral("index.html");
} // namespace

HelpCommand::HelpCommand(QStringList helpFolders, PageShower show, MessageBox showMessage)
    : folders_(std::move(helpFolders)), show_(std::move(show)), showMessage_(std::move(showMessage)) {}

QStringList HelpCommand::defaultFolders() {
    const QDir exe(QCoreApplication::applicationDirPath());
    QStringList folders{exe.filePath(QStringLiteral("help")), exe.filePath(QStringLiteral("../share/vartemo/help"))};
    // A packager's or a test's own place comes first.
    if (const QString own = qEnvironmentVariable("VARTEMO_HELP_DIR"); !own.isEmpty())
        folders.prepend(own);
    return folders;
}

QUrl HelpCommand::contentsPage() const {
    for (const QString& folder : folders_) {
        const QFileInfo page(QDir(folder).filePath(kContents));
        if (page.isFile())
            return QUrl::fromLocalFile(page.canonicalFilePath());
    }
    return {};
}

void HelpCommand::open() const {
    const QUrl page = contentsPage();
    if (page.isEmpty()) {
        showMessage_(QStringLiteral("Nápověda nebyla nalezena.\r\nProgram je nainstalován neúplně."));
        return;
    }
    show_(page);
}

void HelpCommand::attachShortcut(QWidget& window) const {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), &window);
    f1->setObjectName(QStringLiteral("HelpShortcut"));
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, &window, [this] { open(); });
}

} // namespace vartemo
