#include "app/liveresultswiring.h"

#include "config/settings.h"
#include "engine/racecontrol.h"
#include "spectators/liveresults.h"
#include "spectators/liveresultsserver.h"
#include "spectators/pagecode.h"
#include "spectators/ttv_out_frm.h"

#include <QNetworkInterface>

namespace vartemo {

QString PageUrl(const QString& boundAddress, quint16 port) {
    QString host = boundAddress.trimmed();
    if (host.isEmpty() || host == QLatin1String("0.0.0.0")) {
        host.clear();
        for (const QHostAddress& a : QNetworkInterface::allAddresses())
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
                host = a.toString();
                break;
            }
    }
    if (host.isEmpty())
        return {};
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

LiveResultsWiring::LiveResultsWiring(Settings& settings, RaceBoard& board, RaceControl& race, TTV_Out_Frm* tv,
                                     std::function<void(const QString&)> showError)
    : settings_(settings), tv_(tv), showError_(std::move(showError)),
      live_(std::make_unique<LiveResults>(board, race)),
      server_(std::make_unique<LiveResultsServer>(live_->published(), LiveResultsPage::FromResources())) {
    applyLater_.setSingleShot(true);
    applyLater_.setInterval(0);
    QObject::connect(&applyLater_, &QTimer::timeout, &applyLater_, [this] { apply(); });
    QObject::connect(&settings_, &Settings::changed, &applyLater_, [this](SettingId id) {
        if (id == SettingId::cbWebVysledky || id == SettingId::SpinWebPort || id == SettingId::EdWebAdresa)
            applyLater_.start();
    });
}

LiveResultsWiring::~LiveResultsWiring() {
    // Clients or not, the server is gone before the snapshots it answers from.
    server_.reset();
}

void LiveResultsWiring::setBestTables(BestTablesSource source) {
    live_->setBestTables(std::move(source));
}

void LiveResultsWiring::setNotice(std::function<void(const QString&)> notice) {
    // The server tells on its own thread; the notice runs on this one.
    server_->setNotice([receiver = &applyLater_, notice = std::move(notice)](const QString& text) {
        QMetaObject::invokeMethod(receiver, [notice, text] { notice(text); }, Qt::QueuedConnection);
    });
}

void LiveResultsWiring::BestTablesChanged() {
    live_->BestTablesChanged();
}

quint16 LiveResultsWiring::servedPort() const {
    return server_->port();
}

void LiveResultsWiring::apply() {
    const bool on = settings_.boolean(SettingId::cbWebVysledky);
    const auto port = static_cast<quint16>(settings_.integer(SettingId::SpinWebPort));
    const QString address = settings_.text(SettingId::EdWebAdresa).trimmed();
    if (on && server_->running() && server_->port() == port && servedAddress_ == address)
        return;
    server_->stop();
    QString error;
    const bool serving = on && server_->start(address, port, &error);
    servedAddress_ = serving ? address : QString();
    live_->setPublishing(serving);
    if (on && !serving && showError_)
        showError_(QStringLiteral("Webové výsledky nelze spustit na portu %1: %2").arg(port).arg(error));
    if (tv_) {
        const QString url = serving ? PageUrl(address, port) : QString();
        tv_->showPageCode(url.isEmpty() ? QImage() : PageCode(url));
    }
}

} // namespace vartemo
