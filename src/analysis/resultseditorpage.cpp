#include "analysis/resultseditorpage.h"

#include "engine/lapfiles.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStringListModel>
#include <QTreeView>

namespace vartemo {

namespace {
// The lines of text the page shows at least.
constexpr int kVisibleLines = 28;

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QLabel* InfoLabel(const char* name, QGridLayout* grid, int row, const QString& caption) {
    grid->addWidget(new QLabel(caption), row, 0);
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    grid->addWidget(label, row, 1);
    return label;
}
} // namespace

ResultsEditorPage::ResultsEditorPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ResultsEditor"));
    // Room for the folder tree's and the file's lines, and low enough that
    // the settings dialog holding this page fits a 768 pixels high screen.
    setMinimumSize(740, fontMetrics().lineSpacing() * kVisibleLines);
    hooks_.input = [this](const QString& caption, const QString& prompt, const QString& value) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, caption, prompt, QLineEdit::Normal, value, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
    hooks_.now = [] { return QDateTime::currentDateTime(); };
    hooks_.showMessage = [this](const QString& text) { QMessageBox::warning(this, QString(), text); };

    auto* grid = new QGridLayout(this);
    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    tree_ = new QTreeView;
    tree_->setObjectName(QStringLiteral("VysledkyTreeView1"));
    tree_->setModel(files_);
    for (int column = 1; column < files_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->setHeaderHidden(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* treeMenu = new QMenu(tree_);
    connect(MenuItem(treeMenu, "Smazatsoubor1", QStringLiteral("Smazat soubor")), &QAction::triggered, this,
            &ResultsEditorPage::SmazatSoubor1Click);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this, treeMenu](const QPoint& pos) { treeMenu->popup(tree_->viewport()->mapToGlobal(pos)); });
    grid->addWidget(tree_, 0, 0, 6, 1);

    lines_ = new QStringListModel(this);
    list_ = new QListView;
    list_->setObjectName(QStringLiteral("nahledList"));
    list_->setModel(lines_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Three columns: the lines run down and wrap into the next column.
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setLayoutMode(QListView::Batched);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* listMenu = new QMenu(list_);
    connect(MenuItem(listMenu, "Upravit1", QStringLiteral("Upravit")), &QAction::triggered, this,
            &ResultsEditorPage::Upravit1Click);
    connect(MenuItem(listMenu, "Vloitnov1", QStringLiteral("Vložit nový")), &QAction::triggered, this,
            &ResultsEditorPage::Vloitnov1Click);
    listMenu->addSeparator();
    connect(MenuItem(listMenu, "Uloitjako1", QStringLiteral("Uložit jako ...")), &QAction::triggered, this,
            &ResultsEditorPage::Uloitjako1Click);
    listMenu->addSeparator();
    connect(MenuItem(listMenu, "Smazat1", QStringLiteral("Smazat")), &QAction::triggered, this,
            &ResultsEditorPage::Smazat1Click);
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this, listMenu](const QPoint& pos) { listMenu->popup(list_->viewport()->mapToGlobal(pos)); });
    grid->addWidget(list_, 0, 1, 1, 2);

    auto* info = new QGridLayout;
    name_ = InfoLabel("lbJmeno", info, 0, QStringLiteral("Jméno souboru:"));
    size_ = InfoLabel("lbVelikost", info, 1, QStringLiteral("Velikost:"));
    count_ = InfoLabel("lbpocetvysledku", info, 2, QStringLiteral("Počet výsledků:"));
    date_ = InfoLabel("Datum_Cas", info, 3, QStringLiteral("Datum a čas:"));
    grid->addLayout(info, 1, 1);
    auto* save = new QPushButton(QStringLiteral("Ulož změny"));
    save->setObjectName(QStringLiteral("btnUlozEdit"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &ResultsEditorPage::btnUlozEditClick);
    grid->addWidget(save, 1, 2, Qt::AlignBottom);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);

    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!selecting_)
                    selectPath(files_->filePath(index));
            });
    showEditor();
}

ResultsEditorPage::~ResultsEditorPage() = default;

void ResultsEditorPage::tell(const QString& message) {
    if (!message.isEmpty() && hooks_.showMessage)
        hooks_.showMessage(message);
}

void ResultsEditorPage::activate(const QString& resultsFolder) {
    root_ = resultsFolder;
    tree_->setRootIndex(files_->setRootPath(root_));
    selectPath(files_->filePath(tree_->currentIndex()));
}

void ResultsEditorPage::selectPath(const QString& path) {
    tell(editor_.select(path));
    showEditor();
}

void ResultsEditorPage::showEditor() {
    const ResultsFileEditor::Labels& labels = editor_.labels();
    name_->setText(labels.name);
    size_->setText(labels.size);
    count_->setText(labels.count);
    date_->setText(labels.date);
    lines_->setStringList(editor_.lines());
    // Three columns wide, whatever the page's width.
    const int width = std::max(60, (list_->viewport()->width() - 4) / 3);
    list_->setGridSize(QSize(width, list_->fontMetrics().height() + 2));
}

int ResultsEditorPage::selectedRow() const {
    const QModelIndex index = list_->currentIndex();
    return index.isValid() && list_->selectionModel()->isSelected(index) ? index.row() : -1;
}

void ResultsEditorPage::selectRow(int row) {
    list_->setCurrentIndex(lines_->index(row));
}

void ResultsEditorPage::Upravit1Click() {
    const int row = selectedRow();
    if (row < 0)
        return;
    const auto text = hooks_.input(QStringLiteral("Změna hodnoty"), QString(), editor_.lines().at(row));
    if (!text)
        return;
    editor_.replaceLine(row, *text);
    showEditor();
    selectRow(row);
}

void ResultsEditorPage::Vloitnov1Click() {
    const int row = selectedRow();
    const auto text = hooks_.input(QStringLiteral("Nová hodnota"), QString(), QStringLiteral("00:00:000"));
    if (!text)
        return;
    editor_.insertLine(row, *text);
    showEditor();
    selectRow(row < 0 ? int(editor_.lines().size()) - 1 : row);
}

void ResultsEditorPage::Smazat1Click() {
    const int row = selectedRow();
    if (row < 0)
        return;
    editor_.deleteLine(row);
    showEditor();
}

void ResultsEditorPage::btnUlozEditClick() {
    tell(editor_.saveChanges());
    showEditor();
}

void ResultsEditorPage::Uloitjako1Click() {
    if (!hooks_.saveFile)
        return;
    const auto path = hooks_.saveFile(ResultsFileEditor::DefaultSaveName(hooks_.now()), lapfiles::kDialogFilter);
    if (!path)
        return;
    tell(editor_.saveAs(*path));
    showEditor();
    refreshTree(editor_.selectedPath());
}

void ResultsEditorPage::SmazatSoubor1Click() {
    const QString path = editor_.selectedPath();
    tell(editor_.deleteSelected());
    showEditor();
    refreshTree(QFileInfo(path).absolutePath());
}

// The tree shows the folder of path with path selected; its own selection
// change does not load the file again.
void ResultsEditorPage::refreshTree(const QString& path) {
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    selecting_ = true;
    tree_->setRootIndex(files_->setRootPath(folder));
    const QModelIndex index = files_->index(path);
    if (index.isValid())
        tree_->setCurrentIndex(index);
    selecting_ = false;
}

} // namespace vartemo

#include "moc_resultseditorpage.cpp"
