#pragma once

#include "engine/lapfiles.h"
#include "engine/raceboard.h"

#include <QObject>

class QWidget;
#include <functional>
#include <optional>

namespace vartemo {

class TForm1;

// The main window's file dialogs: save or open in folder, starting with the
// filter's entry filterIndex and the proposed name; a typed name gets the
// selected entry's extension. nullopt when cancelled.
struct FileDialogRequest {
    bool save = true;
    QString folder;
    QString filter = lapfiles::kDialogFilter; // caption|pattern pairs
    int filterIndex = 0;
    QString name;
};
std::optional<QString> ShowFileDialog(QWidget* parent, const FileDialogRequest& request);

// "Ulož časy" and "Načti časy" under the lists and files dropped on the
// lists of the main window.
class LapFileCommands : public QObject {
    Q_OBJECT
public:
    // Asks for a file; nullopt = cancelled. folder is where the dialog opens,
    // filterIndex the entry of lapfiles::kDialogFilter it starts with. The
    // default shows the file dialogs; tests replace it.
    using FilePrompt = std::function<std::optional<QString>(bool save, const QString& folder,
                                                            int filterIndex)>;

    LapFileCommands(TForm1& window, RaceBoard& board, QString resultsFolder);

    void setFilePrompt(FilePrompt prompt) { prompt_ = std::move(prompt); }
    void setErrorReporter(std::function<void(const QString&)> report) { report_ = std::move(report); }

    void Uloz1Click(int kart, BoardList list);
    void Nacti1Click(int kart, BoardList list);
    // A file dropped at pos (window coordinates): loaded into the list there
    // when the kind matches, else ignored.
    void dropFile(const QString& path, const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QString> showDialog(bool save, const QString& folder, int filterIndex);
    void load(const QString& path, int kart, BoardList list);

    TForm1& window_;
    RaceBoard& board_;
    QString resultsFolder_;
    FilePrompt prompt_;
    std::function<void(const QString&)> report_;
};

} // namespace vartemo
