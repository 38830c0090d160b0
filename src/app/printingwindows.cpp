#include "app/printingwindows.h"

#include "app/besttwentywiring.h"
#include "records/ttopten10frm.h"

#include "config/settings.h"
#include "engine/commandbuttons.h"
#include "engine/raceboard.h"
#include "engine/racecontrol.h"
#include "printing/besttwentypreviewdialog.h"
#include "printing/diplomadialog.h"
#include "printing/resultpreviewdialog.h"
#include "printing/stationprinter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace vartemo {

namespace {
double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}
} // namespace

PrintingWindows::PrintingWindows(Sources sources)
    : src_(std::move(sources)), printer_(std::make_unique<StationPrinter>(src_.pdfFolder)),
      diplomaPrinter_(std::make_unique<StationPrinter>(src_.pdfFolder)) {}

PrintingWindows::~PrintingWindows() {
    delete bestTwenty_;
    delete lapSheet_;
    delete splitSheet_;
    delete diploma_;
}

void PrintingWindows::showProblem(const QString& message) const {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message, QMessageBox::Ok,
                    src_.mainWindow);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

ResultSheetInput PrintingWindows::resultInput(BoardList list) const {
    ResultSheetInput in;
    for (int k = 1; k <= kKartCount; ++k)
        in.lines[size_t(k - 1)] = src_.board.lines(k, list);
    in.names = src_.race.rideDriverNames();
    in.texts = ReadSheetTexts(src_.settings, src_.programFolder);
    in.trackLength = src_.settings.integer(SettingId::DelkaTrate);
    in.now = QDateTime::currentDateTime();
    in.screenDpi = ScreenDpi();
    return in;
}

void PrintingWindows::connectProblems(PrintPreviewDialog* dialog) {
    QObject::connect(dialog, &PrintPreviewDialog::problem, dialog, [this](const QString& m) { showProblem(m); });
}

TNahled1Dlg* PrintingWindows::bestTwentySheet() {
    if (!bestTwenty_) {
        bestTwenty_ = new TNahled1Dlg(
            *printer_,
            [this] {
                BestTwentyInput in;
                in.men = men_;
                in.women = women_;
                in.texts = ReadSheetTexts(src_.settings, src_.programFolder);
                in.now = QDateTime::currentDateTime();
                in.screenDpi = ScreenDpi();
                return in;
            },
            src_.mainWindow);
        connectProblems(bestTwenty_);
    }
    return bestTwenty_;
}

TNahled2Dlg* PrintingWindows::lapSheet() {
    if (!lapSheet_) {
        lapSheet_ = new TNahled2Dlg(
            *printer_, [this] { return resultInput(BoardList::Lap); }, src_.mainWindow);
        connectProblems(lapSheet_);
    }
    return lapSheet_;
}

TNahled3Dlg* PrintingWindows::splitSheet() {
    if (!splitSheet_) {
        splitSheet_ = new TNahled3Dlg(
            *printer_, [this] { return resultInput(BoardList::Track); }, src_.mainWindow);
        connectProblems(splitSheet_);
    }
    return splitSheet_;
}

TDiplomDlg* PrintingWindows::diploma() {
    if (!diploma_) {
        diploma_ = new TDiplomDlg(
            *diplomaPrinter_,
            [this] {
                DiplomaInput in;
                in.settings = ReadDiplomaSettings(src_.settings, src_.programFolder);
                in.now = QDateTime::currentDateTime();
                in.screenDpi = ScreenDpi();
                return in;
            },
            src_.mainWindow);
        connectProblems(diploma_);
    }
    return diploma_;
}

void PrintingWindows::Connect(CommandButtons& buttons) {
    QObject::connect(&buttons, &CommandButtons::printResults, &buttons, [this] { ShowLapSheet(); });
    QObject::connect(&buttons, &CommandButtons::printSplits, &buttons, [this] { ShowSplitSheet(); });
    QObject::connect(&buttons, &CommandButtons::printDiploma, &buttons, [this] { ShowDiploma(); });
}

void PrintingWindows::ShowLapSheet() { lapSheet()->exec(); }
void PrintingWindows::ShowSplitSheet() { splitSheet()->exec(); }
void PrintingWindows::ShowDiploma() { diploma()->exec(); }

void PrintingWindows::ShowDiplomaFor(const QString& name, int placement) {
    diploma()->preset(name, placement);
    diploma()->exec();
}

void PrintingWindows::ConnectBestTwenty(BestTwentyWiring& bestTwenty) {
    BestTwentyWiring::WindowHooks& hooks = bestTwenty.hooks();
    hooks.print = [this, &bestTwenty] {
        // The tables as the window shows them: frame, rows that fit, scroll bars.
        const auto grab = [&bestTwenty](const char* name) {
            QWidget* list =
                bestTwenty.window() ? bestTwenty.window()->findChild<QWidget*>(QLatin1String(name)) : nullptr;
            return list ? list->grab().toImage() : QImage();
        };
        ShowBestTwentySheet(grab("TopTenList"), grab("TopTenList1"));
    };
    hooks.diploma = [this](const QString& name, int placement) { ShowDiplomaFor(name, placement); };
}

void PrintingWindows::ShowBestTwentySheet(const QImage& men, const QImage& women) {
    men_ = men;
    women_ = women;
    bestTwentySheet()->exec();
    // The pictures go with the window's pages.
    men_ = {};
    women_ = {};
}

QStringList PrintingWindows::AutoPrint() {
    return lapSheet()->PrintAllKartsWithoutDialog();
}

} // namespace vartemo
