#pragma once

#include <QDialog>

class QLineEdit;

namespace vartemo {

// The edit dialog of a best-twenty row: the name can be changed, the time
// is only shown.
class TUpravDlg : public QDialog {
    Q_OBJECT
public:
    explicit TUpravDlg(QWidget* parent = nullptr);

    // Fills the fields and puts the focus into the name.
    void setRow(const QString& caption, const QString& name, const QString& time);
    QString name() const;
    QLineEdit* jmeno() const { return jmeno_; }
    QLineEdit* cas() const { return cas_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* jmeno_ = nullptr;
    QLineEdit* cas_ = nullptr;
};

} // namespace vartemo
