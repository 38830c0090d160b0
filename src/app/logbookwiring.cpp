#include "app/logbookwiring.h"

#include "config/settings.h"
#include "engine/mainstatusbar.h"
#include "logbook/logbook.h"
#include "logbook/operatorroster.h"
#include "logbook/tdenikfrm.h"

namespace vartemo {

LogBookWiring::LogBookWiring(Parts parts)
    : book_(parts.book), mainWindow_(parts.mainWindow), statusBar_(parts.statusBar) {
    Settings& settings = parts.settings;
    roster_ = std::make_unique<OperatorRoster>(
        OperatorRoster::Store{
            .names = [&settings] { return settings.operators(); },
            .add = [&settings](const QString& name, QString* error) { return settings.addOperator(name, error); },
            .remove = [&settings](int row, QString* error) { return settings.removeOperator(row, error); }},
        std::move(parts.addLogEntry));
    QObject::connect(&statusBar_, &MainStatusBar::userPanelClicked, &alive_, [this] { show(); });
}

TDenikFrm& LogBookWiring::window() {
    if (window_)
        return *window_;
    window_ = new TDenikFrm(book_, *roster_, &mainWindow_);
    QObject::connect(window_, &TDenikFrm::loggedIn, window_, [this](const QString& name) {
        book_.setCurrentOperator(name);
        statusBar_.setUserName(name);
    });
    window_->LoadOperators();
    return *window_;
}

LogBookWiring::~LogBookWiring() = default;

void LogBookWiring::LoadOperators() {
    if (window_)
        window_->LoadOperators();
}

void LogBookWiring::show() {
    window().ShowModal();
}

} // namespace vartemo
