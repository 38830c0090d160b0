#include "app/startupstatus.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

TEST(StartupStatus, SerialLinesOnlyWhenTheReceiverIsInUse) {
    struct Case {
        SerialReceiverCheck check;
        QString port, cts, dsr;
    };
    const Case cases[] = {
        {{false, true, true, true}, "", "", ""},
        {{true, true, true, false}, "Status\t100042\tOK", "Status\t110336\tOK", "Status\t110348\tError"},
        {{true, false, false, true}, "Status\t100042\tError", "Status\t110336\tError", "Status\t110348\tOK"},
        {{true, std::nullopt, false, false}, "", "Status\t110336\tError", "Status\t110348\tError"},
    };
    for (const Case& c : cases) {
        ProgramLog log("unused");
        log.setLine(StartupLine::SerialPort, "stale");
        RecordSerialReceiver(log, c.check);
        EXPECT_EQ(log.line(StartupLine::SerialPort), c.port);
        EXPECT_EQ(log.line(StartupLine::SerialCts), c.cts);
        EXPECT_EQ(log.line(StartupLine::SerialDsr), c.dsr);
    }
}

TEST(StartupStatus, PictureLinesFollowTheFiles) {
    QTemporaryDir dir;
    QFile logo(dir.filePath("logo.bmp"));
    ASSERT_TRUE(logo.open(QIODevice::WriteOnly));
    logo.close();
    ProgramLog log("unused");
    // Relative to the program folder, absolute, and empty (= missing).
    EXPECT_TRUE(RecordPictureFiles(log, {"logo.bmp", dir.filePath("nic.bmp"), dir.filePath("logo.bmp")}, dir.path()));
    EXPECT_EQ(log.line(StartupLine::DiplomaLogo), "Status\t100051\tOK");
    EXPECT_EQ(log.line(StartupLine::DiplomaPicture), "Status\t100061\tError");
    EXPECT_EQ(log.line(StartupLine::PrintLogo), "Status\t100071\tOK");
    EXPECT_FALSE(RecordPictureFiles(log, {"", "", ""}, dir.path()));
    EXPECT_EQ(log.line(StartupLine::PrintLogo), "Status\t100071\tError");
    // A folder is no picture.
    EXPECT_FALSE(RecordPictureFiles(log, {"", "", dir.path()}, dir.path()));
}
