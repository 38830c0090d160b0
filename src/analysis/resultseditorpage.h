#pragma once

#include "analysis/resultsfileeditor.h"
#include "analysis/savefileprompt.h"

#include <QWidget>
#include <functional>
#include <optional>

class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;
class QStringListModel;
class QTreeView;

namespace vartemo {

// The settings' page "Editor výsledků ": the results folder as a tree, the
// selected file's lines in three columns with their menu, its name, size,
// line count and date, and "Ulož změny". Problems are told in message boxes;
// nothing escapes a handler.
class ResultsEditorPage : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        // An input box: caption, prompt, value; nullopt when cancelled.
        std::function<std::optional<QString>(const QString&, const QString&, const QString&)> input;
        SaveFilePrompt saveFile;
        std::function<QDateTime()> now;
        std::function<void(const QString&)> showMessage;
    };

    explicit ResultsEditorPage(QWidget* parent = nullptr);
    ~ResultsEditorPage() override;

    Hooks& hooks() { return hooks_; }
    ResultsFileEditor& editor() { return editor_; }

    // The dialog was activated: the tree rooted at the results folder.
    void activate(const QString& resultsFolder);
    // The tree's selection, as a click would make it.
    void selectPath(const QString& path);

    int selectedRow() const;
    void selectRow(int row);

    // The menus and the button.
    void Upravit1Click();
    void Vloitnov1Click();
    void Smazat1Click();
    void Uloitjako1Click();
    void SmazatSoubor1Click();
    void btnUlozEditClick();

private:
    void tell(const QString& message);
    void showEditor();
    void refreshTree(const QString& path);

    ResultsFileEditor editor_;
    Hooks hooks_;
    QString root_;
    QFileSystemModel* files_ = nullptr;
    QTreeView* tree_ = nullptr;
    QStringListModel* lines_ = nullptr;
    QListView* list_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* date_ = nullptr;
    bool selecting_ = false;
};

} // namespace vartemo
