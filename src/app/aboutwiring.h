#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace vartemo {

class CommandButtons;
class SystemInfoGatherer;
class SystemInfoSource;
class TAboutBox;
class TInformaceDlg;
struct SystemFacts;
struct VersionLabels;

// The information window and the change history window in the station.
// The system facts are gathered on a worker thread: the window opens at once
// with the text it has and takes the fresh one when it comes.
class AboutWiring {
public:
    AboutWiring(std::shared_ptr<const SystemInfoSource> source, QString programFolder, QWidget& mainWindow);
    ~AboutWiring();

    // Start-up step 3 (progress 70): "Informace" with Historie.txt (the
    // shipped one is put into the program folder when it is missing).
    void createHistoryWindow();
    // Start-up step 3 (progress 75): the information window, opened by
    // "&O programu".
    void createAboutBox(CommandButtons& buttons);
    // Start-up step 16: the version labels and the system information text,
    // which is returned for the program log. Waits for the facts 2 s at most.
    QStringList setVersion(const VersionLabels& version);

    TAboutBox& aboutBox() { return *about_; }
    TInformaceDlg& historyWindow() { return *history_; }

private:
    void showSystemInfo(const QStringList& rows);
    QStringList rowsOf(const SystemFacts& facts) const;

    QString folder_;
    QWidget& mainWindow_;
    std::unique_ptr<SystemInfoGatherer> gatherer_;
    TAboutBox* about_ = nullptr;
    TInformaceDlg* history_ = nullptr;
};

} // namespace vartemo
