#include "engine/journalwriter.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vartemo {

JournalWriter::~JournalWriter() {
    close();
}

bool JournalWriter::open(const QString& path, bool truncate, QString* error) {
    close();
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0);
    fd_ = ::open(QFile::encodeName(path).constData(), flags, 0644);
    if (fd_ < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
        handedOver_ = synced_ = 0;
        stopping_ = false;
        error_.clear();
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

void JournalWriter::append(const QByteArray& bytes) {
    bool asleep = false;
    {
        std::lock_guard lock(mutex_);
        pending_ += bytes;
        handedOver_ += quint64(bytes.size());
        asleep = waiting_;
    }
    // A writer busy writing takes the new bytes with its next turn.
    if (asleep)
        wake_.notify_one();
}

bool JournalWriter::appendAndSync(const QByteArray& bytes) {
    std::unique_lock lock(mutex_);
    pending_ += bytes;
    handedOver_ += quint64(bytes.size());
    const quint64 target = handedOver_;
    wake_.notify_one();
    done_.wait(lock, [&] { return synced_ >= target || !error_.isEmpty() || !thread_.joinable(); });
    return error_.isEmpty();
}

void JournalWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        waiting_ = true;
        wake_.wait(lock, [&] { return !pending_.isEmpty() || stopping_; });
        waiting_ = false;
        if (pending_.isEmpty() && stopping_)
            return;
        const QByteArray batch = std::exchange(pending_, {});
        const quint64 upTo = handedOver_;
        lock.unlock();
        QString failure;
        for (qsizetype done = 0; done < batch.size();) {
            const ssize_t n = ::write(fd_, batch.constData() + done, size_t(batch.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure = QString::fromLocal8Bit(std::strerror(errno));
                break;
            }
            done += n;
        }
        // Records that came meanwhile go with the next sync.
        if (failure.isEmpty() && ::fdatasync(fd_) != 0)
            failure = QString::fromLocal8Bit(std::strerror(errno));
        lock.lock();
        ++syncs_;
        if (!failure.isEmpty() && error_.isEmpty())
            error_ = failure;
        synced_ = upTo;
        done_.notify_all();
    }
}

void JournalWriter::close() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
        done_.notify_all();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

QString JournalWriter::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

quint64 JournalWriter::syncCount() const {
    std::lock_guard lock(mutex_);
    return syncs_;
}

} // namespace vartemo
