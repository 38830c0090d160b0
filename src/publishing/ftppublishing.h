#pragma once

#include "publishing/ftpclient.h"
#include "publishing/ftpuploads.h"

#include <QObject>
#include <QTimer>

#include <array>

namespace vartemo {

// One sending run of "&Pošli data": connect and log in, then the uploads one
// after another (SendNextFile takes the first checked one not yet sent), then
// QUIT. A failed connection or login ends the run with one message; a failed
// upload shows its message and the chain goes on, unless the connection was
// lost with it. A run may be given a time limit: at its end the running
// request is aborted and the rest is not sent.
class FtpPublishing : public QObject {
    Q_OBJECT
public:
    explicit FtpPublishing(FtpClient& client, QObject* parent = nullptr);

    // Starts a run unless one runs; limitMs 0: no limit beyond the client's time-outs.
    bool start(const FtpEndpoint& endpoint, const FtpUploads& uploads, int limitMs = 0);
    // The next upload, or the run's end when none is left.
    void SendNextFile();
    // " &Zrušit    ": the sent flags cleared, the session ended, progress 0.
    void cancel();
    // OK of the dialog: the running request aborted, the run ended.
    void abort();

    bool running() const { return running_; }
    const std::array<bool, kFtpUploadCount>& sentFlags() const { return sent_; }
    FtpClient& client() { return client_; }

signals:
    // "Chyba " + what went wrong.
    void failed(const QString& message);
    // Slots finished (slot 5's two pictures count as one) of those checked.
    void progressChanged(int position, int maximum);
    void finished();

private:
    void onRequestDone(const FtpReply& reply);
    void onSessionClosed();
    void end();
    void finishSlotOf(int upload);

    FtpClient& client_;
    FtpUploads uploads_;
    std::array<bool, kFtpUploadCount> sent_{};
    bool running_ = false;
    // The request whose completion the run waits for; other completions
    // (of an aborted earlier run) are not its own.
    std::optional<FtpRequest> awaited_;
    int current_ = -1;
    int position_ = 0;
    int maximum_ = 0;
    QTimer limit_;
};

} // namespace vartemo
