#pragma once

#include "records/toptables.h"

#include <QDialog>
#include <array>
#include <functional>

class QMenu;
class QSpinBox;
class QTableWidget;

namespace vartemo {

class TUpravDlg;

// The best-twenty window: both tables side by side (men left, women right),
// the row operations in their pop-up menus, the tables saved as JPEG
// pictures, and the buttons for printing, FTP and closing. Shows the
// TopTables and forwards every change to them; whatever belongs to other
// windows (the printed sheet, the diploma dialog, the FTP settings) leaves
// through signals.
class TTopTen10Frm : public QDialog {
    Q_OBJECT
public:
    TTopTen10Frm(TopTables& tables, TUpravDlg& editDialog, QWidget* parent = nullptr);

    QTableWidget* list(TopTable which) const; // TopTenList, TopTenList1
    QSpinBox* quality(TopTable which) const;  // SpinKvalita1, SpinKvalita2
    QMenu* popup(TopTable which) const;       // TopDesetPopup, TopDesetPopup2

    // Opens the window modally without a loop of its own; when it is open
    // already its tables are only read again.
    void ShowModal();
    // Both tables from their files.
    void Reload();

    // The selected row's operations (nothing without a selection).
    void RenameSelected(TopTable which);
    void DeleteSelected(TopTable which);
    void MoveSelected(TopTable which);
    void DiplomaSelected(TopTable which);
    // "Ulož do souboru": asks for the file, then saves the picture.
    void SaveAsPicture(TopTable which);

    // The list as shown, as a progressive JPEG of the given quality (1..100),
    // written whole or not at all. false with *error when it failed.
    bool SaveListAsJpeg(TopTable which, const QString& fileName, int quality, QString* error = nullptr);

    // Chooses the picture's file; empty = cancelled. The default is the save
    // dialog on program folder + proposed name; tests put their own.
    using FileChooser = std::function<QString(const QString& proposedPath)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

signals:
    // "&Tisk": the best-twenty sheet.
    void printRequested();
    // "Tisk diplomu": the diploma dialog for the name; placement 0..4 is the
    // entry to choose, -1 keeps the last choice.
    void diplomaRequested(const QString& name, int placement);
    // "&Ftp": the settings dialog on its FTP page.
    void ftpRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Side {
        QTableWidget* list = nullptr;
        QSpinBox* quality = nullptr;
        QMenu* popup = nullptr;
    };
    Side& side(TopTable which) { return sides_[which == TopTable::Men ? 0 : 1]; }
    const Side& side(TopTable which) const { return sides_[which == TopTable::Men ? 0 : 1]; }
    void buildSide(TopTable which);
    void buildButtons();
    void showTable(TopTable which);
    int selectedRow(TopTable which) const;
    void applyRename();
    void report(const QStringList& messages);
    QString chooseFileDialog(const QString& proposedPath);

    TopTables& tables_;
    TUpravDlg& edit_;
    std::array<Side, 2> sides_;
    FileChooser chooseFile_;
    // The row the edit dialog was opened for.
    struct OpenRename {
        TopTable table = TopTable::Men;
        int index = -1;
        QString name;
        QString time;
    } rename_;
};

} // namespace vartemo
