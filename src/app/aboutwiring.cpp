#include "app/aboutwiring.h"

#include "about/historyfile.h"
#include "about/systeminfogatherer.h"
#include "about/systeminfotext.h"
#include "about/taboutbox.h"
#include "about/tinformacedlg.h"
#include "about/versiontext.h"
#include "engine/commandbuttons.h"
#include "ui/centreonscreen.h"

#include <QDir>

#include <cstdio>

namespace vartemo {

namespace {
constexpr std::chrono::milliseconds kStartupWait{2000};
} // namespace

AboutWiring::AboutWiring(std::shared_ptr<const SystemInfoSource> source, QString programFolder, QWidget& mainWindow)
    : folder_(std::move(programFolder)), mainWindow_(mainWindow),
      gatherer_(std::make_unique<SystemInfoGatherer>(std::move(source))) {
    // Collected beside the building of the windows: the program log waits
    // for these facts at start-up step 16.
    gatherer_->start();
}

AboutWiring::~AboutWiring() = default;

void AboutWiring::createHistoryWindow() {
    QString error;
    if (!EnsureHistoryFile(folder_, &error))
        std::fprintf(stderr, "vartemo: Historie.txt: %s\n", qPrintable(error));
    history_ = new TInformaceDlg(&mainWindow_);
    history_->LoadHistory(QDir(folder_).filePath(QStringLiteral("Historie.txt")));
}

void AboutWiring::createAboutBox(CommandButtons& buttons) {
    about_ = new TAboutBox(&mainWindow_);
    QObject::connect(&buttons, &CommandButtons::about, about_, &TAboutBox::ShowModal);
    QObject::connect(about_, &TAboutBox::activated, gatherer_.get(), &SystemInfoGatherer::start);
    QObject::connect(gatherer_.get(), &SystemInfoGatherer::gathered, about_,
                     [this](const SystemFacts& facts) { about_->setSystemInfo(rowsOf(facts)); });
    QObject::connect(about_, &TAboutBox::informationRequested, history_, [this] {
        history_->setWindowModality(Qt::ApplicationModal);
        CentreOnScreen(*history_);
        history_->show();
        history_->raise();
    });
}

QStringList AboutWiring::rowsOf(const SystemFacts& facts) const {
    return BuildSystemInfo(about_->productName(), about_->buildText(), folder_, facts);
}

QStringList AboutWiring::setVersion(const VersionLabels& version) {
    about_->setVersion(version.caption, version.build);
    // A host or share that does not answer must not hold the start: without
    // the facts by then the text has empty values, and the window takes the
    // full one when it comes.
    const std::optional<SystemFacts> facts = gatherer_->waitForFacts(kStartupWait);
    const QStringList rows = rowsOf(facts.value_or(SystemFacts{}));
    about_->setSystemInfo(rows);
    return rows;
}

} // namespace vartemo
