#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logbookmodel.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QDateTime kModelNow(QDate(2026, 12, 9), QTime(14, 3, 27));

QStringList texts(const QAbstractItemModel& m, const QModelIndex& parent = {}) {
    QStringList out;
    for (int r = 0; r < m.rowCount(parent); ++r)
        out << m.index(r, 0, parent).data().toString();
    return out;
}

class LogBookModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(textfile::writeLines(path, {"Spuštění programu 8:00:00 8.12.2026", "\tKč 150 Admin 9:00:00 8.12.2026",
                                                "\t\thlubší", "\tdruhý"}));
        ASSERT_TRUE(book.LoadLogBook());
    }
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("vartemo.den"));
    LogBook book{path, [] { return kModelNow; }};
};

TEST_F(LogBookModelTest, ShowsRunsWithTheirEventsAndFollowsAdditions) {
    LogBookModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex firstRun = model.index(0, 0);
    EXPECT_EQ(texts(model, firstRun).size(), 2);
    EXPECT_EQ(texts(model, model.index(0, 0, firstRun)), QStringList{QStringLiteral("hlubší")});

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    book.AddLogEntry(QStringLiteral("Kč 90 Petr 14:20:41 9.12.2026"));
    ASSERT_EQ(inserted.size(), 1);
    const QModelIndex thisRun = model.index(1, 0);
    EXPECT_EQ(inserted[0][0].value<QModelIndex>(), thisRun);
    EXPECT_EQ(texts(model, thisRun), QStringList{QStringLiteral("Kč 90 Petr 14:20:41 9.12.2026")});
    EXPECT_EQ(LogBookModel::entryOf(model.index(0, 0, thisRun)), book.entries().size() - 1);
    EXPECT_EQ(model.indexOfEntry(book.entries().size() - 1), model.index(0, 0, thisRun));
}

TEST_F(LogBookModelTest, ClearingResetsTheView) {
    LogBookModel model(book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    book.ClearLogBook();
    EXPECT_EQ(reset.size(), 1);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(texts(model, model.index(0, 0)), QStringList{QStringLiteral("14:03:27 - Admin :deník smazán")});
    book.AddLogEntry(QStringLiteral("po smazání"));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 2);
}

} // namespace
