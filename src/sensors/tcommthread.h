#pragma once

#include "core/threadevent.h"
#include "sensors/irdecoder.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vartemo {

class ModemStatusPort;
class RegistryStore;

// The thread that serves one infrared receiver: it opens the port on request,
// waits for changes of the receiver line, decodes each frame and posts the
// code (WM_IRCODE) to the main window. The main thread talks to it only
// through requests and acknowledgements, and writes the settings below only
// while the port is closed.
class TCommThread {
public:
    static constexpr int kAckTimeoutMs = 6000;

    // What the thread reaches outside itself.
    struct Environment {
        // Posts WM_IRCODE with the code and the time of the frame's first
        // edge (when known); must not wait for the main thread.
        std::function<void(quint32 code, std::optional<TimeUs> frameStart)> postIrCode;
        // The error boxes "COM port je obsazen" and "Chyba COM portu", with
        // the port name as caption; must not wait for the main thread.
        std::function<void(const QString& text, const QString& caption)> showError;
        QString logPath;   // "log.txt" in the program folder
    };

    TCommThread(RegistryStore& registry, std::unique_ptr<ModemStatusPort> port, Environment env);
    virtual ~TCommThread();
    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;

    // Settings.
    QString ComName;
    quint8 InputSignal = 1;
    quint8 TimerSignal = 2;
    qint32 CommandOrder = 0;
    qint32 BitMask = IrDecoder::kDefaultBitMask;
    quint8 PriorityLevel = 6;
    bool LogToFile = false;

    std::atomic<bool> PortOpen{false};
    std::atomic<bool> Posting{false};

    bool OpenPort();
    bool ClosePort();
    bool WaitAck();
    // Ends the thread: false when it is posting or does not end in 6000 ms;
    // free the object only after true.
    bool Shutdown();

    void LoadSettings();
    void SaveSettings() const;
    QString registryKey() const;

    QString LastCode() const;
    bool started() const { return thread_.joinable(); }

    // Frames the receiver saw since the program started, and those of them
    // that gave no code (too few edges, nothing to decode, too long): read
    // from any thread, for the receiver's health.
    qint64 FramesSeen() const { return framesSeen_; }
    qint64 BadFrames() const { return badFrames_; }

protected:
    // The registry subkey of this receiver's settings.
    virtual QString settingsSubkey() const { return QStringLiteral("nastaveni1"); }

private:
    void resume();
    void Execute();
    void ReadLoop();
    void reportError(const QString& text);

    RegistryStore& registry_;
    std::unique_ptr<ModemStatusPort> port_;
    Environment env_;
    IrDecoder decoder_;
    mutable std::mutex codeLock_;
    QString lastCode_;

    ThreadEvent terminate_{true};
    ThreadEvent openRequest_{false};
    ThreadEvent closeRequest_{false};
    ThreadEvent ack_{true};
    ThreadEvent finished_{true};
    std::atomic<bool> terminated_{false};
    std::atomic<qint64> framesSeen_{0};
    std::atomic<qint64> badFrames_{0};
    std::thread thread_;
};

// The second receiver: the same, with its own settings.
class TCommThread1 final : public TCommThread {
public:
    using TCommThread::TCommThread;

protected:
    QString settingsSubkey() const override { return QStringLiteral("nastaveni2"); }
};

} // namespace vartemo
