#include "app/ftppagewiring.h"

#include "config/settings.h"
#include "config/settingspages.h"
#include "config/tnastavdlg.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace vartemo {

namespace {

using S = SettingId;

constexpr int kPictureQuality = 15;
constexpr qint64 kInfoEveryMs = 1000;
const QString kFtpServerGroup = QStringLiteral(" Ftp server ");

QPushButton* makeButton(const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

FtpPageWiring::FtpPageWiring(Parts parts)
    : parts_(std::move(parts)), client_(parts_.timeouts), publishing_(client_) {
    if (!parts_.chooseFile)
        parts_.chooseFile = [this](const QString& start) {
            return QFileDialog::getOpenFileName(&parts_.dialog, QString(), start);
        };
    // The page's own controls join the setting controls when the pages are built.
    parts_.dialog.installEventFilter(this);
    connect(&parts_.settings, &Settings::changed, this, [this](SettingId id) {
        // The two proxy kinds exclude each other.
        if (id == S::cbProxyHttp && parts_.settings.boolean(id))
            parts_.settings.setBoolean(S::cbProxyFtp, false);
        if (id == S::cbProxyFtp && parts_.settings.boolean(id))
            parts_.settings.setBoolean(S::cbProxyHttp, false);
        if (id >= S::cbFtp1 && id <= S::cbFtp6)
            updateSendButton();
    });
    TNastavDlg::Hooks& hooks = parts_.dialog.hooks();
    hooks.abortFtp = [this] { publishing_.abort(); };
    hooks.resetFtpProgress = [this] {
        if (progressBar_)
            progressBar_->setValue(0);
        if (progressPanel_)
            progressPanel_->hide();
    };
    connect(&publishing_, &FtpPublishing::progressChanged, this, [this](int position, int maximum) {
        if (!progressBar_)
            return;
        progressBar_->setMaximum(std::max(maximum, 1));
        progressBar_->setValue(position);
    });
    connect(&publishing_, &FtpPublishing::failed, this, [this](const QString& message) {
        if (progressPanel_)
            progressPanel_->hide();
        parts_.dialog.showMessage(message, true);
    });
    connect(&publishing_, &FtpPublishing::finished, this, &FtpPageWiring::onFinished);
    connect(&client_, &FtpClient::progress, this, [this](qint64 bytes) { showBytes(bytes, false); });
    connect(&client_, &FtpClient::requestDone, this, [this](const FtpReply& reply) { showBytes(reply.bytes, true); });
    connect(&client_, &FtpClient::stateChanged, this, [this](FtpState state) {
        if (state_)
            state_->setText(FtpStateText(state));
        if (state != FtpState::Connecting && waitCursor_) {
            QApplication::restoreOverrideCursor();
            waitCursor_ = false;
        }
    });
}

FtpPageWiring::~FtpPageWiring() {
    if (waitCursor_)
        QApplication::restoreOverrideCursor();
    parts_.dialog.removeEventFilter(this);
}

bool FtpPageWiring::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &parts_.dialog && event->type() == QEvent::Show && !send_) {
        parts_.dialog.ensureBuilt();
        buildControls();
    }
    return QObject::eventFilter(watched, event);
}

