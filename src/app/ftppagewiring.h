#pragma once

#include "publishing/ftpclient.h"
#include "publishing/ftppublishing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace vartemo {

class Settings;
class TNastavDlg;

// The page "Ftp klient " of the settings dialog: "&Pošli data" with its
// progress, byte count and connection state, " &Zrušit    ", the file
// choosers, the exclusive proxy boxes, OK's abort, and the sending at the
// program's end.
class FtpPageWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        TNastavDlg& dialog;
        // Slot 5: the men's (women false) or women's best-twenty table saved
        // as a JPEG picture of the quality; false when no picture was written.
        std::function<bool(bool women, const QString& path, int quality)> saveTablePicture;
        // The "..." buttons: the file the operator picks, starting at the text; empty: none.
        std::function<QString(const QString& start)> chooseFile;
        FtpTimeouts timeouts = {};
    };
    explicit FtpPageWiring(Parts parts);
    ~FtpPageWiring() override;

    // "&Pošli data"; limitMs 0: no limit of the run as a whole.
    void btnPosliFtpClick(int limitMs = 0);
    // The program's end with "Při ukončení programu odeslat soubory": the
    // dialog shown, the checked slots sent within limitMs (" &Zrušit    "
    // ends it sooner), the dialog closed.
    void sendAtProgramEnd(int limitMs = kProgramEndLimitMs);
    static constexpr int kProgramEndLimitMs = 60000;

    FtpPublishing& publishing() { return publishing_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void updateSendButton();
    void setClosingEnabled(bool enabled);
    void showBytes(qint64 bytes, bool now);
    void onFinished();

    Parts parts_;
    FtpClient client_;
    FtpPublishing publishing_;
    QPushButton* send_ = nullptr;
    QPushButton* stop_ = nullptr;
    QWidget* progressPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* info_ = nullptr;
    QLabel* state_ = nullptr;
    QElapsedTimer sinceInfo_;
    bool waitCursor_ = false;
};

} // namespace vartemo
