#pragma once

#include "core/clock.h"
#include "core/threadevent.h"

#include <QByteArray>
#include <QString>
#include <mutex>
#include <optional>

namespace vartemo {

// A serial port read the infrared way: opened at 9600 Bd 8N1 with DTR and RTS
// raised and its transmit queue kept full of "U" (a square wave that the
// receiver loops back into the timer line), delivering the ordered log of
// modem-line changes as 0xFF 0x03 MSR records (see modemline.h).
class ModemStatusPort {
public:
    enum class OpenResult {
        Opened,
        Busy,            // missing, in use or not a serial port
        CaptureFailed,   // opened, but the line changes cannot be captured
    };

    virtual ~ModemStatusPort() = default;
    // Lines by index: 0 CTS, 1 DSR, 2 DCD.
    virtual OpenResult open(const QString& device, int inputLine, int timerLine) = 0;
    virtual void close() = 0;
    // Set (manual reset) whenever the input line has changed.
    virtual ThreadEvent& inputChanged() = 0;
    // Every record captured since the last call; *newestAt (when given): when
    // the newest of them was captured, on the monotonic clock, if known.
    virtual QByteArray takeRecords(std::optional<TimeUs>* newestAt = nullptr) = 0;
};

// For tests: records are fed by hand.
class FakeModemStatusPort final : public ModemStatusPort {
public:
    OpenResult result = OpenResult::Opened;
    QString openedDevice;
    int opens = 0;
    bool isOpen = false;

    OpenResult open(const QString& device, int, int) override;
    void close() override;
    ThreadEvent& inputChanged() override { return changed_; }
    QByteArray takeRecords(std::optional<TimeUs>* newestAt = nullptr) override;
    // Appends records as if the input line changed, the newest captured at
    // capturedAt (unknown when absent).
    void feed(const QByteArray& records, std::optional<TimeUs> capturedAt = {});

private:
    ThreadEvent changed_{true};
    QByteArray records_;
    std::optional<TimeUs> newestAt_;
    mutable std::mutex lock_;
};

} // namespace vartemo
