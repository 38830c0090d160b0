#include "engine/lapfilecommands.h"

#include "engine/lapfiles.h"
#include "engine/raceboardview.h"
#include "engine/tform1.h"

#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>

namespace vartemo {

namespace {

QString qtFilter(const lapfiles::FilterEntry& e) {
    return QStringLiteral("%1 (%2)").arg(e.caption, e.pattern);
}

} // namespace

LapFileCommands::LapFileCommands(TForm1& window, RaceBoard& board, QString resultsFolder)
    : QObject(&window), window_(window), board_(board), resultsFolder_(std::move(resultsFolder)) {
    prompt_ = [this](bool save, const QString& folder, int filterIndex) {
        return showDialog(save, folder, filterIndex);
    };
    report_ = [this](const QString& message) {
        QMessageBox::critical(&window_, QString(), message);
    };
    connect(window_.boardView(), &RaceBoardView::saveRequested, this, &LapFileCommands::Uloz1Click);
    connect(window_.boardView(), &RaceBoardView::loadRequested, this, &LapFileCommands::Nacti1Click);
    window_.setAcceptDrops(true);
    window_.installEventFilter(this);
}

std::optional<QString> ShowFileDialog(QWidget* parent, const FileDialogRequest& request) {
    const auto entries = lapfiles::FilterEntries(request.filter);
    QStringList filters;
    for (const auto& e : entries)
        filters << qtFilter(e);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDirectory(request.folder);
    if (!request.name.isEmpty())
        dialog.selectFile(request.name);
    // A typed name gets the extension of the selected entry before the
    // dialog checks for an existing file.
    auto useSuffixOf = [&](const QString& filter) {
        const auto i = filters.indexOf(filter);
        if (i >= 0)
            dialog.setDefaultSuffix(lapfiles::WithFilterExtension(QString(), entries[i].pattern).mid(1));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    dialog.selectNameFilter(filters.value(request.filterIndex));
    useSuffixOf(filters.value(request.filterIndex));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> LapFileCommands::showDialog(bool save, const QString& folder,
                                                   int filterIndex) {
    return ShowFileDialog(&window_, {.save = save, .folder = folder, .filter = lapfiles::kDialogFilter,
                                      .filterIndex = filterIndex, .name = {}});
}

void LapFileCommands::Uloz1Click(int kart, BoardList list) {
    QDir().mkpath(resultsFolder_);
    const int filter = lapfiles::InitialFilterIndex(RaceBoardView::ButtonName("Uloz", kart, list));
    const auto path = prompt_(true, resultsFolder_, filter);
    if (!path)
        return;
    QString error;
    if (!lapfiles::Save(*path, board_.lines(kart, list), &error))
        report_(error);
}

void LapFileCommands::Nacti1Click(int kart, BoardList list) {
    const int filter = lapfiles::InitialFilterIndex(RaceBoardView::ButtonName("Nacti", kart, list));
    const auto path = prompt_(false, resultsFolder_, filter);
    if (path)
        load(*path, kart, list);
}

void LapFileCommands::load(const QString& path, int kart, BoardList list) {
    QString error;
    if (const auto lines = lapfiles::Load(path, &error))
        board_.setLines(kart, list, *lines);
    else
        report_(error);
}

void LapFileCommands::dropFile(const QString& path, const QPoint& pos) {
    // The control under the point, disabled ones included; a list's inner
    // parts lead up to the list.
    for (QWidget* w = window_.childAt(pos); w && w != &window_; w = w->parentWidget()) {
        if (const auto target = lapfiles::TargetForDrop(w->objectName(), path)) {
            load(path, target->kart, target->list);
            return;
        }
    }
}

bool LapFileCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QList<QUrl> urls = drop->mimeData()->urls();
        // Only the first file counts.
        if (!urls.isEmpty() && urls.first().isLocalFile())
            dropFile(urls.first().toLocalFile(), drop->position().toPoint());
        drop->acceptProposedAction();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vartemo

#include "moc_lapfilecommands.cpp"
