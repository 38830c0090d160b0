#include "publishing/curlftpsession.h"

#include "config/passwordcodec.h"

#include <QElapsedTimer>
#include <QIODevice>
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

struct SList {
    curl_slist* list = nullptr;
    SList() = default;
    SList(const SList&) = delete;
    SList& operator=(const SList&) = delete;
    ~SList() { curl_slist_free_all(list); }
    void add(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};


class CurlFtpSession final : public FtpSession {
public:
    CurlFtpSession(FtpTimeouts timeouts, FtpSessionHooks hooks) : timeouts_(timeouts), hooks_(std::move(hooks)) {
        InitCurlOnce();
        handle_ = curl_easy_init();
        multi_ = curl_multi_init();
    }

    ~CurlFtpSession() override {
        WipeBytes(password_);
        WipeBytes(proxyPassword_);
        // The cache's cleanup ends the control connection (QUIT).
        if (multi_)
            curl_multi_cleanup(multi_);
        if (handle_)
            curl_easy_cleanup(handle_);
    }

    bool open(const FtpEndpoint& endpoint, const QByteArray& server, QString* error) override;
    PutResult put(QIODevice& file, qint64 size, const QString& folder, const QString& temporary,
                  const QString& remoteName, qint64* sent, QString* error) override;

    void limitQuitWait(long seconds) override {
        curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
        // The cache closes its connections with the time-outs of the handle
        // added last: adding it once more hands the short one over.
        curl_multi_add_handle(multi_, handle_);
        curl_multi_remove_handle(multi_, handle_);
    }

private:
    // One request to its end. libcurl's own loop may sleep a whole second
    // before it opens a data connection; this one looks every few ms.
    CURLcode perform() {
        curl_multi_add_handle(multi_, handle_);
        int running = 1;
        while (running) {
            if (curl_multi_perform(multi_, &running) != CURLM_OK)
                break;
            if (running)
                curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
        }
        CURLcode result = CURLE_FAILED_INIT;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == handle_)
                result = message->data.result;
        curl_multi_remove_handle(multi_, handle_);
        return result;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        // Only what the server says is kept: the commands sent carry the passwords.
        if (type != CURLINFO_HEADER_IN)
            return 0;
        auto* s = static_cast<CurlFtpSession*>(self);
        const QString line = QString::fromLatin1(data, qsizetype(size)).trimmed();
        if (ReplyCode(line) >= 400)
            s->lastRefusal_ = line;
        return 0;
    }

    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
        auto* s = static_cast<CurlFtpSession*>(self);
        if (s->hooks_.aborted && s->hooks_.aborted())
            return 1;
        if (s->upload_ && sent != s->lastBytes_ &&
            (!s->sinceProgress_.isValid() || s->sinceProgress_.elapsed() >= kProgressEveryMs)) {
            s->lastBytes_ = sent;
            s->sinceProgress_.start();
            if (s->hooks_.progress)
                s->hooks_.progress(qint64(sent));
        }
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* self) {
        auto* s = static_cast<CurlFtpSession*>(self);
        const qint64 got = s->upload_->read(buffer, qint64(size * count));
        return got < 0 ? CURL_READFUNC_ABORT : size_t(got);
    }

    // The failure's text: the server's refusal, else libcurl's words.
    QString failure(CURLcode code) const {
        if (!lastRefusal_.isEmpty())
            return lastRefusal_;
        const QString text = QString::fromUtf8(errorText_).trimmed();
        return text.isEmpty() ? QString::fromUtf8(curl_easy_strerror(code)) : text;
    }

    const FtpTimeouts timeouts_;
    const FtpSessionHooks hooks_;
    CURL* handle_ = nullptr;
    // The session's connection lives in this handle's connection cache.
    CURLM* multi_ = nullptr;
    QByteArray base_; // "ftp://host:port"
    QByteArray user_, password_, proxy_, proxyUser_, proxyPassword_;
    char errorText_[CURL_ERROR_SIZE] = {};
    QString lastRefusal_;
    QIODevice* upload_ = nullptr;
    QElapsedTimer sinceProgress_;
    qint64 lastBytes_ = -1;
};

