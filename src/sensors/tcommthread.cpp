#include "sensors/tcommthread.h"

#include "platform/comportname.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "platform/threadpriority.h"
#include "sensors/prioritylevel.h"

#include <chrono>
#include <cstring>

namespace vartemo {

namespace {

constexpr int kIdleDrainMs = 900;
constexpr int kSettleMs = 13;

// A binary value is applied only when it fits the field, like a read into a
// buffer of the field's size; a shorter one fills the low bytes.
template <typename T>
void ReadBinary(const RegistryStore& registry, const QString& key, const QString& name, T& field) {
    const auto value = registry.readBinary(key, name);
    if (!value || value->size() > qsizetype(sizeof(T)))
        return;
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &field, sizeof(T));
    std::memcpy(bytes, value->constData(), size_t(value->size()));
    std::memcpy(&field, bytes, sizeof(T));
}

template <typename T>
QByteArray Binary(T value) {
    // Little-endian, as the registry stores them.
    QByteArray bytes(sizeof(T), '\0');
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[qsizetype(i)] = char((quint64(value) >> (8 * i)) & 0xFF);
    return bytes;
}

} // namespace

TCommThread::TCommThread(RegistryStore& registry, std::unique_ptr<ModemStatusPort> port, Environment env)
    : registry_(registry), port_(std::move(port)), env_(std::move(env)) {
    decoder_.post = [this](quint32 code, std::optional<TimeUs> frameStart) {
        Posting = true;
        {
            std::lock_guard guard(codeLock_);
            lastCode_ = decoder_.LastCode;
        }
        if (env_.postIrCode)
            env_.postIrCode(code, frameStart);
        Posting = false;
    };
    decoder_.rejectedFrame = [this] { ++badFrames_; };
}

TCommThread::~TCommThread() {
    // The owner frees only after a successful Shutdown; this is the last guard
    // against a running thread touching a freed object.
    terminate_.set();
    if (thread_.joinable())
        thread_.join();
}

QString TCommThread::registryKey() const {
    return QStringLiteral("Software\\vartemo_kestral\\ir\\") + settingsSubkey();
}

void TCommThread::LoadSettings() {
    const QString key = registryKey();
    // "ComName" is read into 11 bytes: at most 10 characters and the zero.
    if (const auto name = registry_.readString(key, QStringLiteral("ComName")); name && name->size() <= 10)
        ComName = *name;
    ReadBinary(registry_, key, QStringLiteral("InputSignal"), InputSignal);
    ReadBinary(registry_, key, QStringLiteral("TimerSignal"), TimerSignal);
    ReadBinary(registry_, key, QStringLiteral("CommandOrder"), CommandOrder);
    ReadBinary(registry_, key, QStringLiteral("BitMask"), BitMask);
    if (BitMask < 0)
        BitMask = IrDecoder::kDefaultBitMask;
    ReadBinary(registry_, key, QStringLiteral("PriorityLevel"), PriorityLevel);
}

void TCommThread::SaveSettings() const {
    const QString key = registryKey();
    registry_.writeString(key, QStringLiteral("ComName"), ComName);
    registry_.writeBinary(key, QStringLiteral("InputSignal"), Binary(InputSignal));
    registry_.writeBinary(key, QStringLiteral("TimerSignal"), Binary(TimerSignal));
    registry_.writeBinary(key, QStringLiteral("CommandOrder"), Binary(CommandOrder));
    registry_.writeBinary(key, QStringLiteral("BitMask"), Binary(BitMask));
    registry_.writeBinary(key, QStringLiteral("PriorityLevel"), Binary(PriorityLevel));
}

QString TCommThread::LastCode() const {
    std::lock_guard guard(codeLock_);
    return lastCode_;
}

void TCommThread::resume() {
    if (!thread_.joinable() && !terminated_)
        thread_ = std::thread([this] { Execute(); });
}

bool TCommThread::OpenPort() {
    ack_.reset();
    openRequest_.set();
    resume();
    return WaitAck();
}

bool TCommThread::ClosePort() {
    ack_.reset();
    closeRequest_.set();
    resume();
    return !WaitAck();
}

bool TCommThread::WaitAck() {
    // An ended thread acknowledges nothing: no reason to wait for it.
    if (!Posting)
        ThreadEvent::waitAny({&ack_, &finished_}, kAckTimeoutMs);
    ack_.reset();
    return PortOpen;
}

bool TCommThread::Shutdown() {
    resume();
    terminate_.set();
    if (Posting)
        return false;
    if (!thread_.joinable())
        return true;
    if (!finished_.wait(kAckTimeoutMs))
        return false;
    thread_.join();
    return true;
}

void TCommThread::Execute() {
    for (;;) {
        PortOpen = false;
        const int request = ThreadEvent::waitAny({&terminate_, &openRequest_, &closeRequest_},
                                                 ThreadEvent::kInfinite);
        if (request == 0) {
            terminated_ = true;
            break;
        }
        if (request == 2) {
            ack_.set();
            continue;
        }
        ReadLoop();
        if (terminated_)
            break;
    }
    finished_.set();
}

void TCommThread::reportError(const QString& text) {
    PortOpen = false;
    if (env_.showError)
        env_.showError(text, ComName);
    ack_.set();
}

void TCommThread::ReadLoop() {
    decoder_.InputSignal = InputSignal;
    decoder_.TimerSignal = TimerSignal;
    decoder_.CommandOrder = CommandOrder;
    decoder_.BitMask = BitMask;
    decoder_.LogToFile = LogToFile;
    decoder_.logPath = env_.logPath;
    decoder_.LastCode = LastCode();

    switch (port_->open(ComPortDevicePath(ComName), InputSignal, TimerSignal)) {
    case ModemStatusPort::OpenResult::Busy:
        reportError(QStringLiteral("COM port je obsazen"));
        return;
    case ModemStatusPort::OpenResult::CaptureFailed:
        port_->close();
        reportError(QStringLiteral("Chyba COM portu"));
        return;
    case ModemStatusPort::OpenResult::Opened:
        break;
    }
    // Changes from before the opening are stale.
    port_->takeRecords();
    port_->inputChanged().reset();

    PortOpen = true;
    ack_.set();
    decoder_.ResetFrameCounter();
    const PriorityChoice priority = PriorityForLevel(PriorityLevel);
    const bool realtime = priority.realtimeProcess && RaiseToRealtime();
    if (!realtime)
        ApplyThreadPriority(priority.threadPriority);

    bool closing = false;
    while (!closing && !terminated_) {
        const int what = ThreadEvent::waitAny(
            {&terminate_, &openRequest_, &closeRequest_, &port_->inputChanged()}, kIdleDrainMs);
        switch (what) {
        case 0:
            terminated_ = true;
            break;
        case 1:
            PortOpen = true;
            ack_.set();
            break;
        case 2:
            PortOpen = false;
            closing = true;
            break;
        case 3:
            // The frame is over when the line has been quiet for 13 ms (or
            // the owner wants the port back).
            do {
                port_->inputChanged().reset();
                std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
            } while (port_->inputChanged().isSet() && !terminate_.isSet() && !closeRequest_.isSet());
            {
                std::optional<TimeUs> newestAt;
                const QByteArray records = port_->takeRecords(&newestAt);
                if (decoder_.ProcessRead(records, newestAt))
                    ++framesSeen_;
            }
            break;
        default:
            port_->takeRecords(); // idle: nothing but timer records
            break;
        }
    }
    port_->close();
    if (closing)
        ack_.set();
    RestoreNormalScheduling();
}

} // namespace vartemo
