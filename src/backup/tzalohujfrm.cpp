#include "backup/tzalohujfrm.h"

#include "backup/archivecontents.h"
#include "backup/archiveflags.h"
#include "backup/backupselection.h"
#include "logbook/logentries.h"
#include "platform/systeminfo.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

namespace vartemo {

namespace {

// "Typ komprese" by caption: the items' order is not the levels' order.
const struct {
    const char* caption;
    TCompressionLevel level;
} kCompressionItems[] = {
    {"Rychlá", TCompressionLevel::clFastest},
    {"Základní", TCompressionLevel::clDefault},
    {"Maximální", TCompressionLevel::clMax},
    {"Bez komprese", TCompressionLevel::clNone},
};
constexpr int kDefaultCompressionItem = 2;

// "Mod obnovení": the item's position is the restore mode.
const char* const kRestoreModeItems[] = {"Obnovit vše", "Nepřepisovat", "Nikdy", "Pokud existuje",
                                         "Pokud neexistuje"};

const QString kCaption = QStringLiteral("Zálohování");

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QGroupBox* RadioGroup(const char* name, const QString& title, const QStringList& items, int columns,
                      QButtonGroup** group) {
    auto* box = Named(new QGroupBox(title), name);
    auto* grid = new QGridLayout(box);
    *group = new QButtonGroup(box);
    const int rows = int((items.size() + columns - 1) / columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], box);
        button->setObjectName(QLatin1String(name) + QString::number(i));
        (*group)->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
    }
    return box;
}

// The mount point of the drive a path lies on.
const DriveFacts* DriveOf(const QList<DriveFacts>& drives, const QString& path) {
    const DriveFacts* best = nullptr;
    for (const DriveFacts& d : drives) {
        const bool below = d.root == QStringLiteral("/") || path == d.root || path.startsWith(d.root + u'/');
        if (below && (!best || d.root.size() > best->root.size()))
            best = &d;
    }
    return best;
}

bool OnRemovableMedium(const QString& path) {
    const QList<DriveFacts> drives = LinuxDrives();
    const DriveFacts* drive = DriveOf(drives, QFileInfo(path).absolutePath());
    return drive && (drive->type == DriveType::Removable || drive->floppy);
}

QString FolderOf(const QTreeView* tree, const QFileSystemModel* model) {
    return model->filePath(tree->currentIndex());
}

} // namespace

