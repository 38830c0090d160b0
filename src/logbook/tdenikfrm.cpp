#include "logbook/tdenikfrm.h"

#include "core/czechformats.h"
#include "logbook/logbook.h"
#include "logbook/logbookfilter.h"
#include "logbook/logbookmodel.h"
#include "logbook/operatorroster.h"
#include "logbook/takings.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeView>
#include <QTreeWidget>

#include <set>

namespace vartemo {

namespace {

template <typename W> W* named(W* widget, const char* objectName) {
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

QComboBox* nameSelector(const char* objectName) {
    auto* box = named(new QComboBox, objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

// New items, the text typed or chosen kept as it was.
void setItemsKeepingText(QComboBox* box, const QStringList& items) {
    const QString text = box->currentText();
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(items);
    box->setEditText(text);
}

QGroupBox* group(const QString& caption, QLayout* layout) {
    auto* box = new QGroupBox(caption);
    box->setLayout(layout);
    return box;
}

} // namespace

TDenikFrm::TDenikFrm(LogBook& book, OperatorRoster& roster, QWidget* parent, Now now)
    : QDialog(parent), book_(book), roster_(roster), now_(std::move(now)) {
    setObjectName(QStringLiteral("TDenikFrm"));
    setWindowTitle(QStringLiteral("Deník"));
    // A title without buttons: the window is left through its OK button only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    model_ = new LogBookModel(book_, this);
    tree_ = named(new QTreeView, "tvDenik");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setMinimumWidth(420);
    // The selection looks the same when the tree is not focused.
    QPalette palette = tree_->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    tree_->setPalette(palette);

    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    buildLogIn(column);
    buildOperators(column);
    buildTakings(column);
    buildFilter(column);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addWidget(column);
    resize(1000, 720);
}

TDenikFrm::~TDenikFrm() = default;

void TDenikFrm::buildLogIn(QWidget* column) {
    logIn_ = nameSelector("cbLog");
    logIn_->setEditText(OperatorRoster::kBuiltIn);
    auto* ok = named(new QPushButton(QStringLiteral("Zavřít deník / Přihlásit uživatele")), "OK");
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TDenikFrm::logIn);
    auto* layout = new QVBoxLayout;
    layout->addWidget(logIn_);
    layout->addWidget(ok);
    column->layout()->addWidget(group(QStringLiteral(" Přihlásit uživatele "), layout));
}

void TDenikFrm::buildOperators(QWidget* column) {
    operators_ = named(new QTreeWidget, "lvUzivatel");
    operators_->setHeaderLabels({QStringLiteral("Jméno")});
    operators_->setRootIsDecorated(false);
    operators_->setMaximumHeight(150);
    name_ = named(new QLineEdit, "Jmeno");
    connect(operators_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { name_->setText(item->text(0)); });
    auto* remove = named(new QPushButton(QStringLiteral("&Odebrat")), "btnSmazat");
    remove->setAutoDefault(false);
    auto* add = named(new QPushButton(QStringLiteral("&Přidat")), "btnVlozit");
    add->setDefault(true);
    connect(remove, &QPushButton::clicked, this, &TDenikFrm::RemoveOperator);
    connect(add, &QPushButton::clicked, this, &TDenikFrm::AddOperator);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Jméno:")));
    nameRow->addWidget(name_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(add);
    auto* layout = new QVBoxLayout;
    layout->addWidget(operators_);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);
    column->layout()->addWidget(group(QStringLiteral(" Seznam uživatelů "), layout));
}

void TDenikFrm::buildTakings(QWidget* column) {
    takingsOperator_ = nameSelector("cbUzivatel1");
    connect(takingsOperator_, &QComboBox::currentTextChanged, this, &TDenikFrm::SumTakings);
    today_ = named(new QLabel, "kcDnes");
    operatorTotal_ = named(new QLabel, "KcCelkemU");
    total_ = named(new QLabel, "KcCelkem");
    auto* layout = new QFormLayout;
    layout->addRow(QStringLiteral("Uživatel:"), takingsOperator_);
    layout->addRow(QStringLiteral("Dnes:"), today_);
    layout->addRow(QStringLiteral("Celkem uživatel:"), operatorTotal_);
    layout->addRow(QStringLiteral("Součet celkem:"), total_);
    column->layout()->addWidget(group(QStringLiteral(" Výdělek "), layout));
}

void TDenikFrm::buildFilter(QWidget* column) {
    byOperator_ = named(new QCheckBox, "chUzivatel");
    filterOperator_ = nameSelector("cbUzivatel");
    // On or off, the click offers the names starting from the first.
    connect(byOperator_, &QCheckBox::clicked, this, [this] {
        filterOperator_->setCurrentIndex(0);
        filterOperator_->showPopup();
    });
    byText_ = named(new QCheckBox, "chText");
    text_ = named(new QLineEdit, "Edit1");
    byDate_ = named(new QCheckBox, "chDatum");
    date_ = named(new QDateEdit, "dtDatum");
    date_->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    date_->setCalendarPopup(true);
    byTime_ = named(new QCheckBox, "chCas");
    time_ = named(new QTimeEdit, "dtCas");
    time_->setDisplayFormat(QStringLiteral("HH:mm"));
    auto* show = named(new QPushButton(QStringLiteral("Po&užít filtr")), "btnZobrazit");
    auto* clear = named(new QPushButton(QStringLiteral("Z&rušit filtr")), "btnZrusFitr");
    for (QPushButton* b : {show, clear})
        b->setAutoDefault(false);
    connect(show, &QPushButton::clicked, this, &TDenikFrm::ApplyFilter);
    connect(clear, &QPushButton::clicked, this, &TDenikFrm::ClearFilter);

    auto* grid = new QGridLayout;
    const auto row = [grid](int r, QCheckBox* check, const QString& label, QWidget* field) {
        grid->addWidget(check, r, 0);
        grid->addWidget(new QLabel(label), r, 1);
        grid->addWidget(field, r, 2);
    };
    row(0, byOperator_, QStringLiteral("Uživatel:"), filterOperator_);
    row(1, byText_, QStringLiteral("Text:"), text_);
    row(2, byDate_, QStringLiteral("Datum:"), date_);
    row(3, byTime_, QStringLiteral("Čas:"), time_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show);
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout;
    layout->addLayout(grid);
    layout->addLayout(buttons);
    column->layout()->addWidget(group(QStringLiteral(" Nastavení filtru "), layout));

    results_ = named(new QPlainTextEdit, "Memo1");
    results_->setReadOnly(true);
    results_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* resultsLayout = new QVBoxLayout;
    resultsLayout->addWidget(results_);
    column->layout()->addWidget(group(QStringLiteral(" Výsledky filtru "), resultsLayout));
}

void TDenikFrm::ShowModal() {
    LoadOperators();
    SumTakings();
    const QDateTime now = now_();
    date_->setDate(now.date());
    time_->setTime(now.time());
    if (!isVisible()) {
        setWindowModality(Qt::ApplicationModal);
        if (QWidget* main = parentWidget())
            move(main->frameGeometry().center() - rect().center());
        show();
    }
    raise();
    activateWindow();
}

void TDenikFrm::LoadOperators() {
    const QStringList names = roster_.names();
    operators_->clear();
    for (const QString& name : names)
        operators_->addTopLevelItem(new QTreeWidgetItem(QStringList{name}));
    const QStringList items = OperatorRoster::SelectorItems(names);
    {
        const QSignalBlocker quiet(filterOperator_);
        filterOperator_->clear();
        filterOperator_->addItems(items);
    }
    setItemsKeepingText(takingsOperator_, items);
    setItemsKeepingText(logIn_, items);
}

void TDenikFrm::SumTakings() {
    const TakingsSums sums = vartemo::SumTakings(book_.entries(), now_().date(), takingsOperator_->currentText());
    today_->setText(TakingsText(sums.today));
    operatorTotal_->setText(TakingsText(sums.operatorTotal));
    total_->setText(TakingsText(sums.total));
    if (!sums.conversionError.isEmpty())
        tell(sums.conversionError, true);
}

LogBookFilter TDenikFrm::filterCriteria() const {
    LogBookFilter f;
    if (byOperator_->isChecked())
        f.operatorName = filterOperator_->currentText();
    if (byDate_->isChecked())
        f.date = czech::shortDate(date_->date());
    if (byTime_->isChecked())
        f.time = czech::longTime(time_->time());
    if (byText_->isChecked())
        f.text = text_->text();
    return f;
}

void TDenikFrm::ApplyFilter() {
    results_->clear();
    tree_->collapseAll();
    const QList<qsizetype> hits = ApplyLogBookFilter(book_.entries(), filterCriteria());
    // One selection and one text for every hit: item by item, fifty thousand
    // hits would take minutes.
    QItemSelection selection;
    std::set<qsizetype> selected;
    QStringList texts;
    texts.reserve(hits.size());
    for (qsizetype entry : hits) {
        texts << book_.entries()[entry].text;
        if (selected.insert(entry).second) {
            const QModelIndex index = model_->indexOfEntry(entry);
            selection.select(index, index);
        }
    }
    tree_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    results_->setPlainText(texts.join(u'\n'));
}

void TDenikFrm::ClearFilter() {
    results_->clear();
    tree_->collapseAll();
}

void TDenikFrm::AddOperator() {
    const QString message = roster_.Add(name_->text());
    if (message == OperatorRoster::kNoNameMessage || message == OperatorRoster::kNameExistsMessage) {
        tell(message, false);
        return;
    }
    LoadOperators();
    if (!message.isEmpty()) {
        tell(message, true);
        return;
    }
    name_->clear();
    name_->setFocus();
}

void TDenikFrm::RemoveOperator() {
    QTreeWidgetItem* item = operators_->currentItem();
    if (!item || !item->isSelected())
        return;
    name_->clear();
    const QString message = roster_.Remove(operators_->indexOfTopLevelItem(item));
    LoadOperators();
    if (!message.isEmpty())
        tell(message, true);
}

void TDenikFrm::logIn() {
    emit loggedIn(logIn_->currentText());
    done(QDialog::Accepted);
}

void TDenikFrm::tell(const QString& message, bool error) {
    // A message still open is not repeated (the takings are summed at every
    // keystroke in the selector).
    for (QMessageBox* open : findChildren<QMessageBox*>(QStringLiteral("DenikMessage")))
        if (open->isVisible() && open->text() == message)
            return;
    auto* box = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Information, QString(), message,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("DenikMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vartemo

#include "moc_tdenikfrm.cpp"
