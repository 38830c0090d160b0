#pragma once

#include "backup/tbackupfile.h"

#include <QDialog>
#include <QMessageBox>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeView;

namespace vartemo {

// "Zálohování": backs the station's data files up into an archive and brings
// an archive back. The work runs on this thread chunk by chunk; between the
// chunks the window handles its events, so "Zavřít" can stop it.
class TZalohujFrm : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString& line)> addLogEntry = {};
        // Answered Yes after a restore: the program ends without writing
        // its data files over the restored ones.
        std::function<void()> endProgram = {};
        // Message boxes; tests answer them. Without these, real boxes open.
        std::function<void(QMessageBox::Icon icon, const QString& title, const QString& text)> message = {};
        // A question with Yes/No (or OK/Cancel) buttons: true for Yes (OK).
        std::function<bool(QMessageBox::Icon icon, const QString& title, const QString& text, bool okCancel)> ask = {};
        // Whether an archive goes to a removable medium, in parts, one disk
        // each; without this, the mount the path lies on tells.
        std::function<bool(const QString& archivePath)> onRemovableMedium = {};
    };

    TZalohujFrm(QString programFolder, Hooks hooks, QWidget* parent = nullptr);
    ~TZalohujFrm() override;

    TBackupFile& backupFile() { return backup_; }

    // The archive "Zálohovat !" writes, by the window's rules.
    QString ArchivePath() const;
    // The archive chosen in FileListBox1 (empty when none).
    QString SelectedArchive() const;
    // Points both folder trees (and the file lists) at a folder.
    void setBackupFolder(const QString& folder);
    void setRestoreFolder(const QString& folder);

    void CheckBoxClick();
    void ZalohovatBtnClick();
    void ObnovitBtnClick();
    void FileListBox1Click();
    void CloseClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* buildBackupTab();
    QWidget* buildRestoreTab();
    void Activate();
    void UpdateRestorePlace();
    void ShowProgress(const QString& fileName, int percent);
    void setWorking(bool working);
    void showMessage(QMessageBox::Icon icon, const QString& text, const QString& title = QString());
    bool askUser(QMessageBox::Icon icon, const QString& title, const QString& text, bool okCancel = false);
    // "Please insert disk N", OK or Cancel.
    bool askForDisk(int disk);
    QComboBox* makeDriveSelector(const char* name, QTreeView* tree);
    QTreeView* makeFolderTree(const char* name);
    // One tab's drive, folder tree and file list at a folder.
    void pointAt(const QString& folder, QComboBox* drive, QTreeView* tree, QListView* files,
                 QFileSystemModel* filesModel);

    QString programFolder_;
    Hooks hooks_;
    TBackupFile backup_;

    QTabWidget* PageControl1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    // " Zálohovat data "
    QCheckBox* CheckBox[4] = {};
    QGroupBox* rgCompressionLevel = nullptr;
    QButtonGroup* compressionLevels_ = nullptr;
    QGroupBox* rgBackupMode = nullptr;
    QButtonGroup* backupModes_ = nullptr;
    QCheckBox* CbSaveFileID = nullptr;
    QLineEdit* EdBackupTitle = nullptr;
    QListWidget* FileListBox = nullptr;
    QComboBox* DriveComboBox2 = nullptr;
    QTreeView* DirectoryListBox2 = nullptr;
    QListView* FileListBox2 = nullptr;
    QLineEdit* Novysoubor = nullptr;
    QPushButton* ZalohovatBtn = nullptr;
    QPushButton* BtnCancel = nullptr;
    // " Obnovit data "
    QComboBox* DriveComboBox1 = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QListView* FileListBox1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPlainTextEdit* MeFiles = nullptr;
    QGroupBox* rgRestoreMode = nullptr;
    QButtonGroup* restoreModes_ = nullptr;
    QRadioButton* rbOrigpath = nullptr;
    QRadioButton* rbOtherPath = nullptr;
    QLineEdit* EdPath = nullptr;
    QCheckBox* CbFullPath = nullptr;
    QPushButton* ObnovitBtn = nullptr;
    QPushButton* Button6 = nullptr;

    QFileSystemModel* folders_ = nullptr;
    QFileSystemModel* backupFiles_ = nullptr;
    QFileSystemModel* archives_ = nullptr;
    QList<QWidget*> inputs_; // disabled while work runs
};

} // namespace vartemo
