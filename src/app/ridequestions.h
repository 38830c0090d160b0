#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace vartemo {

// What the operator wants done with a ride that is not closed: go on
// timing it, close it as a STOP does (lap files, takings, best twenty), or
// (only at "Konec") end without saving.
enum class RideAnswer { Ask, Continue, Close, Discard };

// "continue", "close", "discard": the answer given in advance on the
// command line for stations that run unattended (and for trials); nullopt
// for any other word.
std::optional<RideAnswer> ParseRideAnswer(const QString& word);

// At start-up, after a ride that did not close. summary: what the journal
// holds, for the operator. A given answer other than Ask is taken without
// asking (Discard is not a choice here and asks).
RideAnswer AskAboutUnclosedRide(QWidget* parent, const QString& summary, RideAnswer given);

// "Konec" while a ride is timed. Escape keeps the ride going.
RideAnswer AskAboutRideAtEnd(QWidget* parent, RideAnswer given);

} // namespace vartemo
