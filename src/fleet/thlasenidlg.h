#pragma once

#include <QDialog>
#include <array>

class QLabel;

namespace vartemo {

class KartFleet;

// "Hlášení": the eight karts' notice texts (refuel warning, due tasks), one
// box per kart, karts 1 to 4 on the left and 5 to 8 on the right.
// "Beru na vědomí" (or Esc) acknowledges: every notice text is emptied.
class THlaseniDlg : public QDialog {
    Q_OBJECT
public:
    explicit THlaseniDlg(KartFleet& fleet, QWidget* parent = nullptr);

    // Shows the dialog modally when any notice text is not empty.
    void ShowNotices();

    void accept() override;
    void reject() override; // Esc acknowledges as the button does

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showTexts();

    KartFleet& fleet_;
    std::array<QLabel*, 8> labels_{};
};

} // namespace vartemo