TZalohujFrm::TZalohujFrm(QString programFolder, Hooks hooks, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)), hooks_(std::move(hooks)),
      backup_(TBackupFile::Hooks{
          .showError = [this](const QString& text) { showMessage(QMessageBox::Critical, text); },
          .needDiskToRead = [this](int disk, const QString&) { return askForDisk(disk); },
          .needDiskToWrite = [this](int disk, const QString&) { return askForDisk(disk); },
          .progress = [this](const QString& name, int percent) { ShowProgress(name, percent); },
      }) {
    setObjectName(QStringLiteral("ZalohujFrm"));
    setWindowTitle(kCaption);
    setModal(true);
    backup_.ArchiveFlagFile = QDir(programFolder_).filePath(QString::fromLatin1(ArchiveFlags::kFileName));
    backup_.SetArchiveFlag = true;

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath(QStringLiteral("/"));
    backupFiles_ = new QFileSystemModel(this);
    backupFiles_->setFilter(QDir::Files | QDir::Hidden);
    archives_ = new QFileSystemModel(this);
    archives_->setFilter(QDir::Files);
    archives_->setNameFilters({QStringLiteral("*.bck")});
    archives_->setNameFilterDisables(false);

    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->addTab(buildBackupTab(), QStringLiteral(" Zálohovat data "));
    PageControl1->addTab(buildRestoreTab(), QStringLiteral(" Obnovit data "));
    ProgressBar1 = Named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    Label1 = Named(new QLabel, "Label1");
    auto* strip = new QHBoxLayout;
    strip->addWidget(ProgressBar1, 1);
    strip->addWidget(Label1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(strip);
    resize(760, 560);
}

TZalohujFrm::~TZalohujFrm() = default;

QComboBox* TZalohujFrm::makeDriveSelector(const char* name, QTreeView* tree) {
    auto* combo = Named(new QComboBox, name);
    for (const DriveFacts& d : LinuxDrives())
        combo->addItem(d.device.isEmpty() ? d.root : QStringLiteral("%1  [%2]").arg(d.root, d.device), d.root);
    connect(combo, &QComboBox::activated, this, [this, combo, tree](int) {
        tree->setRootIndex(folders_->index(combo->currentData().toString()));
    });
    return combo;
}

QTreeView* TZalohujFrm::makeFolderTree(const char* name) {
    auto* tree = Named(new QTreeView, name);
    tree->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        tree->hideColumn(column);
    tree->header()->hide();
    return tree;
}

QWidget* TZalohujFrm::buildBackupTab() {
    auto* page = new QWidget;
    auto* files = new QGroupBox(QStringLiteral("Vyberte soubory"));
    auto* filesLayout = new QVBoxLayout(files);
    const char* captions[] = {"Nastavení programu", "Nastavení stavu motokár", "Tabulky nejlepších dvaceti",
                              "Výsledky jízd"};
    for (int i = 0; i < 4; ++i) {
        CheckBox[i] = new QCheckBox(QString::fromUtf8(captions[i]));
        CheckBox[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        connect(CheckBox[i], &QCheckBox::clicked, this, &TZalohujFrm::CheckBoxClick);
        filesLayout->addWidget(CheckBox[i]);
    }
    QStringList compression;
    for (const auto& item : kCompressionItems)
        compression << QString::fromUtf8(item.caption);
    rgCompressionLevel = RadioGroup("rgCompressionLevel", QStringLiteral("Typ komprese"), compression, 1,
                                    &compressionLevels_);
    compressionLevels_->button(kDefaultCompressionItem)->setChecked(true);
    rgBackupMode = RadioGroup("rgBackupMode", QStringLiteral("Typ zálohy"),
                              {QStringLiteral("Vše"), QStringLiteral("Přírůstková")}, 1, &backupModes_);
    backupModes_->button(0)->setChecked(true);
    CbSaveFileID = Named(new QCheckBox(QStringLiteral("Uložit ID souboru")), "CbSaveFileID");
    CbSaveFileID->setChecked(true);
    EdBackupTitle = Named(new QLineEdit(QStringLiteral("záloha vartemo")), "EdBackupTitle");
    FileListBox = Named(new QListWidget, "FileListBox");

    DirectoryListBox2 = makeFolderTree("DirectoryListBox2");
    DriveComboBox2 = makeDriveSelector("DriveComboBox2", DirectoryListBox2);
    FileListBox2 = Named(new QListView, "FileListBox2");
    FileListBox2->setModel(backupFiles_);
    connect(DirectoryListBox2->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                FileListBox2->setRootIndex(backupFiles_->setRootPath(folders_->filePath(index)));
            });
    Novysoubor = Named(new QLineEdit(QStringLiteral("zalohavartemo")), "Novysoubor");
    connect(Novysoubor, &QLineEdit::textEdited, this, [this] {
        FileListBox2->clearSelection();
        FileListBox2->setCurrentIndex({});
    });
    ZalohovatBtn = Named(new QPushButton(QStringLiteral("Zálohovat !")), "ZalohovatBtn");
    connect(ZalohovatBtn, &QPushButton::clicked, this, &TZalohujFrm::ZalohovatBtnClick);
    BtnCancel = Named(new QPushButton(QStringLiteral("Zavřít")), "BtnCancel");
    connect(BtnCancel, &QPushButton::clicked, this, &TZalohujFrm::CloseClick);

    auto* left = new QVBoxLayout;
    left->addWidget(files);
    auto* options = new QHBoxLayout;
    options->addWidget(rgCompressionLevel);
    options->addWidget(rgBackupMode);
    left->addLayout(options);
    left->addWidget(CbSaveFileID);
    left->addWidget(new QLabel(QStringLiteral("Popis zálohy:")));
    left->addWidget(EdBackupTitle);
    left->addWidget(FileListBox, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Vytvořené zálohy")));
    right->addWidget(DriveComboBox2);
    right->addWidget(DirectoryListBox2, 2);
    right->addWidget(FileListBox2, 1);
    auto* newFile = new QFormLayout;
    newFile->addRow(QStringLiteral("Nový soubor:"), Novysoubor);
    right->addLayout(newFile);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ZalohovatBtn);
    buttons->addWidget(BtnCancel);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    inputs_ << files << rgCompressionLevel << rgBackupMode << CbSaveFileID << EdBackupTitle << FileListBox << DriveComboBox2
            << DirectoryListBox2 << FileListBox2 << Novysoubor << ZalohovatBtn;
    return page;
}

QWidget* TZalohujFrm::buildRestoreTab() {
    auto* page = new QWidget;
    DirectoryListBox1 = makeFolderTree("DirectoryListBox1");
    DriveComboBox1 = makeDriveSelector("DriveComboBox1", DirectoryListBox1);
    FileListBox1 = Named(new QListView, "FileListBox1");
    FileListBox1->setModel(archives_);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                FileListBox1->setRootIndex(archives_->setRootPath(folders_->filePath(index)));
            });
    connect(FileListBox1, &QListView::clicked, this, &TZalohujFrm::FileListBox1Click);
    Edit2 = Named(new QLineEdit, "Edit2");
    Edit2->setReadOnly(true);
    Edit1 = Named(new QLineEdit, "Edit1");
    Edit1->setReadOnly(true);
    MeFiles = Named(new QPlainTextEdit, "MeFiles");
    MeFiles->setReadOnly(true);
    MeFiles->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList modes;
    for (const char* item : kRestoreModeItems)
        modes << QString::fromUtf8(item);
    rgRestoreMode = RadioGroup("rgRestoreMode", QStringLiteral("Mod obnovení"), modes, 2, &restoreModes_);
    restoreModes_->button(0)->setChecked(true);

    auto* place = new QGroupBox(QStringLiteral("Obnovit kam"));
    rbOrigpath = Named(new QRadioButton(QStringLiteral("Na původní místo (přepsat soubory)")), "rbOrigpath");
    rbOtherPath = Named(new QRadioButton(QStringLiteral("Jinam:")), "rbOtherPath");
    rbOrigpath->setChecked(true);
    EdPath = Named(new QLineEdit, "EdPath");
    CbFullPath = Named(new QCheckBox(QStringLiteral("Zachovat celou cestu")), "CbFullPath");
    connect(rbOrigpath, &QRadioButton::clicked, this, &TZalohujFrm::UpdateRestorePlace);
    connect(rbOtherPath, &QRadioButton::clicked, this, &TZalohujFrm::UpdateRestorePlace);
    auto* placeLayout = new QGridLayout(place);
    placeLayout->addWidget(rbOrigpath, 0, 0, 1, 2);
    placeLayout->addWidget(rbOtherPath, 1, 0);
    placeLayout->addWidget(EdPath, 1, 1);
    placeLayout->addWidget(CbFullPath, 2, 1);
    UpdateRestorePlace();

    ObnovitBtn = Named(new QPushButton(QStringLiteral("Obnovit !")), "ObnovitBtn");
    connect(ObnovitBtn, &QPushButton::clicked, this, &TZalohujFrm::ObnovitBtnClick);
    Button6 = Named(new QPushButton(QStringLiteral("Zavřít")), "Button6");
    connect(Button6, &QPushButton::clicked, this, &TZalohujFrm::CloseClick);

    auto* left = new QVBoxLayout;
    left->addWidget(DriveComboBox1);
    left->addWidget(DirectoryListBox1, 2);
    left->addWidget(FileListBox1, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Popis:")));
    right->addWidget(Edit2);
    right->addWidget(new QLabel(QStringLiteral("Obsah zálohy:")));
    right->addWidget(Edit1);
    right->addWidget(MeFiles, 1);
    right->addWidget(rgRestoreMode);
    right->addWidget(place);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ObnovitBtn);
    buttons->addWidget(Button6);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    inputs_ << DriveComboBox1 << DirectoryListBox1 << FileListBox1 << rgRestoreMode << place << ObnovitBtn;
    return page;
}

