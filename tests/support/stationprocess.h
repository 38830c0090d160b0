#pragma once

#include "core/textfile.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>

// The station program started by a test, offscreen, with its own program
// folder and runtime folder (so no other station makes it a second start),
// ended with SIGTERM when the test goes.
class StationProcess {
public:
    static constexpr int kDeadlineMs = 60000; // only a hang fails, never slowness

    StationProcess(const QString& program, const QString& home, const QString& runtimeDir) : home_(home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtimeDir + QStringLiteral("/config"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(program, {QStringLiteral("--home"), home});
    }
    ~StationProcess() {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    StationProcess(const StationProcess&) = delete;
    qint64 processId() const { return process_.processId(); }
    StationProcess& operator=(const StationProcess&) = delete;

    // The program log gets its block when the main window first shows.
    bool waitForShownWindow() {
        if (!process_.waitForStarted(kDeadlineMs))
            return false;
        QDeadlineTimer deadline(kDeadlineMs);
        while (!deadline.hasExpired()) {
            const QStringList log = vartemo::textfile::readLines(home_ + QStringLiteral("/vartemo.log")).value_or(QStringList());
            if (!log.filter(QRegularExpression(QStringLiteral("^\\[ End "))).isEmpty())
                return true;
            QThread::msleep(20);
        }
        return false;
    }

private:
    QString home_;
    QProcess process_;
};
