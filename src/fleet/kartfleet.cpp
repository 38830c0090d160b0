#include "fleet/kartfleet.h"

#include "core/conversionerror.h"
#include "fleet/hoursminutes.h"
#include "fleet/kartstatusfile.h"
#include "logbook/logentries.h"

#include <algorithm>

namespace vartemo {

KartFleet::KartFleet(QString filePath, Hooks hooks, QObject* parent)
    : QObject(parent), path_(std::move(filePath)), hooks_(std::move(hooks)) {
    RefreshKartTotals();
}

size_t KartFleet::index(int kart) {
    Q_ASSERT(kart >= 1 && kart <= kFleetKarts);
    return size_t(kart - 1);
}

size_t KartFleet::taskIndex(int task) {
    Q_ASSERT(task >= 1 && task <= kKartTasks);
    return size_t(task - 1);
}

bool KartFleet::hasNotices() const {
    for (const QString& n : notices_)
        if (!n.isEmpty())
            return true;
    return false;
}

std::optional<qint64> KartFleet::drivenMinutes(int kart) const {
    return TryParseHoursMinutes(records_[index(kart)].driven);
}

std::optional<QString> KartFleet::unreadableDrivenMessage() const {
    for (const KartStatus& k : records_) {
        try {
            ParseHoursMinutes(k.driven);
        } catch (const ConversionError& e) {
            return e.message();
        }
    }
    return std::nullopt;
}

QString KartFleet::currentOperator() const {
    return hooks_.currentOperator ? hooks_.currentOperator() : QStringLiteral("Admin");
}

QString KartFleet::timed(const QString& text) const {
    return TimedEntry(hooks_.now ? hooks_.now() : QDateTime::currentDateTime(), text);
}

void KartFleet::log(const QString& text) const {
    if (hooks_.addLogEntry)
        hooks_.addLogEntry(timed(text));
}

void KartFleet::LoadKartStatus() {
    records_ = vartemo::LoadKartStatus(path_);
    emit changed();
}

bool KartFleet::SaveKartStatus(QString* error) {
    return vartemo::SaveKartStatus(path_, records_, error);
}

void KartFleet::computeTotal(int kart) {
    const KartStatus& k = records_[index(kart)];
    const auto driven = drivenMinutes(kart);
    totalMinutes_[index(kart)] =
        driven ? std::optional<qint64>(qint64(k.initialHours) * 60 + k.initialMinutes + *driven) : std::nullopt;
    totals_[index(kart)].total = driven ? FormatHoursMinutes(*totalMinutes_[index(kart)]) : QString();
}

void KartFleet::initialStateChanged(int kart) {
    CarryInitialMinutes(records_[index(kart)]);
    computeTotal(kart);
    RecalcFuel();
}

void KartFleet::RefreshKartTotals() {
    for (int k = 1; k <= kFleetKarts; ++k) {
        CarryInitialMinutes(records_[index(k)]);
        computeTotal(k);
    }
    RecalcFuel();
}

void KartFleet::RecalcFuel() {
    for (int k = 1; k <= kFleetKarts; ++k) {
        const KartStatus& kart = records_[index(k)];
        Totals& t = totals_[index(k)];
        const auto driven = drivenMinutes(k);
        const auto& total = totalMinutes_[index(k)];
        t.fuelSinceReset = driven ? FuelFigure(*driven, kart.consumption) : QString();
        t.totalFuel = total ? FuelFigure(*total, kart.consumption) : QString();
    }
    emit changed();
}

void KartFleet::setInitialHours(int kart, int hours) {
    records_[index(kart)].initialHours = kartrange::kHours.clamp(hours);
    initialStateChanged(kart);
}

void KartFleet::setInitialMinutes(int kart, int minutes) {
    records_[index(kart)].initialMinutes = kartrange::kInitialMinutes.clamp(minutes);
    initialStateChanged(kart);
}

void KartFleet::setTaskEnabled(int kart, int task, bool enabled) {
    records_[index(kart)].tasks[taskIndex(task)].enabled = enabled;
    emit changed();
}

void KartFleet::setIntervalHours(int kart, int task, int hours) {
    records_[index(kart)].tasks[taskIndex(task)].intervalHours = kartrange::kHours.clamp(hours);
    emit changed();
}

void KartFleet::setIntervalMinutes(int kart, int task, int minutes) {
    KartTask& t = records_[index(kart)].tasks[taskIndex(task)];
    t.intervalMinutes = kartrange::kIntervalMinutes.clamp(minutes);
    WrapIntervalMinutes(t);
    emit changed();
}

void KartFleet::setTaskText(int kart, int task, const QString& text) {
    records_[index(kart)].tasks[taskIndex(task)].text = text.left(kartrange::kTaskTextLength);
    emit changed();
}

void KartFleet::setConsumption(int kart, int consumption) {
    records_[index(kart)].consumption = kartrange::kConsumption.clamp(consumption);
    RecalcFuel();
}

void KartFleet::setTank(int kart, int litres) {
    records_[index(kart)].tank = kartrange::kTank.clamp(litres);
    emit changed();
}

void KartFleet::setRefuelNotice(int kart, bool enabled) {
    records_[index(kart)].refuelNotice = enabled;
    emit changed();
}

void KartFleet::setRefuelMargin(int kart, int decilitres) {
    records_[index(kart)].refuelMargin = kartrange::kRefuelMargin.clamp(decilitres);
    emit changed();
}

bool KartFleet::ResetDrivenTime(int kart, QString* saveError) {
    KartStatus& k = records_[index(kart)];
    // An unreadable driven time adds nothing: the reset is how the operator
    // repairs the record.
    const qint64 driven = drivenMinutes(kart).value_or(0);
    k.driven = QStringLiteral("0:0");
    const qint64 minutes = qint64(k.initialMinutes) + driven % 60;
    const qint64 hours = qint64(k.initialHours) + driven / 60 + minutes / 60;
    k.initialHours = static_cast<int>(std::min<qint64>(hours, kartrange::kHours.max));
    k.initialMinutes = static_cast<int>(minutes % 60);
    for (KartTask& t : k.tasks)
        t.counter = 1;
    initialStateChanged(kart);
    const bool saved = SaveKartStatus(saveError);
    log(currentOperator() + QStringLiteral(": nulování stavu motokára %1").arg(kart));
    return saved;
}

QStringList KartFleet::AddRideMinutes(const std::array<int, kFleetKarts>& minutes) {
    QStringList messages;
    if (const auto unreadable = unreadableDrivenMessage())
        messages << *unreadable;
    for (int k = 1; k <= kFleetKarts; ++k) {
        const auto driven = drivenMinutes(k);
        const int ride = std::max(minutes[index(k)], 0);
        if (driven)
            records_[index(k)].driven = FormatHoursMinutes(*driven + ride);
    }
    // The totals follow the new driven times at once, so a window open during
    // the stop shows figures that agree with each other.
    RefreshKartTotals();
    CheckFuel();
    QString error;
    if (!SaveKartStatus(&error))
        messages << error;
    return messages;
}

} // namespace vartemo

#include "moc_kartfleet.cpp"
