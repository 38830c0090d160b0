#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace vartemo {

class LogBook;
class MainStatusBar;
class OperatorRoster;
class Settings;
class TDenikFrm;

// The log book window in the station: the operator names of vartemo.ini,
// the log book it shows, opened from the status bar's user panel (and from
// other windows through show()); logging in sets the current operator that
// the log lines and the status bar carry.
class LogBookWiring {
public:
    struct Parts {
        LogBook& book;
        Settings& settings;
        QWidget& mainWindow;
        MainStatusBar& statusBar;
        std::function<void(const QString& line)> addLogEntry;
    };
    // Start-up step 3 (progress 20): the window.
    explicit LogBookWiring(Parts parts);
    ~LogBookWiring();

    // Start-up step 15: the operator list.
    void LoadOperators();
    // Opens the window.
    void show();
    TDenikFrm& window() { return *window_; }

private:
    LogBook& book_;
    MainStatusBar& statusBar_;
    std::unique_ptr<OperatorRoster> roster_;
    TDenikFrm* window_ = nullptr;
};

} // namespace vartemo
