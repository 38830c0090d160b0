#include "records/tupravdlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vartemo {

TUpravDlg::TUpravDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TUpravDlg"));
    setWindowTitle(QStringLiteral("Upravit"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::CustomizeWindowHint);
    jmeno_ = new QLineEdit(this);
    jmeno_->setObjectName(QStringLiteral("jmeno"));
    cas_ = new QLineEdit(this);
    cas_->setObjectName(QStringLiteral("cas"));
    cas_->setReadOnly(true);
    cas_->setFocusPolicy(Qt::NoFocus);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Jméno"), jmeno_);
    fields->addRow(QStringLiteral("Čas"), cas_);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Zrušit"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(320);
}

void TUpravDlg::setRow(const QString& caption, const QString& name, const QString& time) {
    setWindowTitle(caption);
    jmeno_->setText(name);
    cas_->setText(time);
    jmeno_->selectAll();
    jmeno_->setFocus();
}

QString TUpravDlg::name() const {
    return jmeno_->text();
}

void TUpravDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    jmeno_->setFocus();
}

} // namespace vartemo

#include "moc_tupravdlg.cpp"