void TZalohujFrm::showEvent(QShowEvent* event) {
    Activate();
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TZalohujFrm::Activate() {
    PageControl1->setCurrentIndex(0);
    const QString zaloha = QDir(programFolder_).filePath(QStringLiteral("zaloha"));
    QDir().mkpath(zaloha);
    setBackupFolder(zaloha);
    setRestoreFolder(zaloha);
    EdPath->setText(QDir::cleanPath(programFolder_));
    for (QCheckBox* box : CheckBox)
        box->setChecked(true);
    CheckBoxClick();
}

void TZalohujFrm::setBackupFolder(const QString& folder) {
    pointAt(folder, DriveComboBox2, DirectoryListBox2, FileListBox2, backupFiles_);
}

void TZalohujFrm::setRestoreFolder(const QString& folder) {
    pointAt(folder, DriveComboBox1, DirectoryListBox1, FileListBox1, archives_);
}

void TZalohujFrm::pointAt(const QString& folder, QComboBox* drive, QTreeView* tree, QListView* files,
                          QFileSystemModel* filesModel) {
    const QList<DriveFacts> drives = LinuxDrives();
    if (const DriveFacts* d = DriveOf(drives, folder)) {
        drive->setCurrentIndex(drive->findData(d->root));
        tree->setRootIndex(folders_->index(d->root));
    }
    tree->setCurrentIndex(folders_->index(folder));
    tree->scrollTo(tree->currentIndex());
    files->setRootIndex(filesModel->setRootPath(folder));
}

void TZalohujFrm::CheckBoxClick() {
    FileListBox->clear();
    FileListBox->addItems(BackupMasks(programFolder_, {CheckBox[0]->isChecked(), CheckBox[1]->isChecked(),
                                                       CheckBox[2]->isChecked(), CheckBox[3]->isChecked()}));
}

void TZalohujFrm::UpdateRestorePlace() {
    EdPath->setEnabled(rbOtherPath->isChecked());
    CbFullPath->setEnabled(rbOtherPath->isChecked());
}

QString TZalohujFrm::ArchivePath() const {
    const QModelIndex selected = FileListBox2->currentIndex();
    if (selected.isValid() && FileListBox2->selectionModel()->isSelected(selected))
        return backupFiles_->filePath(selected);
    const QDir folder(FolderOf(DirectoryListBox2, folders_));
    if (!Novysoubor->text().isEmpty())
        return folder.filePath(Novysoubor->text() + QStringLiteral(".bck"));
    return folder.filePath(QStringLiteral("zalohavartemo.bck"));
}

QString TZalohujFrm::SelectedArchive() const {
    const QModelIndex selected = FileListBox1->currentIndex();
    return selected.isValid() ? archives_->filePath(selected) : QString();
}

void TZalohujFrm::ZalohovatBtnClick() {
    if (FileListBox->count() == 0) {
        showMessage(QMessageBox::Warning, QStringLiteral("Vyberte soubory k zalohování!"));
        return;
    }
    const QString archive = ArchivePath();
    // No format dialog here: a removable medium simply gets parts.
    const bool removable = hooks_.onRemovableMedium ? hooks_.onRemovableMedium(archive) : OnRemovableMedium(archive);
    backup_.MaxSize = removable ? TBackupFile::kRemovablePartSize : 0;
    backup_.BackupTitle = EdBackupTitle->text();
    backup_.setBackupMode(backupModes_->checkedId() == 1 ? TBackupMode::bmIncremental : TBackupMode::bmAll);
    backup_.SetArchiveFlag = true;
    backup_.CompressionLevel = kCompressionItems[qMax(0, compressionLevels_->checkedId())].level;
    backup_.SaveFileID = CbSaveFileID->isChecked();
    Label1->setText(QStringLiteral("Připravuji data čekejte"));
    Label1->repaint();
    QStringList masks;
    for (int i = 0; i < FileListBox->count(); ++i)
        masks << FileListBox->item(i)->text();
    setWorking(true);
    const bool ok = backup_.BackupFiles(masks, archive);
    setWorking(false);
    if (ok) {
        if (hooks_.addLogEntry)
            hooks_.addLogEntry(TimedEntry(QDateTime::currentDateTime(), QStringLiteral("záloha dat")));
        showMessage(QMessageBox::Information, QStringLiteral("Záloha kompletní. Poměr komprese %1 %")
                                                  .arg(backup_.CompressionRatio()));
    } else {
        showMessage(QMessageBox::Critical, QStringLiteral("Nastala chyba vytvoření záložního souboru!"));
    }
}

void TZalohujFrm::ObnovitBtnClick() {
    backup_.RestoreMode = TRestoreMode(qMax(0, restoreModes_->checkedId()));
    QString target;
    if (!rbOrigpath->isChecked()) {
        target = EdPath->text().trimmed();
        if (target.isEmpty()) {
            showMessage(QMessageBox::Warning, QStringLiteral("Zadejte cílovou cestu!"));
            return;
        }
    }
    backup_.RestoreFullPath = CbFullPath->isEnabled() && CbFullPath->isChecked();
    const QString archive = SelectedArchive();
    setWorking(true);
    const bool ok = !archive.isEmpty() && backup_.RestoreArchive(archive, target);
    setWorking(false);
    if (!ok) {
        showMessage(QMessageBox::Critical, QStringLiteral("Nastala chyba obnovy dat !"));
        return;
    }
    if (hooks_.addLogEntry)
        hooks_.addLogEntry(TimedEntry(QDateTime::currentDateTime(), QStringLiteral("obnovení dat")));
    if (askUser(QMessageBox::Information, QStringLiteral("Programu bude nyní ukončen"),
                QStringLiteral("Data úspěšně obnovena ze záložního souboru\r\n"
                               "Změny budou uplatněny po novém spuštění programu!"))) {
        hide();
        if (hooks_.endProgram)
            hooks_.endProgram();
    }
}

void TZalohujFrm::FileListBox1Click() {
    MeFiles->clear();
    QStringList identities;
    const QString title = backup_.GetArchiveInfo(SelectedArchive(), &identities);
    Edit2->setText(title);
    // No header: nothing to sum up (a damaged one has been reported).
    if (title.isEmpty() && (backup_.ErrorCode() != 0 || backup_.FileCount() == 0)) {
        Edit1->clear();
        return;
    }
    Edit1->setText(ArchiveSummary(backup_.FileCount(), backup_.TotalSize()));
    MeFiles->setPlainText(ArchiveContentLines(identities).join(u'\n'));
}

void TZalohujFrm::CloseClick() {
    if (!backup_.IsBusy()) {
        accept();
        return;
    }
    if (askUser(QMessageBox::Question, QStringLiteral("Zálohování !"), QStringLiteral("Chcete přerušit zálohování !")))
        backup_.StopOperation();
}

void TZalohujFrm::closeEvent(QCloseEvent* event) {
    if (backup_.IsBusy()) {
        event->ignore();
        CloseClick();
        return;
    }
    QDialog::closeEvent(event);
}

void TZalohujFrm::reject() {
    if (backup_.IsBusy())
        CloseClick();
    else
        QDialog::reject();
}

void TZalohujFrm::ShowProgress(const QString& fileName, int percent) {
    if (percent < 100) {
        ProgressBar1->setVisible(true);
        ProgressBar1->setValue(percent);
        Label1->setText(fileName);
    } else {
        ProgressBar1->hide();
        Label1->setText(QStringLiteral("Dokončeno"));
    }
    ProgressBar1->repaint();
    // The work runs on this thread: between chunks the window lives.
    QApplication::processEvents();
}

void TZalohujFrm::setWorking(bool working) {
    for (QWidget* input : std::as_const(inputs_))
        input->setEnabled(!working);
    PageControl1->tabBar()->setEnabled(!working);
    if (!working)
        UpdateRestorePlace();
}

void TZalohujFrm::showMessage(QMessageBox::Icon icon, const QString& text, const QString& title) {
    if (hooks_.message) {
        hooks_.message(icon, title, text);
        return;
    }
    QMessageBox box(icon, title.isEmpty() ? kCaption : title, text, QMessageBox::Ok, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

bool TZalohujFrm::askForDisk(int disk) {
    return askUser(QMessageBox::Information, kCaption,
                   QStringLiteral("Please insert disk %1 and click OK to continue.").arg(disk), true);
}

bool TZalohujFrm::askUser(QMessageBox::Icon icon, const QString& title, const QString& text, bool okCancel) {
    if (hooks_.ask)
        return hooks_.ask(icon, title, text, okCancel);
    const auto yes = okCancel ? QMessageBox::Ok : QMessageBox::Yes;
    const auto no = okCancel ? QMessageBox::Cancel : QMessageBox::No;
    QMessageBox box(icon, title, text, yes | no, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return box.exec() == yes;
}

} // namespace vartemo

#include "moc_tzalohujfrm.cpp"
