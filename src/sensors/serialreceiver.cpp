#include "sensors/serialreceiver.h"

#include "core/textfile.h"
#include "engine/codelearner.h"
#include "engine/lapcomputation.h"
#include "engine/passingevent.h"
#include "engine/sensorhealth.h"
#include "platform/comportname.h"

#include <algorithm>

namespace vartemo {

namespace {

QSerialPort::StopBits StopBitsOf(const QString& text) {
    if (text == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    return text == QLatin1String("2") ? QSerialPort::TwoStop : QSerialPort::OneStop;
}

QSerialPort::Parity ParityOf(const QString& text) {
    if (text == QLatin1String("Odd"))
        return QSerialPort::OddParity;
    if (text == QLatin1String("Even"))
        return QSerialPort::EvenParity;
    if (text == QLatin1String("Mark"))
        return QSerialPort::MarkParity;
    if (text == QLatin1String("Space"))
        return QSerialPort::SpaceParity;
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl FlowOf(const QString& text) {
    if (text == QLatin1String("Hardware"))
        return QSerialPort::HardwareControl;
    if (text == QLatin1String("Software"))
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

} // namespace

SerialReceiver::SerialReceiver(LapComputation& laps, const ReceiverSettings& settings, QObject* parent)
    : QObject(parent), laps_(laps), settings_(settings) {
    port_.setObjectName(QStringLiteral("ComPort1"));
    burstEnd_.setSingleShot(true);
    burstEnd_.setTimerType(Qt::PreciseTimer);
    connect(&burstEnd_, &QTimer::timeout, this, [this] {
        const QByteArray burst = std::exchange(burst_, {});
        if (!burst.isEmpty())
            ComPort1RxChar(burst, burstStart_, std::exchange(burstCut_, false));
    });
    connect(&port_, &QSerialPort::readyRead, this, &SerialReceiver::readAvailable);
    linePoll_.setInterval(kLinePollMs);
    connect(&linePoll_, &QTimer::timeout, this, &SerialReceiver::pollLines);
}

SerialReceiver::~SerialReceiver() {
    close();
}

QString SerialReceiver::CodeText(const QByteArray& bytes) {
    QByteArray mapped = bytes;
    for (char& c : mapped) {
        const auto b = quint8(c);
        if (b <= 0x1F)
            c = char(b + 0x20);
        else if (b >= 0x80)
            c = char(b - 0x5F);
    }
    return textfile::decode(mapped);
}

int SerialReceiver::BurstPauseMs(int baudRate) {
    // Three characters of ten bits at the port's rate.
    const int threeChars = baudRate > 0 ? (30 * 1000 + baudRate - 1) / baudRate : 0;
    return std::max(kBurstPauseMs, threeChars);
}

void SerialReceiver::setRts(bool on) {
    if (port_.isOpen())
        port_.setRequestToSend(on);
}

void SerialReceiver::setDtr(bool on) {
    if (port_.isOpen())
        port_.setDataTerminalReady(on);
}

bool SerialReceiver::open(QString* error) {
    if (port_.isOpen())
        return true;
    const SerialPortSettings s = settings_.serialPort();
    port_.setPortName(ComPortDevicePath(s.port));
    if (!port_.open(QIODevice::ReadWrite)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(s.port, port_.errorString());
        return false;
    }
    const int baud = s.isCustomRate() ? s.customBaudRate : s.baudRate.toInt();
    port_.setBaudRate(baud);
    port_.setDataBits(QSerialPort::DataBits(std::clamp(s.dataBits.toInt(), 5, 8)));
    port_.setStopBits(StopBitsOf(s.stopBits));
    port_.setParity(ParityOf(s.parity));
    port_.setFlowControl(FlowOf(s.flowControl));
    burstEnd_.setInterval(BurstPauseMs(baud));
    burst_.clear();
    burstCut_ = false;
    ComPort1AfterOpen();
    lastLines_ = port_.pinoutSignals();
    port_.clearError(); // ports without modem lines (pseudo-terminals) cannot report them
    linePoll_.start();
    return true;
}

void SerialReceiver::close() {
    if (!port_.isOpen())
        return;
    linePoll_.stop();
    burstEnd_.stop();
    burst_.clear();
    ComPort1BeforeClose();
    port_.close();
}

void SerialReceiver::ComPort1AfterOpen() {
    port_.setRequestToSend(settings_.raiseRts());
    port_.setDataTerminalReady(settings_.raiseDtr());
    port_.clearError();
}

void SerialReceiver::ComPort1BeforeClose() {
    port_.setRequestToSend(false);
    port_.setDataTerminalReady(false);
    port_.clearError();
}

void SerialReceiver::readAvailable() {
    // A receiver that never pauses would grow one code without end; the
    // matching uses at most 255 characters anyway.
    // The passing is the burst's first byte: the rest only names the kart.
    if (burst_.isEmpty())
        burstStart_ = laps_.clock().nowUs();
    burst_ += port_.readAll();
    if (burst_.size() > PassingEvent::kMaxLength) {
        burst_.truncate(PassingEvent::kMaxLength);
        burstCut_ = true;
    }
    burstEnd_.start();
}

void SerialReceiver::pollLines() {
    const auto lines = port_.pinoutSignals();
    if (port_.error() != QSerialPort::NoError) {
        port_.clearError();
        return;
    }
    const auto changed = lines ^ lastLines_;
    lastLines_ = lines;
    if (changed & QSerialPort::ClearToSendSignal)
        ComPort1CTSChange(lines & QSerialPort::ClearToSendSignal);
    if (changed & QSerialPort::DataSetReadySignal)
        ComPort1DSRChange(lines & QSerialPort::DataSetReadySignal);
}

void SerialReceiver::ComPort1RxChar(const QByteArray& burst, std::optional<TimeUs> at, bool cut) {
    const PassingEvent event(CodeText(burst), {}, at);
    const TimeUs heardAt = at.value_or(laps_.clock().nowUs());
    emit codeReceived(event.code);
    if (laps_.learnSlot() != kLearnNone) {
        if (laps_.learner())
            laps_.learner()->showTestCode(event.code);
        laps_.LearnCode(event.code);
        if (health_)
            health_->heard(SensorHealth::serial(), heardAt);
        return;
    }
    const CodeMatch match = laps_.MatchCode(event);
    if (!health_)
        return;
    if (cut)
        health_->rejected(SensorHealth::serial(), Rejection::FailedCheck, heardAt);
    else if (match == CodeMatch::NoKart)
        health_->unknownCode(SensorHealth::serial(), event.code, heardAt);
    else
        health_->passing(SensorHealth::serial(), heardAt);
}

} // namespace vartemo

#include "moc_serialreceiver.cpp"
