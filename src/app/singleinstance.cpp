#include "app/singleinstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace vartemo {

const QString SingleInstance::kName = QStringLiteral("vartemokestral");
const QString SingleInstance::kLockFileName = QStringLiteral("Dokončení.lock");

namespace {
constexpr qint64 kMaxRequestBytes = 64;
// A tool's question and the two answers; the restore request is the name.
const QByteArray kRideQuestion = QByteArrayLiteral("ride?\n");
const QByteArray kRideAnswer = QByteArrayLiteral("ride\n");
const QByteArray kIdleAnswer = QByteArrayLiteral("idle\n");
} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), lock_(QDir(folder_).filePath(kLockFileName)) {
    // Only this user may talk to the running station.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

bool SingleInstance::claim() {
    QDir().mkpath(folder_);
    // A lock left by a killed station is stale (its process is gone) and is taken over.
    if (!lock_.tryLock(0) && lock_.error() == QLockFile::LockFailedError) {
        sendRestoreRequest();
        return false;
    }
    // A lock that cannot be made at all (folder not writable) must not keep
    // the station from starting: it runs unguarded then.
    const QString socketPath = QDir(folder_).filePath(kName);
    QLocalServer::removeServer(socketPath);
    // Without the socket the station still runs; it only cannot be raised.
    server_.listen(socketPath);
    return true;
}

bool SingleInstance::sendRestoreRequest() const {
    const QString socketPath = QDir(folder_).filePath(kName);
    // The first station may hold the lock and not listen yet: a few tries.
    for (int attempt = 0; attempt < 10; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(200)) {
            socket.write(kName.toLatin1() + '\n');
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

bool SingleInstance::askRideBeingTimed(const QString& folder, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QDir(folder).filePath(kName));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRideQuestion);
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < kMaxRequestBytes && socket.waitForReadyRead(timeoutMs))
        answer += socket.read(kMaxRequestBytes);
    return answer == kRideAnswer;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray request = socket->read(kMaxRequestBytes);
            if (request.startsWith(kName.toLatin1())) {
                emit restoreRequested();
            } else if (request == kRideQuestion) {
                socket->write(rideBeingTimed_ && rideBeingTimed_() ? kRideAnswer : kIdleAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

} // namespace vartemo

#include "moc_singleinstance.cpp"
