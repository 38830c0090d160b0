#include "records/ttopten10frm.h"

#include "records/tupravdlg.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableWidget>

namespace vartemo {

namespace {

constexpr int kClientWidth = 745;
constexpr int kClientHeight = 522;
constexpr int kListTop = 26;
constexpr int kListHeight = 449;
constexpr int kButtonRowTop = 484;

// The controls of each side, left (men) and right (women).
struct SideLayout {
    const char* label;
    const char* labelName;
    const char* listName;
    int listLeft;
    int listWidth;
    const char* popupName;
    const char* moveText;
    const char* saveName;
    const char* spinName;
    const char* caption; // of the edit dialog
    const char* pictureName;
};

const SideLayout kSides[2] = {
    {"Jezdci", "Label1", "TopTenList", 8, 355, "TopDesetPopup", "Přesunout vpravo", "btnUlozMuzi",
     "SpinKvalita1", "Upravit položku - jezdci", "Top20_Muzi"},
    {"Jezdkyně", "Label2", "TopTenList1", 383, 354, "TopDesetPopup2", "Přesunout vlevo", "BitBbtnUlozZeny",
     "SpinKvalita2", "Upravit položku - jezdkyně", "Top20_Zeny"},
};

const SideLayout& layoutOf(TopTable which) {
    return kSides[which == TopTable::Men ? 0 : 1];
}

const QString kListHint = QStringLiteral("      Další volby vyvoláte\r\n stiskem pravého tlačítka myši.");

} // namespace

TTopTen10Frm::TTopTen10Frm(TopTables& tables, TUpravDlg& editDialog, QWidget* parent)
    : QDialog(parent), tables_(tables), edit_(editDialog) {
    setObjectName(QStringLiteral("TTopTen10Frm"));
    setWindowTitle(QStringLiteral("Nejlepších dvacet časů"));
    // A fixed border without border icons.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::CustomizeWindowHint);
    setFixedSize(kClientWidth, kClientHeight);
    buildSide(TopTable::Men);
    buildSide(TopTable::Women);
    buildButtons();
    chooseFile_ = [this](const QString& proposed) { return chooseFileDialog(proposed); };

    // The views follow the tables whoever changed or reloaded them.
    connect(&tables_, &TopTables::changed, this, [this] {
        showTable(TopTable::Men);
        showTable(TopTable::Women);
    });
    connect(&tables_, &TopTables::reloaded, this, [this] {
        showTable(TopTable::Men);
        showTable(TopTable::Women);
    });
    connect(&edit_, &QDialog::accepted, this, &TTopTen10Frm::applyRename);
    showTable(TopTable::Men);
    showTable(TopTable::Women);
}

void TTopTen10Frm::buildSide(TopTable which) {
    const SideLayout& l = layoutOf(which);
    Side& s = side(which);

    auto* label = new QLabel(QString::fromUtf8(l.label), this);
    label->setObjectName(QString::fromLatin1(l.labelName));
    QFont bold = label->font();
    bold.setBold(true);
    bold.setItalic(true);
    label->setFont(bold);
    label->setGeometry(l.listLeft, 4, l.listWidth, kListTop - 6);

    s.list = new QTableWidget(kTopTenRows, 3, this);
    s.list->setObjectName(QString::fromLatin1(l.listName));
    s.list->setGeometry(l.listLeft, kListTop, l.listWidth, kListHeight);
    s.list->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Jméno"), QStringLiteral("Nejkratší časy")});
    s.list->verticalHeader()->hide();
    s.list->setShowGrid(true);
    s.list->setSelectionBehavior(QAbstractItemView::SelectRows);
    s.list->setSelectionMode(QAbstractItemView::SingleSelection);
    s.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    s.list->setWordWrap(false);
    QFont font = s.list->font();
    font.setPixelSize(16);
    s.list->setFont(font);
    s.list->horizontalHeader()->setHighlightSections(false);
    s.list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    s.list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    for (const auto& [column, width] : {std::pair{0, 30}, {1, 200}, {2, 120}})
        s.list->setColumnWidth(column, width);
    // All twenty rows in view, without scroll bars: so they are printed and
    // saved as pictures too.
    s.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s.list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    s.list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    s.list->verticalHeader()->setMinimumSectionSize(1);
    const int rowsHeight = kListHeight - 2 * s.list->frameWidth() - s.list->horizontalHeader()->sizeHint().height();
    s.list->verticalHeader()->setDefaultSectionSize(rowsHeight / kTopTenRows);
    s.list->setToolTip(kListHint);
    s.list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(s.list, &QTableWidget::cellDoubleClicked, this, [this, which] { RenameSelected(which); });

    s.popup = new QMenu(this);
    s.popup->setObjectName(QString::fromLatin1(l.popupName));
    s.popup->addAction(QStringLiteral("Upravit záznam"), this, [this, which] { RenameSelected(which); });
    s.popup->addAction(QString::fromUtf8(l.moveText), this, [this, which] { MoveSelected(which); });
    s.popup->addSeparator();
    s.popup->addAction(QStringLiteral("Tisk diplomu"), this, [this, which] { DiplomaSelected(which); });
    s.popup->addSeparator();
    s.popup->addAction(QStringLiteral("Smazat záznam"), this, [this, which] { DeleteSelected(which); });
    connect(s.list, &QWidget::customContextMenuRequested, this, [this, which](const QPoint& pos) {
        const Side& sd = side(which);
        sd.popup->popup(sd.list->viewport()->mapToGlobal(pos));
    });

    // Under the table: its picture and the picture's quality.
    int x = which == TopTable::Men ? l.listLeft : l.listLeft + l.listWidth - 206;
    auto* save = new QPushButton(QStringLiteral("Ulož do souboru"), this);
    save->setObjectName(QString::fromLatin1(l.saveName));
    save->setGeometry(x, kButtonRowTop, 104, 28);
    connect(save, &QPushButton::clicked, this, [this, which] { SaveAsPicture(which); });
    auto* kvalita = new QLabel(QStringLiteral("Kvalita"), this);
    kvalita->setGeometry(x + 110, kButtonRowTop, 42, 28);
    s.quality = new QSpinBox(this);
    s.quality->setObjectName(QString::fromLatin1(l.spinName));
    s.quality->setRange(1, 100);
    s.quality->setValue(10);
    s.quality->setGeometry(x + 152, kButtonRowTop + 2, 42, 24);
    s.quality->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    auto* percent = new QLabel(QStringLiteral("%"), this);
    percent->setGeometry(x + 196, kButtonRowTop, 12, 28);
}

void TTopTen10Frm::buildButtons() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(224, kButtonRowTop - 4, 298, 36);
    const struct {
        const char* name;
        const char* text;
        void (TTopTen10Frm::*signal)();
    } buttons[] = {
        {"btnFtp", "&Ftp", &TTopTen10Frm::ftpRequested},
        {"btnTisk", "&Tisk", &TTopTen10Frm::printRequested},
        {"btnZavri", "&Zavřít", nullptr},
    };
    int x = 6;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), panel);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(x, 4, 90, 28);
        x += 96;
        if (b.signal)
            connect(button, &QPushButton::clicked, this, b.signal);
        else
            connect(button, &QPushButton::clicked, this, &QDialog::close);
    }
}

