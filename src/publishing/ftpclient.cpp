#include "publishing/ftpclient.h"

#include "config/passwordcodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <curl/curl.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vartemo {

namespace {

// libcurl's memory is overwritten when libcurl frees it: its copies of the
// passwords and the commands that carried them leave nothing behind.
void WipeAndFree(void* p) {
    if (!p)
        return;
    explicit_bzero(p, malloc_usable_size(p));
    std::free(p);
}

void* WipingRealloc(void* p, size_t size) {
    if (!p)
        return std::malloc(size);
    if (size == 0) {
        WipeAndFree(p);
        return nullptr;
    }
    void* moved = std::malloc(size);
    if (!moved)
        return nullptr;
    std::memcpy(moved, p, std::min(size, malloc_usable_size(p)));
    WipeAndFree(p);
    return moved;
}

char* WipingStrdup(const char* text) {
    const size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}

// libcurl's global state, made once before the first handle.
void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init_mem(CURL_GLOBAL_DEFAULT, &std::malloc, &WipeAndFree, &WipingRealloc, &WipingStrdup,
                             &std::calloc);
    });
}

// A QUIT that the server does not answer holds the session's end no longer than this.
constexpr long kQuitReplySeconds = 3;
constexpr qint64 kProgressEveryMs = 100;
constexpr int kHttpProxyDefaultPort = 8080;
constexpr int kPollMs = 10;

// The reply code of a line the server (or an HTTP proxy) sent, 0 if none.
int ReplyCode(const QString& line) {
    QString codeText = line.left(3);
    if (line.startsWith(QLatin1String("HTTP/")))
        codeText = line.section(u' ', 1, 1);
    bool ok = false;
    const int code = codeText.toInt(&ok);
    return ok ? code : 0;
}

// Failures after which the control connection is gone or in an unknown state.
bool LosesConnection(CURLcode code) {
    switch (code) {
    case CURLE_REMOTE_ACCESS_DENIED: // CWD refused
    case CURLE_UPLOAD_FAILED:        // STOR refused
    case CURLE_QUOTE_ERROR:          // rename refused
    case CURLE_PARTIAL_FILE:         // no 226 at the end of the transfer
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_READ_ERROR:           // the local file
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return false;
    default:
        return true;
    }
}

QByteArray EncodedPath(const QString& folder, const QString& name) {
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    // The URL's own first slash separates it from the host; a folder that
    // starts with "/" is absolute on the server, any other is relative to
    // the login folder.
    const QString full = path.isEmpty() ? name : path + u'/' + name;
    return '/' + QUrl::toPercentEncoding(full, "/");
}

bool HasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

struct SList {
    curl_slist* list = nullptr;
    SList() = default;
    SList(const SList&) = delete;
    SList& operator=(const SList&) = delete;
    ~SList() { curl_slist_free_all(list); }
    void add(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

} // namespace

struct FtpClient::Session {
    CURL* handle = nullptr;
    // The session's connection lives in this handle's connection cache.
    CURLM* multi = nullptr;
    QByteArray base; // "ftp://host:port"
    QByteArray user, password, proxy, proxyUser, proxyPassword;
    char errorText[CURL_ERROR_SIZE] = {};
    QString lastRefusal;
    QFile* upload = nullptr;
    FtpClient* client = nullptr;
    QElapsedTimer sinceProgress;
    qint64 lastBytes = -1;

    ~Session() {
        WipeBytes(password);
        WipeBytes(proxyPassword);
        // The cache's cleanup ends the control connection (QUIT).
        if (multi)
            curl_multi_cleanup(multi);
        if (handle)
            curl_easy_cleanup(handle);
    }

    // One request to its end. libcurl's own loop may sleep a whole second
    // before it opens a data connection; this one looks every few ms.
    CURLcode perform() {
        curl_multi_add_handle(multi, handle);
        int running = 1;
        while (running) {
            if (curl_multi_perform(multi, &running) != CURLM_OK)
                break;
            if (running)
                curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
        }
        CURLcode result = CURLE_FAILED_INIT;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == handle)
                result = message->data.result;
        curl_multi_remove_handle(multi, handle);
        return result;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        // Only what the server says is kept: the commands sent carry the passwords.
        if (type != CURLINFO_HEADER_IN)
            return 0;
        auto* s = static_cast<Session*>(self);
        const QString line = QString::fromLatin1(data, qsizetype(size)).trimmed();
        if (ReplyCode(line) >= 400)
            s->lastRefusal = line;
        return 0;
    }

    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
        auto* s = static_cast<Session*>(self);
        if (s->client->abort_)
            return 1;
        if (s->upload && sent != s->lastBytes &&
            (!s->sinceProgress.isValid() || s->sinceProgress.elapsed() >= kProgressEveryMs)) {
            s->lastBytes = sent;
            s->sinceProgress.start();
            const qint64 bytes = sent;
            FtpClient* client = s->client;
            QMetaObject::invokeMethod(client, [client, bytes] { emit client->progress(bytes); },
                                      Qt::QueuedConnection);
        }
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* self) {
        auto* s = static_cast<Session*>(self);
        const qint64 got = s->upload->read(buffer, qint64(size * count));
        return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
    }

    // The failure's text: the server's refusal, else libcurl's words.
    QString failure(CURLcode code) const {
        if (!lastRefusal.isEmpty())
            return lastRefusal;
        const QString text = QString::fromUtf8(errorText).trimmed();
        return text.isEmpty() ? QString::fromUtf8(curl_easy_strerror(code)) : text;
    }
};

