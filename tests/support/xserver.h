#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// A private X server for a test that works the station's windows from
// outside, as an operator would (keyboard and mouse through xdotool).
class XServer {
public:
    static constexpr int kDeadlineMs = 30000; // only a hang fails, never slowness

    XServer() {
        server_.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
        if (!server_.waitForStarted(kDeadlineMs))
            return;
        QByteArray number;
        QDeadlineTimer deadline(kDeadlineMs);
        while (!number.contains('\n') && !deadline.hasExpired() && server_.state() == QProcess::Running) {
            server_.waitForReadyRead(100);
            number += server_.readAllStandardOutput();
        }
        if (number.contains('\n'))
            display_ = ':' + QString::fromLatin1(number.trimmed());
    }
    ~XServer() {
        server_.terminate();
        server_.waitForFinished(kDeadlineMs);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const QString& display() const { return display_; }

    // Runs xdotool on this display; its standard output.
    QByteArray xdotool(const QStringList& arguments) const {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(kDeadlineMs);
        return tool.readAllStandardOutput();
    }

private:
    QProcess server_;
    QString display_;
};