bool CurlFtpSession::open(const FtpEndpoint& endpoint, const QByteArray& server, QString* error) {
    if (!handle_ || !multi_) {
        *error = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        return false;
    }
    const bool gateway = endpoint.proxy == FtpEndpoint::Proxy::FtpGateway;
    base_ = server;
    CURL* h = handle_;
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText_);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, long(timeouts_.connectSeconds));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(timeouts_.responseSeconds));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(timeouts_.responseSeconds));
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &CurlFtpSession::debug);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlFtpSession::progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, &CurlFtpSession::read);
    curl_easy_setopt(h, CURLOPT_READDATA, this);
    // Passwords go in as options: a URL may end up in a message.
    user_ = (gateway ? endpoint.proxyUser : endpoint.user).toUtf8();
    password_ = (gateway ? endpoint.proxyPassword : endpoint.password).toUtf8();
    curl_easy_setopt(h, CURLOPT_USERNAME, user_.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password_.constData());
    if (endpoint.proxy == FtpEndpoint::Proxy::Http) {
        const HostAndPort proxy = SplitHostPort(endpoint.proxyHost, kHttpProxyDefaultPort);
        proxy_ = proxy.name.toUtf8();
        long port = proxy.port;
        if (!endpoint.proxyPort.trimmed().isEmpty())
            port = SplitHostPort(QStringLiteral("x:") + endpoint.proxyPort.trimmed()).port;
        proxyUser_ = endpoint.proxyUser.toUtf8();
        proxyPassword_ = endpoint.proxyPassword.toUtf8();
        curl_easy_setopt(h, CURLOPT_PROXY, proxy_.constData());
        curl_easy_setopt(h, CURLOPT_PROXYPORT, port);
        curl_easy_setopt(h, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
        // Untunnelled, libcurl would turn the FTP upload into HTTP requests.
        curl_easy_setopt(h, CURLOPT_HTTPPROXYTUNNEL, 1L);
        if (!proxyUser_.isEmpty()) {
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, proxyUser_.constData());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, proxyPassword_.constData());
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
    const QByteArray target_url = base_ + '/';
    curl_easy_setopt(h, CURLOPT_URL, target_url.constData());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    const CURLcode code = perform();
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    if (code == CURLE_OK)
        return true;
    *error = failure(code);
    return false;
}

FtpSession::PutResult CurlFtpSession::put(QIODevice& file, qint64 size, const QString& folder,
                                          const QString& temporary, const QString& remoteName, qint64* sent,
                                          QString* error) {
    lastRefusal_.clear();
    errorText_[0] = '\0';
    upload_ = &file;
    lastBytes_ = -1;
    sinceProgress_.invalidate();
    CURL* h = handle_;
    const QByteArray url = base_ + EncodedPath(folder, temporary);
    SList rename;
    rename.add("RNFR " + temporary.toUtf8());
    rename.add("RNTO " + remoteName.toUtf8());
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(size));
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, rename.list);
    const CURLcode code = perform();
    curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
    upload_ = nullptr;
    curl_off_t uploaded = 0;
    curl_easy_getinfo(h, CURLINFO_SIZE_UPLOAD_T, &uploaded);
    *sent = uploaded;
    if (code == CURLE_OK)
        return PutResult::Sent;
    *error = failure(code);
    return LosesConnection(code) ? PutResult::ConnectionLost : PutResult::Refused;
}

} // namespace

std::unique_ptr<FtpSession> MakeCurlFtpSession(FtpTimeouts timeouts, FtpSessionHooks hooks) {
    return std::make_unique<CurlFtpSession>(timeouts, std::move(hooks));
}

} // namespace vartemo
