#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace vartemo {

class TZalohujFrm;

// The backup window in the station: its archive attributes in the program
// folder, its log book lines, and the end of the program after a restore.
struct BackupWiring {
    QString programFolder;
    QWidget* mainWindow = nullptr;
    std::function<void(const QString& line)> addLogEntry;
    // Marks the run as ending after a restore (the closing then leaves the
    // restored data files alone); the main window is closed right after.
    std::function<void()> markEndingAfterRestore;
};

std::unique_ptr<TZalohujFrm> CreateBackupWindow(BackupWiring wiring);

} // namespace vartemo
