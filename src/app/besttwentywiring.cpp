#include "app/besttwentywiring.h"

#include "core/programfolder.h"
#include "engine/raceboardview.h"
#include "engine/racefeeds.h"
#include "records/toptables.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace vartemo {

BestTwentyWiring::BestTwentyWiring(Parts parts)
    : board_(parts.board), mainWindow_(parts.mainWindow),
      tables_(std::make_unique<TopTables>(
          parts.folder.root(), TopTablesHooks{.addLogEntry = std::move(parts.addLogEntry),
                                              .currentOperator = std::move(parts.currentOperator)})) {
    // The STOP goes on to its last step before anything is shown.
    parts.feeds.insertBestTwenty = [this] { showLater(tables_->TopTenDeset(board_)); };
    QObject::connect(&parts.boardView, &RaceBoardView::topTwentyRequested, tables_.get(),
                     [this](int kart) { showLater(tables_->InsertKart(board_, kart)); });
}

BestTwentyWiring::~BestTwentyWiring() = default;

void BestTwentyWiring::load() {
    showLater(tables_->Load());
}

void BestTwentyWiring::showLater(const QStringList& messages) {
    if (messages.isEmpty())
        return;
    // One box for everything the operation met, once it has finished.
    // Without a loop of its own, so that the station keeps timing meanwhile.
    QTimer::singleShot(0, tables_.get(), [window = QPointer<QWidget>(&mainWindow_), text = messages.join(u'\n')] {
        auto* box = new QMessageBox(QMessageBox::Critical, window ? window->windowTitle() : QString(), text,
                                    QMessageBox::Ok, window);
        box->setObjectName(QStringLiteral("BestTwentyError"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}

} // namespace vartemo
