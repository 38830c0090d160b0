#pragma once

#include <QDateTime>
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QTreeView;
class QTreeWidget;

namespace vartemo {

class LogBook;
class LogBookModel;
class OperatorRoster;
struct LogBookFilter;

// The log book window "Deník": the log book tree, logging in, the operator
// names, the takings of the day, of one operator and in total, and the filter.
// It is left only through "Zavřít deník / Přihlásit uživatele", which logs the
// chosen or typed name in.
class TDenikFrm : public QDialog {
    Q_OBJECT
public:
    using Now = std::function<QDateTime()>;
    TDenikFrm(LogBook& book, OperatorRoster& roster, QWidget* parent = nullptr,
              Now now = &QDateTime::currentDateTime);
    ~TDenikFrm() override;

    // The activation: operators, takings, the pickers on now; then the window
    // opens modally (centred on its parent) without a loop of its own.
    void ShowModal();
    // The operator list and the three name selectors from the file.
    void LoadOperators();
    // The three takings figures; an unreadable amount is told once per sum.
    void SumTakings();
    // "Po&užít filtr" and "Z&rušit filtr".
    void ApplyFilter();
    void ClearFilter();
    void AddOperator();
    void RemoveOperator();

    LogBookModel& model() const { return *model_; }

signals:
    // "Zavřít deník / Přihlásit uživatele": the name becomes the current operator.
    void loggedIn(const QString& name);

public slots:
    // Escape and the window manager's close leave the window open.
    void reject() override {}

private:
    void buildLogIn(QWidget* column);
    void buildOperators(QWidget* column);
    void buildTakings(QWidget* column);
    void buildFilter(QWidget* column);
    void logIn();
    LogBookFilter filterCriteria() const;
    void tell(const QString& message, bool error);

    LogBook& book_;
    OperatorRoster& roster_;
    Now now_;
    LogBookModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QComboBox* logIn_ = nullptr;
    QTreeWidget* operators_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* takingsOperator_ = nullptr;
    QLabel* today_ = nullptr;
    QLabel* operatorTotal_ = nullptr;
    QLabel* total_ = nullptr;
    QCheckBox* byOperator_ = nullptr;
    QComboBox* filterOperator_ = nullptr;
    QCheckBox* byText_ = nullptr;
    QLineEdit* text_ = nullptr;
    QCheckBox* byDate_ = nullptr;
    QDateEdit* date_ = nullptr;
    QCheckBox* byTime_ = nullptr;
    QTimeEdit* time_ = nullptr;
    QPlainTextEdit* results_ = nullptr;
};

} // namespace vartemo
