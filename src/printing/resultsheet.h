#pragma once

#include "core/clock.h"
#include "engine/raceboard.h"
#include "printing/pagemodel.h"
#include "printing/sheettexts.h"

#include <QDateTime>
#include <QStringList>
#include <array>
#include <functional>

namespace vartemo {

// The lap sheet lists every kart's laps, the split sheet its track lines.
enum class ResultKind { Laps, Splits };

struct ResultSheetInput {
    ResultKind kind = ResultKind::Laps;
    std::array<QStringList, kKartCount> lines; // Kola_mezicas or Draha_mezicas, kart 1 first
    std::array<QString, kKartCount> names;     // the drivers of the ride
    int selection = 0;                         // rgTiskKary: 0 every kart, n kart n only
    SheetTexts texts;
    int trackLength = 1;                       // DelkaTrate, metres
    QDateTime now;
    double screenDpi = 96.0;
};

// One kart's summary over all of its lines. Lines that do not read as a
// time are left out (count tells the lines read); firstError keeps the
// message of the first one.
struct KartSummary {
    TimeMs total = 0;
    TimeMs minimum = 0;
    TimeMs maximum = 0;
    TimeMs average = 0;
    qint64 speed = 0; // hundredths of km/h
    int count = 0;
    int unreadable = 0;
    QString firstError;
};

// Lines per column for the number of kart columns on a page (1..8).
int RowsPerColumn(ResultKind kind, int columns);

// The time a line holds: the lap line as it stands; a split line's last
// blank-separated word ("  L 00:12:234", "5 00:04:321", " 00:04:321").
QString TimeTextOfLine(ResultKind kind, const QString& line);

KartSummary SummarizeKart(ResultKind kind, const QStringList& lines, int trackLength);

// Average speed in hundredths of km/h from the total S (ms) of N laps on a
// track of the given length; 0 when the average lap is too short to measure.
qint64 AverageSpeed(TimeMs total, int count, int trackLength);
// "36,00 Km/h"
QString SpeedText(qint64 hundredths);

// The five summary lines under a kart column at offset x; small text with
// five or more columns on the page.
void DrawKartSummary(Page& page, const KartSummary& summary, Hmm x, int columns);

// Composes the whole sheet. progress (when set) hears each page composed
// against the pages planned.
Sheet ComposeResultPages(const ResultSheetInput& input,
                         const std::function<void(int done, int planned)>& progress = {});

// The sheet's preview caption and its print job's name.
QString ResultSheetCaption(ResultKind kind);
inline const QString kResultJobName = QStringLiteral("vartemo - časy");


} // namespace vartemo