QTableWidget* TTopTen10Frm::list(TopTable which) const {
    return side(which).list;
}

QSpinBox* TTopTen10Frm::quality(TopTable which) const {
    return side(which).quality;
}

QMenu* TTopTen10Frm::popup(TopTable which) const {
    return side(which).popup;
}

void TTopTen10Frm::showTable(TopTable which) {
    QTableWidget* list = side(which).list;
    const TopTenTable& table = tables_.table(which);
    const int selected = selectedRow(which);
    list->setRowCount(table.size());
    for (int r = 0; r < table.size(); ++r) {
        const TopTenRow& row = table.row(r);
        const QString texts[3] = {row.rank(), row.name(), row.time()};
        for (int c = 0; c < 3; ++c) {
            auto* item = list->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 0 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter) : Qt::Alignment(Qt::AlignCenter));
                list->setItem(r, c, item);
            }
            item->setText(texts[c]);
        }
    }
    if (selected >= 0 && selected < list->rowCount())
        list->selectRow(selected);
}

int TTopTen10Frm::selectedRow(TopTable which) const {
    const QList<QTableWidgetItem*> items = side(which).list->selectedItems();
    return items.isEmpty() ? -1 : items.first()->row();
}

void TTopTen10Frm::ShowModal() {
    if (isVisible()) {
        Reload();
    } else {
        setWindowModality(Qt::ApplicationModal);
        show();
    }
    raise();
    activateWindow();
}

