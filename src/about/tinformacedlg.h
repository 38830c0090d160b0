#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace vartemo {

// "Informace": the change history of the program, read from Historie.txt.
class TInformaceDlg : public QDialog {
    Q_OBJECT
public:
    explicit TInformaceDlg(QWidget* parent = nullptr);

    // The history file into the memo; a missing or unreadable file leaves it
    // empty without a message.
    void LoadHistory(const QString& path);
    QString text() const;

private:
    QPlainTextEdit* memo_ = nullptr;
};

} // namespace vartemo
