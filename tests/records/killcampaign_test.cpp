// TopDeset.ini and TopDeset1.ini saved by the station while the saving
// process is SIGKILLed at random moments: each kill leaves the last save or
// the one in progress, whole.

#include "records/toptables.h"
#include "support/killcampaign.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// Generation n names the first row of the table after n (the rename saves).
killcampaign::Writer RenameFirstRow(TopTable which) {
    return [which](const QString& path, long n) {
        TopTables tables(QFileInfo(path).absolutePath());
        tables.Load();
        const TopTenRow& first = tables.table(which).row(0);
        QStringList errors;
        tables.Rename(which, 0, first.field(1), first.field(2), QStringLiteral("Jezdec %1").arg(n), errors);
    };
}

} // namespace

TEST(KillCampaign, BestTwentyFiles) {
    killcampaign::ExpectWholeAfterEveryKill(TopTables::FileName(TopTable::Men), RenameFirstRow(TopTable::Men));
    killcampaign::ExpectWholeAfterEveryKill(TopTables::FileName(TopTable::Women), RenameFirstRow(TopTable::Women));
}
