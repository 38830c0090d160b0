#include "about/historyfile.h"
#include "about/taboutbox.h"
#include "about/tinformacedlg.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(AboutBox, HasItsFrameAndControls) {
    TAboutBox box;
    EXPECT_EQ(box.size(), QSize(633, 385));
    EXPECT_EQ(box.level(), 0) << "see-through at rest";
    EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    for (const char* name : {"Image1", "Image2", "ProductName", "Build", "Label1", "Label2", "Label3"})
        EXPECT_NE(box.findChild<QLabel*>(name), nullptr) << name;
    EXPECT_EQ(box.findChild<QLabel*>("Label1")->text(), QStringLiteral("Orvane Software"));
    EXPECT_EQ(box.findChild<QLabel*>("Label3")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(box.findChild<QPushButton*>("ZavritAbout")->text(), QStringLiteral("&Zavřít"));
    EXPECT_EQ(box.findChild<QPushButton*>("InformaceBtn")->text(), QStringLiteral("&Informace"));
    auto* info = box.findChild<QPlainTextEdit*>("InfoPC");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isReadOnly());
    EXPECT_EQ(info->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    box.setVersion(QStringLiteral("Vartemo Kestral verze 2.3"), QStringLiteral("sestavení 87"));
    box.setSystemInfo({"Vartemo Kestral verze 2.3 sestavení 87", "Program instalován do: /data/", "", "Systém:\tDebian"});
    EXPECT_EQ(box.systemInfo().value(3), QStringLiteral("Systém:\tDebian"));
    EXPECT_EQ(box.buildText(), QStringLiteral("sestavení 87"));
}

TEST(AboutBox, FadesByTenthsOfTheScale) {
    const QList<int> in = TAboutBox::FadeInLevels();
    EXPECT_EQ(in.first(), 15);
    EXPECT_EQ(in.value(1), 25);
    EXPECT_EQ(in.value(in.size() - 2), 245);
    EXPECT_EQ(in.last(), 255);
    const QList<int> out = TAboutBox::FadeOutLevels();
    EXPECT_EQ(out.first(), 240);
    EXPECT_EQ(out.value(out.size() - 2), 10);
    EXPECT_EQ(out.last(), 0);
}

TEST(AboutBox, OpensWithFocusOnCloseAndClosesFadingWithAbort) {
    TAboutBox box;
    QSignalSpy activated(&box, &TAboutBox::activated);
    QSignalSpy finished(&box, &QDialog::finished);
    box.ShowModal();
    EXPECT_TRUE(box.isVisible()) << "open at once, without waiting for the fade";
    EXPECT_EQ(activated.size(), 1);
    QApplication::setActiveWindow(&box);
    EXPECT_EQ(box.focusWidget(), box.findChild<QPushButton*>("ZavritAbout"));
    QTRY_COMPARE(box.level(), 255);

    QTest::mouseClick(box.findChild<QPushButton*>("ZavritAbout"), Qt::LeftButton);
    EXPECT_TRUE(box.isVisible()) << "the fade out comes first";
    QTRY_VERIFY(!box.isVisible());
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0][0].toInt(), TAboutBox::kAbort);
    EXPECT_EQ(box.result(), 3);
    EXPECT_EQ(box.level(), 0);
}

TEST(AboutBox, ContactLineOpensAMailtoLink) {
    TAboutBox box;
    QList<QUrl> opened;
    box.setUrlOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    box.show();
    QTest::mouseClick(box.findChild<QLabel*>("Label3"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(opened[0].path(), TAboutBox::kContactAddress);
}

TEST(InformaceDialog, ShowsTheHistoryFileInWindows1250) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Historie.txt");
    TInformaceDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Informace"));
    EXPECT_EQ(dialog.size(), QSize(426, 671));

    dialog.LoadHistory(path);
    EXPECT_TRUE(dialog.text().isEmpty()) << "no file: an empty memo, no message";

    // "Příliš žluťoučký kůň" in Windows-1250, one line ended by LF, one by CR.
    writeBytes(path, "verze 2.3\nP\xf8\xed\x6c\x69\x9a \x9e\x6c\x75\x9d\x6f\x75\xe8\x6b\xfd \x6b\xf9\xf2\rkonec");
    dialog.LoadHistory(path);
    EXPECT_EQ(dialog.text(), QStringLiteral("verze 2.3\nPříliš žluťoučký kůň\nkonec"));
}

TEST(HistoryFile, ReadsAtMostOneMebibyte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Historie.txt");
    writeBytes(path, QByteArray(kMaxHistoryBytes + 1000, 'a'));
    EXPECT_EQ(ReadHistory(path).size(), kMaxHistoryBytes);
}

TEST(HistoryFile, TheShippedHistoryGoesOnlyIntoAFolderWithout) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Historie.txt");
    ASSERT_TRUE(EnsureHistoryFile(dir.path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    EXPECT_TRUE(bytes.contains("\r\n"));
    EXPECT_TRUE(bytes.contains("zm\xec" "n")) << "Windows-1250 letters";
    EXPECT_TRUE(ReadHistory(path).startsWith(QStringLiteral("Vartemo Kestral – historie změn")));

    writeBytes(path, "vlastní");
    ASSERT_TRUE(EnsureHistoryFile(dir.path()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("vlastní")) << "an existing file is kept";
}

} // namespace