void FtpPageWiring::buildControls() {
    auto* pages = parts_.dialog.findChild<SettingsPages*>();
    if (!pages || send_)
        return;
    // "..." beside each chosen file; slot 5's name is made by the program.
    for (int slot : {1, 2, 3, 4, 6}) {
        const SettingId file = NumberedSetting(S::FtpSoubor1, slot);
        auto* choose = makeButton(QStringLiteral("btnFtpSoubor%1").arg(slot).toLatin1().constData(), QStringLiteral("..."));
        choose->setMaximumWidth(28);
        pages->lineOf(file)->insertWidget(pages->lineOf(file)->indexOf(pages->control(file)) + 1, choose);
        connect(choose, &QPushButton::clicked, this, [this, file] {
            const QString chosen = parts_.chooseFile(parts_.settings.text(file));
            if (!chosen.isEmpty())
                parts_.settings.setText(file, chosen);
        });
    }
    const QString slotHint = QStringLiteral(" Tabulky se vytvoří automaticky \r\n jméno _muzi.jpg \r\n jméno _zeny.jpg ");
    pages->control(S::FtpSoubor5)->setToolTip(slotHint);
    pages->control(S::cbFtp5)->setToolTip(slotHint);
    for (int slot = 1; slot <= kFtpSlotCount; ++slot)
        pages->control(NumberedSetting(S::FtpAdr1, slot))->setToolTip(QStringLiteral("Rozlišujte velikost písma."));

    QGridLayout* grid = pages->groupGrid(kPageFtp, kFtpServerGroup);
    auto* buttons = new QHBoxLayout;
    send_ = makeButton("btnPosliFtp", QStringLiteral("&Pošli data"));
    stop_ = makeButton("Ukonci_BitBtn", QStringLiteral(" &Zrušit    "));
    buttons->addWidget(send_);
    buttons->addWidget(stop_);
    grid->addLayout(buttons, grid->rowCount(), 0, 1, -1);
    state_ = new QLabel(FtpStateText(client_.connected() ? FtpState::Connected : FtpState::Ready));
    state_->setObjectName(QStringLiteral("StateLabel"));
    info_ = new QLabel(QStringLiteral("0"));
    info_->setObjectName(QStringLiteral("InfoLabel"));
    grid->addWidget(state_, grid->rowCount(), 0);
    grid->addWidget(info_, grid->rowCount() - 1, 1);

    progressPanel_ = new QWidget;
    progressPanel_->setObjectName(QStringLiteral("ProgressFtp"));
    auto* panel = new QVBoxLayout(progressPanel_);
    auto* wait = new QLabel(QStringLiteral("Čekejte prosím posílám data !"));
    wait->setObjectName(QStringLiteral("Label49"));
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setValue(0);
    panel->addWidget(wait);
    panel->addWidget(progressBar_);
    grid->addWidget(progressPanel_, grid->rowCount(), 0, 1, -1);
    progressPanel_->hide();

    connect(send_, &QPushButton::clicked, this, [this] { btnPosliFtpClick(); });
    connect(stop_, &QPushButton::clicked, this, [this] {
        publishing_.cancel();
        progressBar_->setValue(0);
        progressPanel_->hide();
    });
    updateSendButton();
}

void FtpPageWiring::updateSendButton() {
    if (send_)
        send_->setEnabled(CheckedFtpSlots(parts_.settings) > 0 && !publishing_.running());
}

void FtpPageWiring::setClosingEnabled(bool enabled) {
    for (const char* name : {"OK_BitBtn", "btn_Zrus"})
        if (auto* button = parts_.dialog.findChild<QPushButton*>(QLatin1String(name)))
            button->setEnabled(enabled);
}

void FtpPageWiring::showBytes(qint64 bytes, bool now) {
    if (!info_)
        return;
    // The count changes often; the operator reads it once a second.
    if (!now && sinceInfo_.isValid() && sinceInfo_.elapsed() < kInfoEveryMs)
        return;
    sinceInfo_.start();
    info_->setText(QString::number(bytes));
    info_->repaint();
}

void FtpPageWiring::btnPosliFtpClick(int limitMs) {
    if (publishing_.running())
        return;
    parts_.dialog.ensureBuilt();
    buildControls();
    // 1. Nothing else may close the dialog or start another run meanwhile.
    setClosingEnabled(false);
    send_->setEnabled(false);
    if (!waitCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    // 2. Slot 5: both tables as pictures made now.
    std::array<bool, 2> made{false, false};
    if (parts_.settings.boolean(S::cbFtp5) && parts_.saveTablePicture)
        for (bool women : {false, true})
            made[women ? 1 : 0] = parts_.saveTablePicture(women, TablePicturePath(parts_.settings, women), kPictureQuality);
    // 3., 5. Progress shown, the connection and the uploads.
    progressBar_->setValue(0);
    progressPanel_->show();
    publishing_.start(FtpEndpointFromSettings(parts_.settings), FtpUploadsFromSettings(parts_.settings, made), limitMs);
}

void FtpPageWiring::onFinished() {
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    if (progressPanel_)
        progressPanel_->hide();
    setClosingEnabled(true);
    // Evaluated again at every end, so the next sending is never left disabled.
    updateSendButton();
}

void FtpPageWiring::sendAtProgramEnd(int limitMs) {
    // The check boxes decide, not the state the button was left in.
    if (!parts_.settings.boolean(S::cbAutoPosliFTP) || CheckedFtpSlots(parts_.settings) == 0)
        return;
    TNastavDlg& dialog = parts_.dialog;
    dialog.ensureBuilt();
    buildControls();
    dialog.show();
    QEventLoop loop;
    connect(&publishing_, &FtpPublishing::finished, &loop, &QEventLoop::quit);
    btnPosliFtpClick(limitMs);
    if (publishing_.running())
        loop.exec();
    dialog.hide();
}

} // namespace vartemo

#include "moc_ftppagewiring.cpp"
