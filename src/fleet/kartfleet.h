#pragma once

#include "fleet/kartstatus.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace vartemo {

// The eight kart status records for the whole run, their derived totals and
// fuel figures, the service-task marks and the notice texts. The status
// window shows and edits these records; the ride's stop, start-up and the
// program's close change and save them through the operations here. Every
// change is announced by changed(), so a window open meanwhile shows it.
//
// A driven-time text that cannot be read (a damaged or hand-edited file) is
// kept as it stands: its kart shows empty totals and fuel figures and is left
// out of the ride's minutes and the checks, while the other karts are served.
class KartFleet : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // A line under this run in the log book, and the operator's name.
        std::function<void(const QString& line)> addLogEntry;
        std::function<QString()> currentOperator;
        std::function<QDateTime()> now = &QDateTime::currentDateTime;
    };

    // The derived figures of a kart; empty texts when its driven time is unreadable.
    struct Totals {
        QString total;          // total operating time, h:m
        QString fuelSinceReset; // "15,0"
        QString totalFuel;
    };

    // A task's marks in the window: due (yellow text) and its "Hotovo" enabled.
    struct TaskMarks {
        bool due = false;
        bool confirmEnabled = false;
    };

    KartFleet(QString filePath, Hooks hooks, QObject* parent = nullptr);

    const QString& filePath() const { return path_; }
    // kart 1..8, task 1..4.
    const KartStatus& kart(int kart) const { return records_[index(kart)]; }
    const KartStatusRecords& records() const { return records_; }
    const Totals& totals(int kart) const { return totals_[index(kart)]; }
    const TaskMarks& marks(int kart, int task) const { return marks_[index(kart)][taskIndex(task)]; }
    const QString& notice(int kart) const { return notices_[index(kart)]; }
    bool hasNotices() const;

    // The conversion message of the first kart whose driven time cannot be
    // read, for the operation that met it to show once.
    std::optional<QString> unreadableDrivenMessage() const;

    // --- the file ---
    // Reads stav.ini into the records (defaults for what is missing).
    void LoadKartStatus();
    // Writes all eight records at once; false with *error when the file
    // cannot be written (the records stay, the next save catches up).
    bool SaveKartStatus(QString* error = nullptr);

    // --- figures ---
    // Every kart: the initial minutes' carry and the total; then RecalcFuel.
    void RefreshKartTotals();
    // Both fuel figures of every kart from the totals last computed.
    void RecalcFuel();

    // --- the window's fields; each runs the change's rule and announces it ---
    void setInitialHours(int kart, int hours);
    void setInitialMinutes(int kart, int minutes);
    void setTaskEnabled(int kart, int task, bool enabled);
    void setIntervalHours(int kart, int task, int hours);
    void setIntervalMinutes(int kart, int task, int minutes);
    void setTaskText(int kart, int task, const QString& text);
    void setConsumption(int kart, int consumption);
    void setTank(int kart, int litres);
    void setRefuelNotice(int kart, bool enabled);
    void setRefuelMargin(int kart, int decilitres);

    // --- the operator's actions; each saves the file before it logs ---
    // "Vynuluj": the driven time moves into the initial state, counters to 1.
    // An unreadable driven time becomes "0:0" and adds nothing.
    bool ResetDrivenTime(int kart, QString* saveError = nullptr);
    // "Hotovo": a log line and the task's counter one up.
    bool ConfirmTask(int kart, int task, QString* saveError = nullptr);

    // --- the ride's stop: driven minutes per kart (index kart-1), RecalcFuel,
    // CheckFuel and the save, in that order. Karts with an unreadable driven
    // time keep it. Messages for the operator (unreadable text, failed write)
    // are returned, each once.
    QStringList AddRideMinutes(const std::array<int, kFleetKarts>& minutes);

    // --- service checks (servicechecks.cpp) ---
    // Sets the refuel notice of every kart whose tank needs filling.
    void CheckFuel();
    // Marks the due tasks, logs them and appends their texts to the notices.
    void CheckTasks();
    // "Beru na vědomí": every notice text emptied.
    void AcknowledgeNotices();

signals:
    void changed();

private:
    static size_t index(int kart);
    static size_t taskIndex(int task);
    // The initial-state change of one kart: the carry, the total, the fuel.
    void initialStateChanged(int kart);
    void computeTotal(int kart);
    std::optional<qint64> drivenMinutes(int kart) const;
    QString timed(const QString& text) const;
    void log(const QString& text) const;
    QString currentOperator() const;

    QString path_;
    Hooks hooks_;
    KartStatusRecords records_{};
    std::array<Totals, kFleetKarts> totals_{};
    // The total in minutes as last computed; nullopt when unreadable.
    std::array<std::optional<qint64>, kFleetKarts> totalMinutes_{};
    std::array<std::array<TaskMarks, kKartTasks>, kFleetKarts> marks_{};
    std::array<QString, kFleetKarts> notices_{};
};

} // namespace vartemo
