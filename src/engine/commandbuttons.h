#pragma once

#include <QList>
#include <QWidget>

class QMenu;
class QPushButton;
class QToolButton;

namespace vartemo {

// The main window's command buttons that open the other windows. Each click
// leaves through a signal; the station connects it to the window it opens.
class CommandButtons : public QWidget {
    Q_OBJECT
public:
    explicit CommandButtons(QWidget* parent = nullptr);

    QPushButton* button(const QString& name) const;
    QMenu* printMenu() const { return popupMenu5_; }

    // The buttons that are disabled while a ride is timed.
    void setRideRunning(bool running);

    // A button or print-menu item whose signal nobody receives opens a window
    // the station does not have yet: it is disabled with the hint
    // "Připravuje se" rather than left silently dead. Called once the
    // station's wiring is complete.
    void DisableUnconnected();
    static QString notReadyHint() { return QStringLiteral("Připravuje se"); }

    // Wide window: a block of two columns beside the clock. Narrow window:
    // one column at the right edge of the lists.
    void ApplyLayout(bool wide);

signals:
    void printResults();  // Tisk1 and "Tisk výsledku jízd"
    void printSplits();   // "Tisk výsledku mezičasů"
    void printDiploma();  // "Tisk diplomu"
    void kartStatus();    // stav_motokar
    void statistics();    // Statistika
    void settings();      // btnNastaveni
    void topTwenty();     // TopTen10
    void about();         // btnOprogramu
    void help();          // btnHelp
    void quit();          // btnKonec

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption, const QString& hint,
                           void (CommandButtons::*signal)());
    void placeArrow();

    struct Command {
        QObject* control; // button or menu action
        void (CommandButtons::*signal)();
    };
    QList<Command> commands_;
    QList<QObject*> unavailable_;
    QList<QPushButton*> buttons_;
    QPushButton* tisk1_ = nullptr;
    QToolButton* speedBtn1_ = nullptr;
    QMenu* popupMenu5_ = nullptr;
};

} // namespace vartemo