FtpClient::FtpClient(FtpTimeouts timeouts, QObject* parent) : QObject(parent), timeouts_(timeouts) {
    qRegisterMetaType<FtpReply>();
    qRegisterMetaType<FtpState>();
    InitCurlOnce();
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
    delete session_;
    session_ = nullptr;
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
    if (session_->handle) {
        // Sent by the cleanup; a server that does not answer it is left soon.
        curl_easy_setopt(session_->handle, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                         tellServer ? std::min<long>(kQuitReplySeconds, timeouts_.responseSeconds) : 1L);
        // The cache closes its connections with the time-outs of the handle
        // added last: adding it once more hands the short one over.
        curl_multi_add_handle(session_->multi, session_->handle);
        curl_multi_remove_handle(session_->multi, session_->handle);
    }
    delete session_;
    session_ = nullptr;
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

    auto* s = new Session;
    session_ = s;
    s->client = this;
    s->handle = curl_easy_init();
    s->multi = curl_multi_init();
    s->base = url.toEncoded(QUrl::RemovePath);
    CURL* h = s->handle;
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, s->errorText);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, long(timeouts_.connectSeconds));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(timeouts_.responseSeconds));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(timeouts_.responseSeconds));
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &Session::debug);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, s);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Session::progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, s);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &Session::read);
    curl_easy_setopt(h, CURLOPT_READDATA, s);
    // Passwords go in as options: a URL may end up in a message.
    s->user = (gateway ? endpoint.proxyUser : endpoint.user).toUtf8();
    s->password = (gateway ? endpoint.proxyPassword : endpoint.password).toUtf8();
    curl_easy_setopt(h, CURLOPT_USERNAME, s->user.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, s->password.constData());
    if (endpoint.proxy == FtpEndpoint::Proxy::Http) {
        const HostAndPort proxy = SplitHostPort(endpoint.proxyHost, kHttpProxyDefaultPort);
        s->proxy = proxy.name.toUtf8();
        long port = proxy.port;
        if (!endpoint.proxyPort.trimmed().isEmpty())
            port = SplitHostPort(QStringLiteral("x:") + endpoint.proxyPort.trimmed()).port;
        s->proxyUser = endpoint.proxyUser.toUtf8();
        s->proxyPassword = endpoint.proxyPassword.toUtf8();
        curl_easy_setopt(h, CURLOPT_PROXY, s->proxy.constData());
        curl_easy_setopt(h, CURLOPT_PROXYPORT, port);
        curl_easy_setopt(h, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
        // Untunnelled, libcurl would turn the FTP upload into HTTP requests.
        curl_easy_setopt(h, CURLOPT_HTTPPROXYTUNNEL, 1L);
        if (!s->proxyUser.isEmpty()) {
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, s->proxyUser.constData());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, s->proxyPassword.constData());
        }
    } else {
        // Empty: proxy variables of the environment never divert the session.
        curl_easy_setopt(h, CURLOPT_PROXY, "");
    }

    SList quote;
    if (gateway) {
        // The gateway's login is done; now the real server and its user.
        quote.add("SITE " + endpoint.host.trimmed().toUtf8());
        quote.add("USER " + endpoint.user.toUtf8());
        QByteArray pass = "PASS " + endpoint.password.toUtf8();
        quote.add(pass); // libcurl keeps a copy of its own
        WipeBytes(pass);
        curl_easy_setopt(h, CURLOPT_QUOTE, quote.list);
    }
    const QByteArray target_url = s->base + '/';
    curl_easy_setopt(h, CURLOPT_URL, target_url.constData());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    setState(FtpState::Connecting);
    const CURLcode code = s->perform();
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    if (code == CURLE_OK) {
        connected_ = true;
        setState(FtpState::Connected);
        reply.ok = true;
    } else {
        reply.error = abort_ ? QStringLiteral("Přerušeno") : s->failure(code);
        delete session_;
        session_ = nullptr;
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
    Session* s = session_;
    s->lastRefusal.clear();
    s->errorText[0] = '\0';
    s->upload = &file;
    s->lastBytes = -1;
    s->sinceProgress.invalidate();
    CURL* h = s->handle;
    const QString temporary = TemporaryName(remoteName);
    const QByteArray url = s->base + EncodedPath(folder, temporary);
    SList rename;
    rename.add("RNFR " + temporary.toUtf8());
    rename.add("RNTO " + remoteName.toUtf8());
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, rename.list);
    const CURLcode code = s->perform();
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
    s->upload = nullptr;
    curl_off_t sent = 0;
    curl_easy_getinfo(h, CURLINFO_SIZE_UPLOAD_T, &sent);
    reply.bytes = sent;
    const qint64 bytes = sent;
    QMetaObject::invokeMethod(this, [this, bytes] { emit progress(bytes); }, Qt::QueuedConnection);
    reply.ok = code == CURLE_OK;
    if (!reply.ok) {
        reply.error = abort_ ? QStringLiteral("Přerušeno") : s->failure(code);
        if (LosesConnection(code))
            quitNow(false);
    }
    report(reply);
}

} // namespace vartemo
