// Shared pieces of the libFuzzer targets: a scratch folder that lives for the
// whole run, the input written as a file, and the application object the
// targets with sockets, signals or an event loop need.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace vartemo::fuzz {

inline QByteArray Bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A failed check: libFuzzer records the input as a crash.
[[noreturn]] inline void Fail() {
    __builtin_trap();
}

inline void CheckAt(bool condition, const char* text, const char* file, int line) {
    if (condition)
        return;
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, text);
    Fail();
}

} // namespace vartemo::fuzz

// A property every input must keep; a broken one names itself and stops the run.
#define FUZZ_CHECK(...) ::vartemo::fuzz::CheckAt(bool(__VA_ARGS__), #__VA_ARGS__, __FILE__, __LINE__)

namespace vartemo::fuzz {

inline const QTemporaryDir& Scratch() {
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir;
}

inline QString ScratchPath(const QString& name) {
    return Scratch().filePath(name);
}

// Replaces the file's content by the bytes.
inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(bytes) == bytes.size());
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One application object for the whole run (queued signals, sockets).
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

} // namespace vartemo::fuzz

namespace vartemo::fuzz {

// Inputs made of records: a byte of flags, a length byte, that many bytes
// (cut short at the end of the input). Returns the number of records.
template <typename Handle>
qsizetype ForEachRecord(const uint8_t* data, size_t size, Handle handle) {
    qsizetype records = 0;
    for (size_t at = 0; at + 2 <= size; ++records) {
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        handle(data[at], Bytes(data + at + 2, length));
        at += 2 + length;
    }
    return records;
}

} // namespace vartemo::fuzz