void TTopTen10Frm::Reload() {
    report(tables_.Load());
}

void TTopTen10Frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* main = parentWidget())
        move(main->frameGeometry().center() - rect().center());
    Reload();
}

void TTopTen10Frm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Every activation reads the files again; its problems were told at the showing.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        tables_.Load();
}

void TTopTen10Frm::RenameSelected(TopTable which) {
    const int row = selectedRow(which);
    if (row < 0)
        return;
    const TopTenRow& r = tables_.table(which).row(row);
    rename_ = {which, row, r.name(), r.time()};
    edit_.setRow(QString::fromUtf8(layoutOf(which).caption), r.name(), r.time());
    edit_.open();
}

void TTopTen10Frm::applyRename() {
    if (rename_.index < 0)
        return;
    QStringList errors;
    tables_.Rename(rename_.table, rename_.index, rename_.name, rename_.time, edit_.name(), errors);
    rename_.index = -1;
    report(errors);
}

void TTopTen10Frm::DeleteSelected(TopTable which) {
    const int row = selectedRow(which);
    if (row < 0)
        return;
    QStringList errors;
    tables_.Delete(which, row, errors);
    report(errors);
}

void TTopTen10Frm::MoveSelected(TopTable which) {
    const int row = selectedRow(which);
    if (row < 0)
        return;
    QStringList errors;
    tables_.Move(which, row, errors);
    report(errors);
}

void TTopTen10Frm::DiplomaSelected(TopTable which) {
    const int row = selectedRow(which);
    if (row < 0)
        return;
    emit diplomaRequested(tables_.table(which).row(row).name(), DiplomaPlacement(row + 1).value_or(-1));
}

QString TTopTen10Frm::chooseFileDialog(const QString& proposedPath) {
    QFileDialog dialog(this, QString(), proposedPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("obrázek (*.jpg)"));
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void TTopTen10Frm::SaveAsPicture(TopTable which) {
    const QString proposed = QDir(tables_.folder()).filePath(QString::fromLatin1(layoutOf(which).pictureName));
    QString file = chooseFile_ ? chooseFile_(proposed) : QString();
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".jpg");
    QString error;
    if (!SaveListAsJpeg(which, file, side(which).quality->value(), &error))
        report({error});
}

bool TTopTen10Frm::SaveListAsJpeg(TopTable which, const QString& fileName, int quality, QString* error) {
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Obrázek nelze uložit do souboru %1: %2")
                         .arg(QDir::toNativeSeparators(fileName), reason);
        return false;
    };
    // The list exactly as it is on the screen, frame and header included.
    QImage image = side(which).list->grab().toImage();
    image.setDevicePixelRatio(1.0);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(std::clamp(quality, 1, 100));
    writer.setProgressiveScanWrite(true);
    if (!writer.write(image))
        return fail(writer.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

void TTopTen10Frm::report(const QStringList& messages) {
    if (messages.isEmpty())
        return;
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), messages.join(u'\n'), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("BestTwentyError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vartemo

#include "moc_ttopten10frm.cpp"
