#pragma once

// Runs one sending run to its end and keeps what it said.

#include "publishing/ftppublishing.h"

#include <QSignalSpy>
#include <QStringList>

namespace vartemo::test {

struct RunOutcome {
    bool finished = false;
    QStringList messages;
    int position = 0;
    int maximum = 0;
};

inline RunOutcome RunToEnd(FtpPublishing& run, const FtpEndpoint& endpoint, const FtpUploads& uploads,
                           int waitMs = 20000, int limitMs = 0) {
    RunOutcome outcome;
    const auto a = QObject::connect(&run, &FtpPublishing::failed,
                                    [&](const QString& message) { outcome.messages << message; });
    const auto b = QObject::connect(&run, &FtpPublishing::progressChanged, [&](int position, int maximum) {
        outcome.position = position;
        outcome.maximum = maximum;
    });
    QSignalSpy finished(&run, &FtpPublishing::finished);
    if (run.start(endpoint, uploads, limitMs))
        outcome.finished = finished.count() > 0 || finished.wait(waitMs);
    QObject::disconnect(a);
    QObject::disconnect(b);
    return outcome;
}

} // namespace vartemo::test
