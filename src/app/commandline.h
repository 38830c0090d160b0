#pragma once

#include "app/ridequestions.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vartemo {

// What the program was started with.
struct CommandLine {
    QString home; // --home DIR (empty: $VARTEMO_HOME or the XDG data folder)
    QString simulatedPort; // --simulated-port FILE (empty: the real parallel port)
    bool irRecordStreams = false; // --ir-record-stream
    int minuteMs = 60000;  // --minute-ms MS (hidden): trials shorten the delays' minute
    QString printToPdf;    // --print-to-pdf DIR (empty: print on the printer)
    bool showPaths = false; // --paths: tell where the run-time files are found, start nothing
    RideAnswer rideAnswer = RideAnswer::Ask; // --ride-answer continue|close|discard
    QString replayJournal; // --replay-journal FILE: print the ride and end
};

// "2.3.0.87"
QString VersionText();

// Parses the arguments. On --help or --version prints the text and returns
// nullopt with *exitCode 0; on a bad option prints the error and returns
// nullopt with *exitCode 1.
std::optional<CommandLine> ParseCommandLine(const QStringList& arguments, int* exitCode);

} // namespace vartemo
