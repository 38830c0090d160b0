#include "publishing/ftppublishing.h"

namespace vartemo {

namespace {
const QString kError = QStringLiteral("Chyba ");
}

FtpPublishing::FtpPublishing(FtpClient& client, QObject* parent) : QObject(parent), client_(client) {
    limit_.setSingleShot(true);
    connect(&limit_, &QTimer::timeout, this, [this] {
        if (!running_)
            return;
        emit failed(kError + QStringLiteral("Odesílání nebylo dokončeno v časovém limitu %1 s")
                                 .arg(limit_.interval() / 1000));
        abort();
    });
    connect(&client_, &FtpClient::requestDone, this, &FtpPublishing::onRequestDone);
    connect(&client_, &FtpClient::sessionClosed, this, &FtpPublishing::onSessionClosed);
}

bool FtpPublishing::start(const FtpEndpoint& endpoint, const FtpUploads& uploads, int limitMs) {
    if (running_)
        return false;
    uploads_ = uploads;
    sent_.fill(false);
    position_ = 0;
    maximum_ = 0;
    for (int slot = 1; slot <= kFtpSlotCount; ++slot)
        for (int i = 0; i < kFtpUploadCount; ++i)
            if (FtpSlotOf(i) == slot && uploads_[size_t(i)]) {
                ++maximum_;
                break;
            }
    running_ = true;
    emit progressChanged(position_, maximum_);
    if (limitMs > 0)
        limit_.start(limitMs);
    awaited_ = FtpRequest::Connect;
    client_.Connect(endpoint);
    return true;
}

void FtpPublishing::SendNextFile() {
    if (!running_)
        return;
    for (int i = 0; i < kFtpUploadCount; ++i) {
        if (!uploads_[size_t(i)] || sent_[size_t(i)])
            continue;
        sent_[size_t(i)] = true;
        const FtpUpload& upload = *uploads_[size_t(i)];
        if (!upload.problem.isEmpty()) {
            emit failed(kError + upload.problem);
            finishSlotOf(i);
            continue;
        }
        current_ = i;
        awaited_ = FtpRequest::Put;
        client_.Put(upload.folder, upload.localFile, upload.remoteName);
        return;
    }
    client_.Quit();
    end();
}

void FtpPublishing::finishSlotOf(int upload) {
    // Slot 5's men's picture waits for the women's.
    if (upload == 4 && uploads_[5])
        return;
    position_ = std::min(position_ + 1, maximum_);
    emit progressChanged(position_, maximum_);
}

void FtpPublishing::onRequestDone(const FtpReply& reply) {
    if (!running_ || !awaited_ || reply.request != *awaited_)
        return;
    awaited_.reset();
    if (reply.request == FtpRequest::Connect) {
        if (!reply.ok) {
            emit failed(kError + reply.error);
            end();
            return;
        }
        SendNextFile();
        return;
    }
    if (!reply.ok)
        emit failed(kError + reply.error);
    finishSlotOf(current_);
    current_ = -1;
    if (!client_.connected()) {
        end();
        return;
    }
    SendNextFile();
}

void FtpPublishing::onSessionClosed() {
    // A session lost while no request was waiting ends the run too.
    if (running_ && !awaited_)
        end();
}

void FtpPublishing::cancel() {
    sent_.fill(false);
    client_.Abort();
    end();
    position_ = 0;
    emit progressChanged(position_, maximum_);
}

void FtpPublishing::abort() {
    client_.Abort();
    end();
}

void FtpPublishing::end() {
    limit_.stop();
    awaited_.reset();
    current_ = -1;
    if (!running_)
        return;
    running_ = false;
    emit finished();
}

} // namespace vartemo

#include "moc_ftppublishing.cpp"
