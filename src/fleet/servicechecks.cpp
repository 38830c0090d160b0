// The service checks of the kart records: the refuel notice, the due tasks
// with their marks, log lines and notice texts, the confirmation of a task
// and the acknowledgement of the notices.

#include "fleet/hoursminutes.h"
#include "fleet/kartfleet.h"

#include <limits>

namespace vartemo {

void KartFleet::CheckFuel() {
    for (int k = 1; k <= kFleetKarts; ++k) {
        const KartStatus& kart = records_[index(k)];
        const auto driven = drivenMinutes(k);
        if (!kart.refuelNotice || !driven)
            continue;
        // In tenths of a decilitre: F > 0 and F >= tank × 10 − margin.
        const qint64 used = FuelTenths(*driven, kart.consumption);
        const qint64 limit = (qint64(kart.tank) * 10 - kart.refuelMargin) * 10;
        if (used > 0 && used >= limit)
            notices_[index(k)] = QStringLiteral("Doplňte palivo !\r");
    }
    emit changed();
}

void KartFleet::CheckTasks() {
    for (auto& kart : marks_)
        for (TaskMarks& m : kart)
            m.due = false;
    for (int k = 1; k <= kFleetKarts; ++k) {
        const auto driven = drivenMinutes(k);
        if (!driven)
            continue;
        QString addition;
        for (int t = 1; t <= kKartTasks; ++t) {
            const KartTask& task = records_[index(k)].tasks[taskIndex(t)];
            const qint64 interval = task.intervalTotal();
            if (!task.enabled || interval <= 0 || *driven / interval < task.counter)
                continue;
            addition += task.text + u'\r';
            TaskMarks& m = marks_[index(k)][taskIndex(t)];
            m.due = true;
            m.confirmEnabled = true;
            log(QStringLiteral("úkol %1, motokára %2 ").arg(t).arg(k) + task.text);
        }
        notices_[index(k)] += addition;
    }
    emit changed();
}

bool KartFleet::ConfirmTask(int kart, int task, QString* saveError) {
    int& counter = records_[index(kart)].tasks[taskIndex(task)].counter;
    if (counter < std::numeric_limits<int>::max())
        ++counter;
    emit changed();
    const bool saved = SaveKartStatus(saveError);
    log(currentOperator() + QStringLiteral(": potvrzení úkolu %1 motokára %2").arg(task).arg(kart));
    return saved;
}

void KartFleet::AcknowledgeNotices() {
    for (QString& n : notices_)
        n.clear();
    emit changed();
}

} // namespace vartemo
