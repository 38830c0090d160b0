#include "publishing/ftpclient.h"

#include "core/moduleloader.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace vartemo {

namespace {

// A QUIT that the server does not answer holds the session's end no longer than this.
constexpr long kQuitReplySeconds = 3;

bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// The session of the FTP module, loaded at the first sending.
std::unique_ptr<FtpSession> SessionFromModule(FtpTimeouts timeouts, FtpSessionHooks hooks, QString* error) {
    QString reason;
    auto session = modules::Make<FtpSession>(QString::fromLatin1(kFtpModule), kFtpModuleEntry, &reason, timeouts,
                                             std::move(hooks));
    if (!session)
        *error = QStringLiteral("Modul pro FTP nelze použít: %1").arg(reason);
    return session;
}

} // namespace

FtpClient::FtpClient(FtpTimeouts timeouts, QObject* parent, SessionFactory sessions)
    : QObject(parent), timeouts_(timeouts), sessions_(sessions ? std::move(sessions) : &SessionFromModule) {
    qRegisterMetaType<FtpReply>();
    qRegisterMetaType<FtpState>();
    worker_ = std::thread([this] { run(); });
}

FtpClient::~FtpClient() {
    Abort();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

QString FtpClient::TemporaryName(const QString& remoteName) {
    return remoteName + QStringLiteral(".part");
}

void FtpClient::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_all();
}

void FtpClient::run() {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                break;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
    session_.reset();
}

void FtpClient::Connect(const FtpEndpoint& endpoint) {
    post([this, endpoint] { connectNow(endpoint); });
}

void FtpClient::Put(const QString& folder, const QString& localFile, const QString& remoteName) {
    post([this, folder, localFile, remoteName] { putNow(folder, localFile, remoteName); });
}

void FtpClient::Quit() {
    post([this] { quitNow(true); });
}

void FtpClient::Abort() {
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        abort_ = true;
        queue_.push_back([this] {
            abort_ = false;
            quitNow(false);
        });
    }
    wake_.notify_all();
}

void FtpClient::report(FtpReply reply) {
    QMetaObject::invokeMethod(this, [this, reply] { emit requestDone(reply); }, Qt::QueuedConnection);
}

void FtpClient::setState(FtpState state) {
    QMetaObject::invokeMethod(this, [this, state] { emit stateChanged(state); }, Qt::QueuedConnection);
}

void FtpClient::quitNow(bool tellServer) {
    if (!session_)
        return;
    // Sent as the session ends; a server that does not answer it is left soon.
    session_->limitQuitWait(tellServer ? std::min<long>(kQuitReplySeconds, timeouts_.responseSeconds) : 1L);
    session_.reset();
    const bool wasConnected = connected_.exchange(false);
    setState(FtpState::Ready);
    if (wasConnected)
        QMetaObject::invokeMethod(this, [this] { emit sessionClosed(); }, Qt::QueuedConnection);
}

void FtpClient::connectNow(const FtpEndpoint& endpoint) {
    quitNow(true);
    FtpReply reply{FtpRequest::Connect, false, {}, 0};
    const bool gateway = endpoint.proxy == FtpEndpoint::Proxy::FtpGateway;
    HostAndPort target = SplitHostPort(endpoint.host);
    if (gateway) {
        target = SplitHostPort(endpoint.proxyHost);
        if (!endpoint.proxyPort.trimmed().isEmpty())
            target.port = SplitHostPort(QStringLiteral("x:") + endpoint.proxyPort.trimmed()).port;
    }
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setHost(target.name);
    url.setPort(target.port);
    if (target.name.isEmpty() || !url.isValid() || target.port == 0 || HasControlCharacter(target.name)) {
        reply.error = QStringLiteral("Neplatná adresa serveru \"%1\"").arg(gateway ? endpoint.proxyHost : endpoint.host);
        report(reply);
        return;
    }
    for (const QString& text : {endpoint.user, endpoint.password, endpoint.host}) {
        if (HasControlCharacter(text)) {
            reply.error = QStringLiteral("Jméno, heslo nebo hostitel obsahuje řídicí znak");
            report(reply);
            return;
        }
    }

    std::unique_ptr<FtpSession> session = sessions_(timeouts_, hooks(), &reply.error);
    if (!session) {
        report(reply);
        return;
    }
    setState(FtpState::Connecting);
    if (session->open(endpoint, url.toEncoded(QUrl::RemovePath), &reply.error)) {
        session_ = std::move(session);
        connected_ = true;
        setState(FtpState::Connected);
        reply.ok = true;
    } else {
        if (abort_)
            reply.error = QStringLiteral("Přerušeno");
        session.reset();
        setState(FtpState::Ready);
    }
    report(reply);
}

void FtpClient::putNow(const QString& folder, const QString& localFile, const QString& remoteName) {
    FtpReply reply{FtpRequest::Put, false, {}, 0};
    if (!session_) {
        reply.error = QStringLiteral("Spojení se serverem není otevřeno");
        report(reply);
        return;
    }
    // A line break in a name would end the command and start another.
    if (HasControlCharacter(folder) || HasControlCharacter(remoteName) || remoteName.isEmpty()) {
        reply.error = QStringLiteral("Neplatné jméno nebo složka na serveru: \"%1\"")
                          .arg(QString(folder + u'/' + remoteName).replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")), QStringLiteral("?")));
        report(reply);
        return;
    }
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        reply.error = QStringLiteral("Soubor %1 nelze otevřít").arg(localFile);
        report(reply);
        return;
    }
    qint64 sent = 0;
    const FtpSession::PutResult result =
        session_->put(file, file.size(), folder, TemporaryName(remoteName), remoteName, &sent, &reply.error);
    reply.bytes = sent;
    QMetaObject::invokeMethod(this, [this, sent] { emit progress(sent); }, Qt::QueuedConnection);
    reply.ok = result == FtpSession::PutResult::Sent;
    if (!reply.ok) {
        if (abort_)
            reply.error = QStringLiteral("Přerušeno");
        if (result == FtpSession::PutResult::ConnectionLost)
            quitNow(false);
    }
    report(reply);
}

FtpSessionHooks FtpClient::hooks() {
    return {[this] { return abort_.load(); },
            [this](qint64 bytes) {
                QMetaObject::invokeMethod(this, [this, bytes] { emit progress(bytes); }, Qt::QueuedConnection);
            }};
}

} // namespace vartemo

#include "moc_ftpclient.cpp"
