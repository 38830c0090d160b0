#include "engine/tform1.h"

#include "core/version.h"
#include "engine/raceboardview.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vartemo {

namespace {
// Client areas; with the 8-pixel borders the windows are 993 and 675 wide.
constexpr QSize kWideClient(977, 686);
constexpr QSize kNarrowClient(659, 686);
} // namespace

QString TForm1::MainCaption() {
    return QStringLiteral("Vartemo Kestral verze %1.%2")
        .arg(version::kMajor)
        .arg(version::kMinor);
}

TForm1::TForm1(RaceBoard& board, QWidget* parent) : QMainWindow(parent), board_(board) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MainCaption());

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column_ = column;
    // The page control fills the client's width (976 of 977): no side margins.
    column->setContentsMargins(0, 4, 0, 0);

    controlRow_ = new QHBoxLayout;
    controlRow_->setContentsMargins(4, 0, 4, 0);
    column->addLayout(controlRow_);

    auto* lengthFrame = new QGroupBox(QStringLiteral(" Délka jízdy "), central);
    lengthFrame_ = lengthFrame;
    lengthFrame->setObjectName(QStringLiteral("gbDelkaJizdy"));
    auto* lengthLayout = new QHBoxLayout(lengthFrame);
    casZavodu_ = new QSpinBox(lengthFrame);
    casZavodu_->setObjectName(QStringLiteral("CasZavodu"));
    casZavodu_->setRange(1, 59);
    casZavodu_->setValue(10);
    rbMinuty_ = new QRadioButton(QStringLiteral("minut"), lengthFrame);
    rbMinuty_->setObjectName(QStringLiteral("rbMinuty"));
    rbKola_ = new QRadioButton(QStringLiteral("kol"), lengthFrame);
    rbKola_->setObjectName(QStringLiteral("rbKola"));
    rbMinuty_->setChecked(true);
    lengthLayout->addWidget(casZavodu_);
    lengthLayout->addWidget(rbMinuty_);
    lengthLayout->addWidget(rbKola_);
    controlRow_->addWidget(lengthFrame);
    controlRow_->addStretch(1);

    commandPanel_ = new QWidget(central);
    commandPanel_->setObjectName(QStringLiteral("pnlPrikazy"));
    commandLayout_ = new QVBoxLayout(commandPanel_);
    commandLayout_->setContentsMargins(0, 0, 0, 0);

    boardRow_ = new QHBoxLayout;
    boardView_ = new RaceBoardView(board_, central);
    boardView_->setFixedHeight(480);
    boardRow_->addWidget(boardView_);
    column->addLayout(boardRow_);
    column->addStretch(1);

    setCentralWidget(central);
    ApplyLayout(true);
}

void TForm1::insertBeforeRaceLength(QWidget* frame) {
    controlRow_->insertWidget(controlRow_->indexOf(lengthFrame_), frame);
}

void TForm1::insertBelowBoard(QWidget* strip) {
    column_->insertWidget(column_->indexOf(boardRow_) + 1, strip);
}

bool TForm1::countsMinutes() const {
    return rbMinuty_->isChecked();
}

void TForm1::setCountsMinutes(bool minutes) {
    (minutes ? rbMinuty_ : rbKola_)->setChecked(true);
}

void TForm1::ApplyLayout(bool showTrackLists) {
    boardView_->ApplyLayout(showTrackLists);
    placeCommandPanel(showTrackLists);
    // A fixed frame: the operator cannot stretch or maximise it.
    setFixedSize(showTrackLists ? kWideClient : kNarrowClient);
    emit layoutApplied(showTrackLists);
}

void TForm1::placeCommandPanel(bool wide) {
    // Wide: a block at the end of the control row. Narrow: a column to the
    // right of the lists.
    if (wide) {
        boardRow_->removeWidget(commandPanel_);
        controlRow_->addWidget(commandPanel_);
    } else {
        controlRow_->removeWidget(commandPanel_);
        boardRow_->addWidget(commandPanel_, 0, Qt::AlignTop);
    }
}

} // namespace vartemo

#include "moc_tform1.cpp"
