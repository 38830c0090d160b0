#pragma once

#include <QDialog>
#include <QStringList>
#include <QUrl>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vartemo {

// The information window: name, version and build, the maker's and contact
// lines, and the computer's system information text in "Info". It fades in
// when opened and out when closed, on a timer, so the station goes on
// timing meanwhile.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // The result "&Zavřít" closes the window with.
    static constexpr int kAbort = 3;
    static const QString kContactAddress;

    explicit TAboutBox(QWidget* parent = nullptr);

    // Start-up: the caption text and "sestavení %d".
    void setVersion(const QString& productName, const QString& build);
    QString productName() const;
    QString buildText() const;
    // The rows of the system information text, shown in InfoPC.
    void setSystemInfo(const QStringList& rows);
    QStringList systemInfo() const;

    // The activation: opens at once with the text it holds (the fresh one
    // comes through setSystemInfo), focus on "&Zavřít", the fade in.
    void ShowModal();
    // "&Zavřít": the fade out, then the window closes with kAbort.
    void CloseFading();

    // How the contact line's address is opened; the desktop's handler by default.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    // The see-through level now, 0 (invisible) .. 255 (opaque).
    int level() const { return level_; }
    // The see-through levels the fades step through, 0..255.
    static QList<int> FadeInLevels();
    static QList<int> FadeOutLevels();

signals:
    void activated();            // every opening: the facts are to be gathered again
    void informationRequested(); // "&Informace"

public slots:
    // Escape closes as "&Zavřít" does.
    void reject() override { CloseFading(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fade(QList<int> levels, std::function<void()> then);
    void setLevel(int level);

    QLabel* productName_ = nullptr;
    QLabel* build_ = nullptr;
    QLabel* contact_ = nullptr;
    QPushButton* close_ = nullptr;
    QPlainTextEdit* info_ = nullptr;
    QTimer* fadeTimer_ = nullptr;
    QList<int> pendingLevels_;
    int level_ = 0;
    std::function<void()> afterFade_;
    UrlOpener openUrl_;
};

} // namespace vartemo
