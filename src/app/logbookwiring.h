#pragma once

#include <QObject>
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
    // Start-up step 3 (progress 20); the window is made when first opened.
    explicit LogBookWiring(Parts parts);
    ~LogBookWiring();

    // Start-up step 15: the operator list (a window made later reads it then).
    void LoadOperators();
    // Opens the window.
    void show();
    TDenikFrm& window();

private:
    LogBook& book_;
    QWidget& mainWindow_;
    MainStatusBar& statusBar_;
    std::unique_ptr<OperatorRoster> roster_;
    TDenikFrm* window_ = nullptr; // the main window's child
    QObject alive_; // ends the status bar's connection with the wiring
};

} // namespace vartemo
