#include "engine/lapfilecommands.h"
#include "engine/lapfiles.h"
#include "engine/raceboardview.h"
#include "engine/tform1.h"
#include "qstringprinter.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QTimer>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

struct Files : ::testing::Test {
    QTemporaryDir home;
    RaceBoard board;
    TForm1 window{board};
    LapFileCommands* commands =
        new LapFileCommands(window, board, home.filePath(QStringLiteral("vysledky")));
    // What the dialog was opened with, and what the operator picks.
    QString askedFolder;
    int askedFilter = -1;
    std::optional<QString> answer;
    QStringList reported;

    Files() {
        commands->setFilePrompt([this](bool, const QString& folder, int filter) {
            askedFolder = folder;
            askedFilter = filter;
            return answer;
        });
        commands->setErrorReporter([this](const QString& e) { reported << e; });
        window.show();
    }
    QString file(const QString& name, const QStringList& lines) {
        const QString path = home.filePath(name);
        EXPECT_TRUE(lapfiles::Save(path, lines));
        return path;
    }
    // Drops the files at the middle of the list, as the file manager would.
    void drop(const QStringList& paths, int kart, BoardList list) {
        QListWidget* target = window.boardView()->list(kart, list);
        // The list leaves drops to the window, which picks the list by position.
        ASSERT_FALSE(target->acceptDrops() || target->viewport()->acceptDrops());
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        QMimeData mime;
        mime.setUrls(urls);
        const QPointF pos = target->mapTo(&window, target->rect().center());
        // A drop reaches only the widget that took the drag on entering.
        QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent e(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &e);
    }
    QPushButton* button(const QString& name) {
        return window.findChild<QPushButton*>(name);
    }
};

} // namespace

TEST_F(Files, SaveButtonsWriteTheirListIntoTheChosenFile) {
    board.AddLapLine(3, 12'234);
    board.AddTrackLapLine(3, 12'234);
    board.AddSplitLine(3, "10", 4'321);
    answer = home.filePath("lap.caskola");
    button("Uloz3")->click();
    EXPECT_EQ(askedFolder, home.filePath("vysledky"));
    EXPECT_TRUE(QDir(askedFolder).exists());
    EXPECT_EQ(askedFilter, 0);
    EXPECT_EQ(lapfiles::Load(*answer), QStringList({"00:12:234"}));

    answer = home.filePath("track.casdraha");
    button("Uloz3_Draha")->click();
    EXPECT_EQ(askedFilter, 1);
    EXPECT_EQ(lapfiles::Load(*answer), QStringList({"  L 00:12:234", "10 00:04:321"}));

    answer = std::nullopt; // cancelled
    button("Uloz3")->click();
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(Files, LoadButtonsReplaceTheirListAndKeepItWhenTheFileIsMissing) {
    board.AddLapLine(5, 1'000);
    answer = file("old.txt", {"00:30:000", "anything"});
    button("Nacti5")->click();
    EXPECT_EQ(askedFilter, 0);
    EXPECT_EQ(board.lines(5, BoardList::Lap), QStringList({"00:30:000", "anything"}));
    EXPECT_EQ(window.boardView()->list(5, BoardList::Lap)->count(), 2);

    answer = home.filePath("gone.caskola");
    button("Nacti5")->click();
    EXPECT_EQ(reported.size(), 1);
    EXPECT_EQ(board.lines(5, BoardList::Lap), QStringList({"00:30:000", "anything"}));

    answer = file("t.casdraha", {"  L 00:10:000"});
    button("Nacti5_Draha")->click();
    EXPECT_EQ(askedFilter, 1);
    EXPECT_EQ(board.lines(5, BoardList::Track), QStringList({"  L 00:10:000"}));
}

TEST_F(Files, DroppedFileLoadsOnlyIntoAMatchingList) {
    const QString laps = file("a.caskola", {"00:41:000", "00:42:000"});
    const QString other = file("b.caskola", {"00:01:000"});
    const QString upper = file("c.CASKOLA", {"00:02:000"});
    const QString track = file("d.casdraha", {"  L 00:43:000"});

    drop({laps, other}, 2, BoardList::Lap); // the first file only
    EXPECT_EQ(board.lines(2, BoardList::Lap), QStringList({"00:41:000", "00:42:000"}));

    drop({upper}, 2, BoardList::Lap);
    drop({laps}, 2, BoardList::Track);
    drop({track}, 1, BoardList::Lap);
    EXPECT_EQ(board.lines(2, BoardList::Lap), QStringList({"00:41:000", "00:42:000"}));
    EXPECT_TRUE(board.lines(2, BoardList::Track).isEmpty());
    EXPECT_TRUE(board.lines(1, BoardList::Lap).isEmpty());

    window.boardView()->list(4, BoardList::Track)->setEnabled(false);
    drop({track}, 4, BoardList::Track); // disabled lists take drops too
    EXPECT_EQ(board.lines(4, BoardList::Track), QStringList({"  L 00:43:000"}));
    EXPECT_TRUE(reported.isEmpty());
}

TEST(FileDialogs, OpenInTheResultsFolderWithTheFilterOfTheButton) {
    QTemporaryDir home;
    RaceBoard board;
    TForm1 window{board};
    const QString results = home.filePath("vysledky");
    new LapFileCommands(window, board, results);
    board.AddLapLine(2, 61'000);
    board.AddTrackLapLine(2, 61'000);

    // The operator types a bare name into the dialog that comes up.
    QStringList filters;
    QString folder, selected;
    auto typeName = [&](const QString& name) {
        QTimer::singleShot(0, [&, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            selected = dialog->selectedNameFilter();
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    typeName("petr");
    window.findChild<QPushButton*>("Uloz2")->click();
    EXPECT_EQ(filters, QStringList({"mezičasy kola (*.caskola)", "mezičasy dráha (*.casdraha)",
                                    "výsledky (starý formát) (*.txt)"}));
    EXPECT_EQ(folder, QDir(results).absolutePath());
    EXPECT_EQ(selected, "mezičasy kola (*.caskola)");
    EXPECT_EQ(lapfiles::Load(results + "/petr.caskola"), QStringList({"01:01:000"}));

    typeName("petr");
    window.findChild<QPushButton*>("Uloz2_Draha")->click();
    EXPECT_EQ(selected, "mezičasy dráha (*.casdraha)");
    EXPECT_EQ(lapfiles::Load(results + "/petr.casdraha"), QStringList({"  L 01:01:000"}));

    typeName("petr.casdraha");
    window.findChild<QPushButton*>("Nacti7")->click();
    EXPECT_EQ(selected, "mezičasy kola (*.caskola)");
    EXPECT_EQ(board.lines(7, BoardList::Lap), QStringList({"  L 01:01:000"}));
}
