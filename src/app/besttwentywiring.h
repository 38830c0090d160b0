#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace vartemo {

class LogBook;
class ProgramFolder;
class RaceBoard;
class RaceBoardView;
struct RaceFeeds;
class TopTables;

// The best-twenty tables in the station: the STOP's insertion, the lap
// lists' "Vložit do tab. Top 20", the load at start-up. Problems are shown
// to the operator after the operation that met them has finished.
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

    TopTables& tables() { return *tables_; }

    // Start-up step 17: both tables from their files (missing ones created).
    void load();

private:
    void showLater(const QStringList& messages);

    RaceBoard& board_;
    QWidget& mainWindow_;
    std::unique_ptr<TopTables> tables_;
};

} // namespace vartemo
