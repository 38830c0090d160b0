#include "spectators/liveresultsserver.h"

#include "core/moduleloader.h"
#include "spectators/liveresultshttp.h"

#include <QFile>

namespace vartemo {

namespace {

QByteArray readResource(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The server of the page's module, loaded at the first start.
std::unique_ptr<LiveResultsHttp> HttpFromModule(const LiveSnapshotSlot& snapshots, const LiveResultsPage& page,
                                                LiveResultsServer::Notice notice, QString* error) {
    QString reason;
    auto http = modules::Make<LiveResultsHttp>(QString::fromLatin1(kLiveResultsModule), kLiveResultsModuleEntry,
                                               &reason, &snapshots, &page, std::move(notice));
    if (!http)
        *error = QStringLiteral("modul serveru stránky nelze použít: %1").arg(reason);
    return http;
}

} // namespace

LiveResultsPage LiveResultsPage::FromResources() {
    return {readResource(":/spectators/page/index.html"), readResource(":/spectators/page/app.js")};
}

LiveResultsServer::LiveResultsServer(const LiveSnapshotSlot& snapshots, LiveResultsPage page, HttpFactory http)
    : snapshots_(snapshots), page_(std::move(page)), makeHttp_(http ? std::move(http) : &HttpFromModule) {}

LiveResultsServer::~LiveResultsServer() = default;

bool LiveResultsServer::start(const QString& address, quint16 port, QString* error) {
    stop();
    QString reason;
    if (!http_) {
        // The notice is read on the server's thread, set before the start.
        http_ = makeHttp_(snapshots_, page_, [this](const QString& text) {
            if (notice_)
                notice_(text);
        }, &reason);
    }
    const bool started = http_ && http_->start(address, port, &reason);
    if (!started && error)
        *error = reason;
    return started;
}

void LiveResultsServer::stop() {
    if (http_)
        http_->stop();
}

bool LiveResultsServer::running() const {
    return http_ && http_->running();
}

quint16 LiveResultsServer::port() const {
    return http_ ? http_->port() : 0;
}

} // namespace vartemo
