#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace vartemo {

class CommandButtons;
class ProgramFolder;
class RaceBoard;
class RaceBoardView;
struct RaceFeeds;
class TopTables;
class TTopTen10Frm;
class TUpravDlg;

// The best-twenty tables in the station: the STOP's insertion, the lap
// lists' "Vložit do tab. Top 20", the load at start-up, and their window,
// opened from the command button and after a ride that entered a row.
// Problems are shown to the operator after the operation that met them has
// finished.
//
// Other parts connect here:
//   tables().changed   after every save (TV display, spectators' page)
//   tables().entered   a commit put a new row in (applause)
//   tables().Reset()   "Vynuluj tabulky Nej 20"
//   hooks()            print, diploma and FTP from the window; may be set
//                      at any time, before the window exists too
//   window()           SaveListAsJpeg and the quality boxes
class BestTwentyWiring {
public:
    struct Parts {
        const ProgramFolder& folder;
        RaceBoard& board;
        RaceFeeds& feeds;
        QWidget& mainWindow;
        RaceBoardView& boardView;
        std::function<void(const QString& line)> addLogEntry;
        std::function<QString()> currentOperator;
    };
    explicit BestTwentyWiring(Parts parts);
    ~BestTwentyWiring();

    // What the window's buttons and menus ask of other windows.
    struct WindowHooks {
        std::function<void()> print;                                  // "&Tisk": best-twenty sheet
        std::function<void(const QString& name, int placement)> diploma; // placement 0..4, -1 keep
        std::function<void()> ftp;                                    // settings on "tbFTPklient"
    };

    TopTables& tables() { return *tables_; }
    WindowHooks& hooks() { return hooks_; }
    // The window with its row edit dialog, made when first needed (opened,
    // printed, its pictures sent): most runs never open it.
    TTopTen10Frm* window();

    // Start-up step 3 (progress 80): "TopTen10" opens the window, and so
    // does a ride that entered a row.
    void connectWindow(CommandButtons& buttons);
    // Start-up step 17: both tables from their files (missing ones created).
    void load();

private:
    void showLater(const QStringList& messages);

    RaceBoard& board_;
    QWidget& mainWindow_;
    std::unique_ptr<TopTables> tables_;
    WindowHooks hooks_;
    TUpravDlg* editDialog_ = nullptr;
    TTopTen10Frm* window_ = nullptr;
};

} // namespace vartemo
