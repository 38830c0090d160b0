#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vartemo {

// Appends bytes to one file from a thread of its own, so the main thread
// never waits for the disk while a ride is timed. Whatever is handed over is
// written at once (a killed process loses nothing already handed over
// except what the writer had no moment to write) and reaches the disk with
// fdatasync right after: a power cut loses at most the last moments. The
// thread sleeps while nothing comes.
class JournalWriter {
public:
    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Opens the file for appending (made when missing, emptied with
    // truncate) and starts the thread. False with *error when it cannot.
    bool open(const QString& path, bool truncate, QString* error);
    bool isOpen() const { return fd_ >= 0; }
    // Hands bytes over; returns at once.
    void append(const QByteArray& bytes);
    // Hands bytes over and waits until they and everything before them are
    // on the disk. False when writing failed.
    bool appendAndSync(const QByteArray& bytes);
    // Writes what is left, syncs, ends the thread and closes the file.
    void close();
    // The first write or sync failure, empty while all is well.
    QString error() const;
    // fdatasync calls made, for the benchmarks.
    quint64 syncCount() const;

private:
    void run();

    int fd_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    QByteArray pending_;
    quint64 handedOver_ = 0; // bytes handed over so far
    quint64 synced_ = 0;     // bytes written and synced so far
    quint64 syncs_ = 0;
    bool stopping_ = false;
    bool waiting_ = false; // the thread sleeps until bytes come
    QString error_;
};

} // namespace vartemo
