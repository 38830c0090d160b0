#include "app/besttwentywiring.h"

#include "core/programfolder.h"
#include "engine/commandbuttons.h"
#include "engine/raceboardview.h"
#include "engine/racefeeds.h"
#include "records/toptables.h"
#include "records/ttopten10frm.h"
#include "records/tupravdlg.h"

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

TTopTen10Frm* BestTwentyWiring::window() {
    if (window_)
        return window_;
    editDialog_ = new TUpravDlg(&mainWindow_);
    window_ = new TTopTen10Frm(*tables_, *editDialog_, &mainWindow_);
    QObject::connect(window_, &TTopTen10Frm::printRequested, window_, [this] {
        if (hooks_.print)
            hooks_.print();
    });
    QObject::connect(window_, &TTopTen10Frm::diplomaRequested, window_, [this](const QString& name, int placement) {
        if (hooks_.diploma)
            hooks_.diploma(name, placement);
    });
    QObject::connect(window_, &TTopTen10Frm::ftpRequested, window_, [this] {
        if (hooks_.ftp)
            hooks_.ftp();
    });
    return window_;
}

void BestTwentyWiring::connectWindow(CommandButtons& buttons) {
    QObject::connect(&buttons, &CommandButtons::topTwenty, &buttons, [this] { window()->ShowModal(); });
    // After a ride that entered a row the operator sees the tables; the STOP
    // finishes first, and a window already open only shows the new rows.
    QObject::connect(tables_.get(), &TopTables::entered, &buttons, [this] {
        QTimer::singleShot(0, window(), &TTopTen10Frm::ShowModal);
    });
}

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
