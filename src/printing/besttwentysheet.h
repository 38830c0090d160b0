#pragma once

#include "printing/pagemodel.h"
#include "printing/sheettexts.h"

#include <QDateTime>
#include <QImage>

namespace vartemo {

// What the best-twenty sheet prints: the two tables as the window shows
// them (grabbed pictures of TopTenList and TopTenList1), the printing
// settings' logo and texts, the date and time.
struct BestTwentyInput {
    QImage men;
    QImage women;
    SheetTexts texts;
    QDateTime now;
    double screenDpi = 96.0;
};

inline const QString kBestTwentyJobName = QStringLiteral("vartemo - top dvacet");
inline const QString kBestTwentyCaption = QStringLiteral("Náhled tisku  -  Nejlepších dvacet časů");

// One A4 portrait page: whatever paper the result sheets left on the shared
// printer, this sheet sets its own.
Sheet ComposeBestTwentySheet(const BestTwentyInput& input);

} // namespace vartemo
