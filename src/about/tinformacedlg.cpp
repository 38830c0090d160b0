#include "about/tinformacedlg.h"

#include "about/historyfile.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vartemo {

TInformaceDlg::TInformaceDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TInformaceDlg"));
    setWindowTitle(QStringLiteral("Informace"));
    setFixedSize(426, 671);
    memo_ = new QPlainTextEdit;
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void TInformaceDlg::LoadHistory(const QString& path) {
    memo_->setPlainText(ReadHistory(path));
}

QString TInformaceDlg::text() const {
    return memo_->toPlainText();
}

} // namespace vartemo

#include "moc_tinformacedlg.cpp"
