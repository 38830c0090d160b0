#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace vartemo {

class KartFleet;

// "Technický stav motokár": the eight kart status records on eight tabs. The
// window only views the fleet's records: every edit goes to them at once and
// every change of them (a ride stopping while the window is open) shows at
// once, so nothing older is ever written from here. The only way out is
// "Potvrdit a zavřít" (Esc and the window manager's close do the same): it
// saves the records and closes, even when the file cannot be written.
class TStav_KarFrm : public QDialog {
    Q_OBJECT
public:
    using ShowError = std::function<void(QWidget* parent, const QString& message)>;

    explicit TStav_KarFrm(KartFleet& fleet, QWidget* parent = nullptr);

    // Replaces the message box for failures (a file that cannot be written).
    void setShowError(ShowError showError) { showError_ = std::move(showError); }

    // The same name for every kart but two: kart 2's initial hours and the
    // fuel-since-reset fields carry their own spelling.
    static QString initialHoursName(int kart);
    static QString fuelSinceResetName(int kart);

    void reject() override; // Esc: as "Potvrdit a zavřít"

signals:
    // "Zobraz &Deník": the log book window, modal on top of this one.
    void logBookRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TaskControls {
        QCheckBox* enabled = nullptr;
        QSpinBox* hours = nullptr;
        QSpinBox* minutes = nullptr;
        QLineEdit* text = nullptr;
        QPushButton* done = nullptr;
    };
    struct KartControls {
        QSpinBox* initialHours = nullptr;
        QSpinBox* initialMinutes = nullptr;
        QLineEdit* driven = nullptr;
        QLineEdit* total = nullptr;
        std::array<TaskControls, 4> tasks{};
        QLineEdit* fuelSinceReset = nullptr;
        QLineEdit* totalFuel = nullptr;
        QSpinBox* consumption = nullptr;
        QSpinBox* tank = nullptr;
        QCheckBox* refuelNotice = nullptr;
        QSpinBox* refuelMargin = nullptr;
    };

    QWidget* buildTab(int kart);
    QWidget* buildHoursGroup(int kart, KartControls& c);
    QWidget* buildTasksGroup(int kart, KartControls& c);
    QWidget* buildFuelGroup(int kart, KartControls& c);
    void connectKart(int kart, KartControls& c);
    // The controls show the records as they are now.
    void showRecords();
    void OKClick();
    void VynulujClick(int kart);
    void btnHotovoClick();
    void reportSaveFailure(bool saved, const QString& error);

    KartFleet& fleet_;
    ShowError showError_;
    QTabWidget* page1_ = nullptr;
    std::array<KartControls, 8> karts_{};
    bool showing_ = false; // the controls are being filled from the records
    bool closing_ = false;
};

} // namespace vartemo
