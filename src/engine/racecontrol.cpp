#include "engine/racecontrol.h"

#include "core/conversionerror.h"
#include "engine/lapcomputation.h"
#include "engine/lapfiles.h"
#include "engine/lapsettings.h"
#include "engine/ridejournal.h"
#include "engine/raceboard.h"
#include "engine/racehardware.h"
#include "engine/raceprice.h"
#include "engine/racesettings.h"
#include "engine/timetext.h"

#include <limits>

namespace vartemo {

namespace {

constexpr int kPollMs = 2;
constexpr int kDisplayMs = 259;
constexpr int kExtStartMs = 200;

enum LightState { kRedOff = 0, kRed = 1, kOrange = 2, kGreen = 3 };

template <typename F>
void call(const F& f, auto&&... args) {
    if (f)
        f(std::forward<decltype(args)>(args)...);
}

// Reads a lap line; an unreadable one is left out (and its message kept,
// the first one only, for the operator).
std::optional<TimeMs> readLap(const QString& line, QStringList& errors) {
    try {
        return ParseTimeText(line);
    } catch (const ConversionError& e) {
        if (errors.isEmpty())
            errors << e.message();
        return std::nullopt;
    }
}

} // namespace

RaceControl::RaceControl(RaceBoard& board, LapComputation& laps, const Clock& clock,
                         const RaceSettings& settings, Hardware hardware, QObject* parent)
    : QObject(parent), board_(board), laps_(laps), clock_(clock), settings_(settings),
      hw_(hardware), wallClock_([] { return QDateTime::currentDateTime(); }) {
    for (QTimer& t : timers_)
        t.setTimerType(Qt::PreciseTimer);
    timerOf(RaceTimer::Poll).setInterval(kPollMs);
    timerOf(RaceTimer::Display).setInterval(kDisplayMs);
    timerOf(RaceTimer::ExtStart).setInterval(kExtStartMs);
    const std::array<std::pair<RaceTimer, void (RaceControl::*)()>, 5> handlers = {{
        {RaceTimer::Display, &RaceControl::ZobrazTimerTimer},
        {RaceTimer::ExtStart, &RaceControl::ExtStartTimer},
        {RaceTimer::AutoStartDelay, &RaceControl::AutoStartProdlevaTimerTimer},
        {RaceTimer::LightsOff, &RaceControl::TimerSemaforOffTimer},
        {RaceTimer::LightStep, &RaceControl::SemaforStepTimer},
    }};
    for (const auto& [timer, handler] : handlers)
        connect(&timerOf(timer), &QTimer::timeout, this, handler);
    connect(&timerOf(RaceTimer::Poll), &QTimer::timeout, this, &RaceControl::pollTick);
    laps_.setPassingWaiting([this] { pollSoon(); });
    // What the operator changes on the board during a ride is ride data too.
    connect(&board_, &RaceBoard::listReset, this, [this](int kart, BoardList list) {
        journalBoardChange(riderecords::List(kart, list, board_.lines(kart, list)));
    });
    connect(&board_, &RaceBoard::flagsChanged, this, [this](int kart) {
        journalBoardChange(riderecords::Flags(kart, board_.isWoman(kart), board_.isExcluded(kart)));
    });
    connect(&board_, &RaceBoard::driverNameChanged, this, [this](int kart, const QString& name) {
        journalBoardChange(riderecords::Name(kart, name));
    });
}

void RaceControl::setJournal(RideJournal* journal) {
    journal_ = journal;
    laps_.setJournal(journal);
}

bool RaceControl::journaling() const {
    return phase_ == RacePhase::Timing && journal_ && journal_->isOpen() && !journal_->stopping();
}

void RaceControl::journalBoardChange(const journal::Record& record) {
    if (journaling())
        journal_->append(record);
}

void RaceControl::openJournal() {
    if (!journal_)
        return;
    const LapSettings& lap = laps_.settings();
    RideSettings s;
    s.startWall = wallClock_();
    s.originUs = laps_.raceStartUs();
    s.bootId = CurrentBootId();
    s.countsMinutes = countsMinutes_;
    s.length = raceLength_;
    s.minLapMs = lap.minLapTimeMs();
    s.lapSensor = lap.lapSensorAddress();
    for (int k = 1; k <= kKartCount; ++k) {
        const size_t i = size_t(k - 1);
        s.correctionMs[i] = lap.correctionMs(k);
        s.firstCode[i] = lap.kartCode(k, 1);
        s.secondCode[i] = lap.kartCode(k, 2);
        s.drivers.names[i] = board_.DriverName(k);
        s.drivers.woman[i] = board_.isWoman(k);
        s.drivers.excluded[i] = board_.isExcluded(k);
    }
    QString error;
    if (!journal_->begin(s, &error))
        call(feeds_.showError, QStringLiteral("Záznam jízdy nelze zapsat (%1). Jízda se měří bez něj.").arg(error));
}

QTimer& RaceControl::timerOf(RaceTimer timer) {
    return timers_[static_cast<size_t>(timer)];
}

const QTimer& RaceControl::timerOf(RaceTimer timer) const {
    return timers_[static_cast<size_t>(timer)];
}

void RaceControl::startTimer(RaceTimer timer, int intervalMs) {
    timerOf(timer).start(intervalMs);
}

void RaceControl::fire(RaceTimer timer) {
    if (!isActive(timer))
        return;
    switch (timer) {
    case RaceTimer::Poll: pollTick(); break;
    case RaceTimer::Display: ZobrazTimerTimer(); break;
    case RaceTimer::ExtStart: ExtStartTimer(); break;
    case RaceTimer::AutoStartDelay: AutoStartProdlevaTimerTimer(); break;
    case RaceTimer::LightsOff: TimerSemaforOffTimer(); break;
    case RaceTimer::LightStep: SemaforStepTimer(); break;
    }
}

std::array<QString, kKartCount> RaceControl::rideDriverNames() const {
    if (rideNames_)
        return *rideNames_;
    std::array<QString, kKartCount> names;
    for (int k = 1; k <= kKartCount; ++k)
        names[size_t(k - 1)] = board_.DriverName(k);
    return names;
}

QString RaceControl::startCaption() const {
    return phase_ == RacePhase::Idle ? QStringLiteral("&START") : QStringLiteral("&STOP");
}

void RaceControl::setPhase(RacePhase phase) {
    const QString before = startCaption();
    phase_ = phase;
    if (startCaption() != before)
        emit captionChanged(startCaption());
}

void RaceControl::setLights(int state) {
    if (hw_.lights)
        hw_.lights->SetLights(state);
}

void RaceControl::StartButton1Click() {
    // While the lights run neither START nor STOP is taken.
    switch (phase_) {
    case RacePhase::Idle: Start(); break;
    case RacePhase::Timing: Stop(); break;
    case RacePhase::Lights: break;
    }
}

void RaceControl::Start() {
    stopTimer(RaceTimer::ExtStart);
    stopTimer(RaceTimer::AutoStartDelay);
    setPhase(RacePhase::Lights);
    EnableRaceButtons(false);

    if (settings_.inhibitScreenSaver())
        call(feeds_.setScreenSaver, false);
    if (settings_.endSound())
        call(feeds_.prepareEndSound);
    // A new ride: the sheets name its drivers from now on.
    rideNames_.reset();
    call(feeds_.showTvDriverNames, rideDriverNames());

    laps_.forgetWaitingPassings();
    board_.ClearLists();

    openReceivers();
    if (hw_.lights)
        hw_.lights->reloadLightMasks();
    stopTimer(RaceTimer::LightsOff);

    if (settings_.useLights()) {
        // Red now; orange and green after a pause each, without blocking the
        // window. Passings meanwhile wait and are matched right after the start.
        laps_.holdPassings();
        setLights(kRed);
        lightStage_ = kRed;
        startTimer(RaceTimer::LightStep, settings_.lightPauseSeconds() * 1000);
        return;
    }
    beginTiming();
}

void RaceControl::openReceivers() {
    if (ReceiverControl* rx = hw_.receivers) {
        rx->allowRetry();
        if (settings_.useCom() && rx->serialReceiverDetected()) {
            if (!rx->serialInputIsRxd())
                rx->startInfraredDecoders();
            else if (!rx->serialPortOpen())
                rx->openSerialPort();
        }
        if (settings_.useNetwork())
            rx->activateNetwork(true);
    }
}

void RaceControl::SemaforStepTimer() {
    if (lightStage_ == kRed) {
        setLights(kOrange);
        lightStage_ = kOrange;
        return; // the step timer runs on for the second pause
    }
    stopTimer(RaceTimer::LightStep);
    setLights(kGreen);
    lightStage_ = 0;
    beginTiming();
}

void RaceControl::beginTiming() {
    laps_.startRace();
    // The ride's start is on the disk before its first passing is taken.
    openJournal();
    laps_.releasePassings();
    // The clock starts from zero: until its first tick it must not show
    // (and a stop must not charge) the previous ride's time.
    shown_ = {};
    emit clockShown(0, 0, 0);
    setProgress(progressMax_);
    setPhase(RacePhase::Timing);
    startPolling();
    startTimer(RaceTimer::Display, kDisplayMs);
}

// Contacts are sampled, so with the parallel port in use the karts are
// polled every 2 ms. Code-sending sensors stamp their passings themselves:
// a poll then runs only when a passing waits, in the next turn of the event
// loop, and an idle ride does not wake the station 500 times a second.
void RaceControl::startPolling() {
    QTimer& poll = timerOf(RaceTimer::Poll);
    if (settings_.useParallelPort()) {
        poll.setSingleShot(false);
        poll.start(kPollMs);
    } else if (laps_.hasWaitingPassings()) {
        pollSoon();
    }
}

void RaceControl::pollSoon() {
    QTimer& poll = timerOf(RaceTimer::Poll);
    if (phase_ != RacePhase::Timing || poll.isActive())
        return;
    poll.setSingleShot(true);
    poll.start(0);
}

void RaceControl::pollTick() {
    QTimer& poll = timerOf(RaceTimer::Poll);
    if (poll.isSingleShot())
        poll.stop(); // fired by hand in tests: a real single shot stops itself
    laps_.PollAll();
}

void RaceControl::ZobrazTimerTimer() {
    const TimeMs d = laps_.raceTime();
    const int minutes = static_cast<int>((d / 60'000) % 60);
    const int seconds = static_cast<int>((d / 1000) % 60);
    shown_.millis = static_cast<int>(d % 1000);
    if (seconds != shown_.seconds) {
        shown_.seconds = seconds;
        if (countsMinutes_) {
            setProgress(progressMax_ - (minutes * 60 + seconds));
        } else {
            int most = 0;
            for (int k = 1; k <= kKartCount; ++k)
                most = std::max(most, board_.lapCount(k));
            setProgress(progressMax_ - most);
        }
    }
    shown_.minutes = minutes;
    emit clockShown(shown_.minutes, shown_.seconds, shown_.millis);
    if (settings_.tvOutput())
        call(feeds_.showTvClock, shown_.minutes, shown_.seconds, shown_.millis);

    if (!laps_.raceRunning())
        return;
    bool over = false;
    if (countsMinutes_) {
        over = minutes == raceLength_;
    } else {
        // The first line is the run from the start signal to the first passing.
        for (int k = 1; k <= kKartCount && !over; ++k)
            over = board_.lapCount(k) >= raceLength_ + 1;
    }
    if (!over)
        return;
    laps_.setRaceRunning(false);
    if (settings_.useLights())
        setLights(kRed);
    if (settings_.autoStop())
        StartButton1Click();
    if (settings_.endSound())
        call(feeds_.playEndSound);
}

void RaceControl::Stop() {
    stopRide(StopPlan{wallClock_(), std::nullopt, {}, false});
}

void RaceControl::stopRide(const StopPlan& plan) {
    if (ReceiverControl* rx = hw_.receivers) {
        // The infrared decoders keep running: their codes can start the next ride.
        rx->allowRetry();
        if (rx->serialPortOpen())
            rx->closeSerialPort();
        if (settings_.useNetwork())
            rx->deactivateNetwork();
    }
    StopAllTimers();
    call(feeds_.setScreenSaver, true);
    if (plan.clock)
        shown_ = *plan.clock;
    // The STOP is in the journal before any of its steps: a STOP cut short
    // is finished later without doing twice what it had done.
    const bool journaled = journal_ && journal_->isOpen();
    if (journaled) {
        if (plan.recorded)
            journal_->markStopping();
        else
            journal_->beginStop(riderecords::Stop(plan.wall, shown_.minutes, shown_.seconds));
    }
    auto step = [&](StopStep s, bool active, const auto& run) {
        if (!active || plan.done.contains(s))
            return;
        run();
        if (journaled)
            journal_->appendNow(riderecords::Done(s));
    };

    // A line that is not a time is reported once and left out of the sums
    // and the trimming; the ride is closed all the same.
    QStringList errors;
    step(StopStep::OperatingTimes, true, [&] { addOperatingTimes(errors); });
    if (settings_.dropFirstLap())
        board_.DeleteFirstLine();
    if (settings_.dropShortLaps())
        dropShortLaps(errors);
    if (settings_.autoSave())
        errors << lapfiles::AutoSaveResults(board_, resultsFolder_, settings_.showTrackLists(), plan.wall);
    step(StopStep::BestTwenty, bool(feeds_.insertBestTwenty), [&] { call(feeds_.insertBestTwenty); });
    rideNames_ = rideDriverNames();
    board_.resetDriverNames();
    if (settings_.useLights())
        setLights(kRed);
    ArmLightsOff();
    step(StopStep::Print, settings_.autoPrint() && feeds_.autoPrint, [&] { errors << feeds_.autoPrint(); });
    if (settings_.externalStart() && !settings_.autoStart())
        startTimer(RaceTimer::ExtStart, kExtStartMs);
    if (settings_.autoStart())
        startTimer(RaceTimer::AutoStartDelay, settings_.autoStartDelaySeconds() * 1000);
    step(StopStep::Price, true, [&] { AddPriceEntry(); });
    if (journaled)
        journal_->close(wallClock_());
    setPhase(RacePhase::Idle);
    EnableRaceButtons(true);
    for (const QString& e : errors)
        call(feeds_.showError, e);
    if (settings_.serviceCheck())
        call(feeds_.checkTasks);
}

void RaceControl::restoreBoard(const RebuiltRide& ride) {
    stopTimer(RaceTimer::ExtStart);
    stopTimer(RaceTimer::AutoStartDelay);
    board_.ClearLists();
    for (int k = 1; k <= kKartCount; ++k) {
        const size_t i = size_t(k - 1);
        board_.setLines(k, BoardList::Lap, ride.laps[i]);
        board_.setLines(k, BoardList::Track, ride.track[i]);
        board_.setDriverName(k, ride.drivers.names[i]);
        board_.setWoman(k, ride.drivers.woman[i]);
        board_.setExcluded(k, ride.drivers.excluded[i]);
    }
    // The length the ride was timed with, on the window too.
    if (ride.countsMinutes != countsMinutes_)
        ride.countsMinutes ? rbMinutyClick() : rbKolaClick();
    CasZavoduChange(ride.length);
    emit raceLengthShown(ride.length);
    emit unitShown(ride.countsMinutes);
    rideNames_.reset();
    call(feeds_.showTvDriverNames, rideDriverNames());
    laps_.forgetWaitingPassings();
}

bool RaceControl::reopenJournal(const QByteArray& goodRecords,
                                const ResumePoint& at) {
    if (!journal_)
        return false;
    QString error;
    const TimeUs raceUs = clock_.nowUs() - at.originUs;
    if (journal_->resume(goodRecords,
                         riderecords::Resume(wallClock_(), CurrentBootId(), at.originUs, raceUs, at.outageMs),
                         &error))
        return true;
    call(feeds_.showError, QStringLiteral("Záznam jízdy nelze zapsat (%1). Jízda se měří bez něj.").arg(error));
    return false;
}

void RaceControl::ResumeRide(const RebuiltRide& ride, const QByteArray& goodRecords, const ResumePoint& at) {
    if (phase_ != RacePhase::Idle)
        return;
    restoreBoard(ride);
    EnableRaceButtons(false);
    if (settings_.inhibitScreenSaver())
        call(feeds_.setScreenSaver, false);
    if (settings_.endSound())
        call(feeds_.prepareEndSound);
    openReceivers();
    if (hw_.lights)
        hw_.lights->reloadLightMasks();
    stopTimer(RaceTimer::LightsOff);
    reopenJournal(goodRecords, at);
    // Over already when the time or a kart's laps ran out meanwhile.
    const TimeMs elapsed = FloorToMs(clock_.nowUs() - at.originUs);
    bool over = countsMinutes_ && elapsed / 60'000 >= raceLength_;
    for (int k = 1; k <= kKartCount && !countsMinutes_; ++k)
        over = over || board_.lapCount(k) >= raceLength_ + 1;
    laps_.resumeRace(at.originUs, ride.lapMark, ride.splitMark, !over);
    if (settings_.useLights())
        setLights(over ? kRed : kGreen);
    shown_ = {};
    setProgress(progressMax_);
    setPhase(RacePhase::Timing);
    startPolling();
    startTimer(RaceTimer::Display, kDisplayMs);
    ZobrazTimerTimer();
    if (over && settings_.autoStop())
        StartButton1Click();
}

void RaceControl::CloseRecoveredRide(const RebuiltRide& ride, const QByteArray& goodRecords,
                                     const ResumePoint& at) {
    if (phase_ != RacePhase::Idle)
        return;
    restoreBoard(ride);
    reopenJournal(goodRecords, at);
    setPhase(RacePhase::Timing);
    if (ride.stop) {
        stopRide(StopPlan{ride.stop->wall, ShownClock{ride.stop->minutes, ride.stop->seconds, 0},
                          ride.stop->done, true});
        return;
    }
    // As if STOP had been pressed at the last passing: its moment names the
    // lap files, its race clock is charged.
    const TimeMs last = FloorToMs(ride.lastPassingUs);
    const ShownClock clock{int(last / 60'000 % 60), int(last / 1000 % 60), int(last % 1000)};
    stopRide(StopPlan{ride.start.startWall.addMSecs(last), clock, {}, false});
}

void RaceControl::AbandonRide() {
    if (journal_ && journal_->isOpen())
        journal_->close(wallClock_(), true);
}

void RaceControl::addOperatingTimes(QStringList& errors) {
    std::array<int, kKartCount> minutes{};
    for (int k = 1; k <= kKartCount; ++k) {
        // Saturating: absurd times in a loaded file must not overflow.
        TimeMs sum = 0;
        for (const QString& line : board_.lines(k, BoardList::Lap)) {
            const TimeMs lap = std::max<TimeMs>(readLap(line, errors).value_or(0), 0);
            sum = lap > std::numeric_limits<TimeMs>::max() - sum
                      ? std::numeric_limits<TimeMs>::max()
                      : sum + lap;
        }
        minutes[size_t(k - 1)] =
            static_cast<int>(std::min<TimeMs>(sum / 60'000, std::numeric_limits<int>::max()));
    }
    if (feeds_.addOperatingMinutes)
        errors << feeds_.addOperatingMinutes(minutes);
}

void RaceControl::dropShortLaps(QStringList& errors) {
    const TimeMs limit = TimeMs(settings_.shortLapSeconds()) * 1000;
    for (int k = 1; k <= kKartCount; ++k) {
        const QStringList& lines = board_.lines(k, BoardList::Lap);
        QStringList kept;
        for (const QString& line : lines) {
            const auto lap = readLap(line, errors);
            if (!lap || *lap >= limit)
                kept << line;
        }
        if (kept.size() != lines.size())
            board_.setLines(k, BoardList::Lap, kept);
    }
}

void RaceControl::StopAllTimers() {
    stopTimer(RaceTimer::Poll);
    stopTimer(RaceTimer::Display);
    stopTimer(RaceTimer::LightStep);
    laps_.resetMarks();
    laps_.setRaceRunning(false);
    if (settings_.useLights())
        setLights(kRed);
}

QStringList RaceControl::RaceButtonNames() {
    QStringList names = {QStringLiteral("stav_motokar"), QStringLiteral("Statistika"),
                         QStringLiteral("Tisk1"), QStringLiteral("TopTen10"),
                         QStringLiteral("btnNastaveni")};
    for (int k = 1; k <= kKartCount; ++k)
        names << QStringLiteral("btnJezdec%1").arg(k);
    return names;
}

void RaceControl::EnableRaceButtons(bool enabled) {
    raceButtonsEnabled_ = enabled;
    emit raceButtonsEnabledChanged(enabled);
}

void RaceControl::AddPriceEntry() {
    const int price =
        RacePrice(shown_.minutes, shown_.seconds, settings_.pricePerMinute(), raceLength_);
    const QString op = feeds_.currentOperator ? feeds_.currentOperator() : QString();
    call(feeds_.addLogEntry, PriceLine(price, op, wallClock_()));
}

void RaceControl::ExtStartTimer() {
    stopTimer(RaceTimer::ExtStart);
    // Waiting for a start means nothing while a ride is on: a press of the
    // start button must never stop it.
    if (phase_ != RacePhase::Idle)
        return;
    if (ReceiverControl* rx = hw_.receivers) {
        // Codes can arrive (and start the ride) before the start.
        if (settings_.useCom() && !rx->serialPortOpen() && rx->serialReceiverDetected() &&
            rx->serialInputIsRxd())
            rx->openSerialPort();
        if (settings_.useNetwork())
            rx->activateNetwork(false);
    }
    if (hw_.inputs)
        hw_.inputs->readStatus();
    const bool buttonPressed = hw_.inputs && hw_.inputs->externalStartPressed();
    if (buttonPressed && settings_.externalStart()) {
        StartButton1Click();
        return;
    }
    if (settings_.autoStart()) {
        const bool kartInput =
            settings_.useParallelPort() && hw_.inputs && hw_.inputs->anyKartInputActive();
        const bool lapCode =
            (settings_.useCom() || settings_.useNetwork()) && laps_.pendingKart() != 0;
        if (kartInput || lapCode) {
            StartButton1Click();
            return;
        }
    }
    startTimer(RaceTimer::ExtStart, kExtStartMs);
}

void RaceControl::AutoStartProdlevaTimerTimer() {
    stopTimer(RaceTimer::AutoStartDelay);
    // Codes of karts still on the track after the last ride are forgotten.
    laps_.forgetWaitingPassings();
    startTimer(RaceTimer::ExtStart, kExtStartMs);
}

void RaceControl::ArmLightsOff() {
    if (settings_.lightsOffAfterRace())
        startTimer(RaceTimer::LightsOff, settings_.lightsOffMinutes() * minuteMs_);
}

void RaceControl::TimerSemaforOffTimer() {
    stopTimer(RaceTimer::LightsOff);
    setLights(kRedOff);
}

void RaceControl::armExtStartIfWanted() {
    if (settings_.externalStart() || settings_.autoStart())
        startTimer(RaceTimer::ExtStart, kExtStartMs);
}

void RaceControl::pauseStartWaiting() {
    stopTimer(RaceTimer::ExtStart);
    stopTimer(RaceTimer::AutoStartDelay);
}

void RaceControl::resumeStartWaiting() {
    armExtStartIfWanted();
    startTimer(RaceTimer::AutoStartDelay, settings_.autoStartDelaySeconds() * 1000);
}

void RaceControl::rearmStartWaiting() {
    if (phase_ != RacePhase::Idle || !(settings_.externalStart() || settings_.autoStart()))
        return;
    stopTimer(RaceTimer::AutoStartDelay);
    laps_.setPendingKart(0);
    startTimer(RaceTimer::ExtStart, kExtStartMs);
}

void RaceControl::setProgress(int position) {
    position = std::clamp(position, 0, progressMax_);
    if (position == progressPos_)
        return;
    progressPos_ = position;
    emit progressChanged(progressPos_, progressMax_);
}

void RaceControl::setProgressMaximum(int maximum) {
    progressMax_ = maximum;
    progressPos_ = std::min(progressPos_, maximum);
    // Between rides the bar stands full.
    if (!isActive(RaceTimer::Display))
        progressPos_ = maximum;
    emit progressChanged(progressPos_, progressMax_);
}

void RaceControl::CasZavoduChange(int value) {
    raceLength_ = value;
    journalBoardChange(riderecords::Length(countsMinutes_, raceLength_));
    call(feeds_.setTvRaceLength, value);
    setProgressMaximum(countsMinutes_ ? value * 60 : value);
}

QString RaceControl::TvLengthLabel(bool minutes) {
    return minutes ? QStringLiteral("Délka jízdy\r\nminut") : QStringLiteral("Délka jízdy\r\nkol");
}

void RaceControl::rbMinutyClick() {
    countsMinutes_ = true;
    journalBoardChange(riderecords::Length(countsMinutes_, raceLength_));
    call(feeds_.setTvLengthLabel, TvLengthLabel(true));
    setProgressMaximum(raceLength_ * 60);
}

void RaceControl::rbKolaClick() {
    countsMinutes_ = false;
    journalBoardChange(riderecords::Length(countsMinutes_, raceLength_));
    call(feeds_.setTvLengthLabel, TvLengthLabel(false));
    setProgressMaximum(raceLength_);
}

void RaceControl::FormShow() {
    call(feeds_.firstShow);
    setLights(kRedOff);
    if (hw_.lights)
        hw_.lights->writeIdleValue();
    CasZavoduChange(10);
    emit raceLengthShown(10);
    setProgress(600);
    if (settings_.useLights())
        setLights(kRed);
    armExtStartIfWanted();
}

void RaceControl::FormClose() {
    StopAllTimers();
    stopTimer(RaceTimer::ExtStart);
    stopTimer(RaceTimer::AutoStartDelay);
    call(feeds_.closing);
}

void RaceControl::FormDestroy() {
    call(feeds_.setScreenSaver, true);
    if (ReceiverControl* rx = hw_.receivers) {
        if (rx->serialPortOpen())
            rx->closeSerialPort();
        rx->deactivateNetwork();
    }
}

} // namespace vartemo

#include "moc_racecontrol.cpp"
