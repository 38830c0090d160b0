// vartemo.den appended to by the station while the appending process is
// SIGKILLed at random moments, then started again on the same file, as after
// a crash: every line before the kill stays whole, a line the kill cut short
// is at most the file's unfinished end, which the log book skips and the
// next start does not build on.

#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logentries.h"
#include "support/killcampaign.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QDateTime kCampaignNow(QDate(2026, 12, 11), QTime(14, 3, 27));

// Entry n: long enough (up to some 12 KB) that its line spans pages, which
// a kill can cut in the middle of its write.
QString EntryText(long n) {
    return QStringLiteral("Událost %1 ").arg(n) + QString(int(n * 997 % 12000), QChar(char16_t(u'a' + n % 26))) + u'.';
}

struct BookCheck {
    bool whole = true;
    QString fault;
    long lastEntry = -1;
    bool tornEnd = false;
};

// Every line ended by CR LF is a program start or one whole entry, the
// entries in order; an unended last line is the start of the next entry.
BookCheck CheckFile(const QString& path, long lastReported) {
    BookCheck c;
    const QByteArray bytes = killcampaign::FileBytes(path);
    const QString start = ProgramStartEntry(kCampaignNow);
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", from);
        const QString line = textfile::decode(bytes.mid(from, end < 0 ? -1 : end - from));
        if (end < 0) {
            c.tornEnd = true;
            const QString next = u'\t' + EntryText(c.lastEntry + 1);
            if (!next.startsWith(line)) {
                c.whole = false;
                c.fault = QStringLiteral("unended last line is no entry's start: %1").arg(line.left(40));
            }
            break;
        }
        from = end + 2;
        if (line == start)
            continue;
        static const QRegularExpression number(QStringLiteral("^\tUdálost (\\d+) "));
        const auto m = number.match(line);
        const long n = m.hasMatch() ? m.captured(1).toLong() : -1;
        if (n != c.lastEntry + 1 || line != u'\t' + EntryText(n)) {
            c.whole = false;
            c.fault = QStringLiteral("line after entry %1 is not the next entry whole: %2 ... (%3 characters)")
                          .arg(c.lastEntry).arg(line.left(40)).arg(line.size());
            break;
        }
        c.lastEntry = n;
    }
    if (c.whole && c.lastEntry < lastReported) {
        c.whole = false;
        c.fault = QStringLiteral("entry %1 was appended but is not in the file").arg(lastReported);
    }
    return c;
}

} // namespace

TEST(KillCampaign, LogBookKeepsEveryWholeLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.den"));
    // Each child is a start of the station that appends entries from the
    // one after the last whole entry in the file.
    int kills = 0, torn = 0, broken = 0;
    QString firstFault;
    long last = -1;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayUs(0, 200);
    for (int k = 0; k < 50; ++k) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const long first = last + 1;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(report[0]);
            ::alarm(30);
            LogBook book(path, [] { return kCampaignNow; });
            book.LoadLogBook();
            // A few entries, then a wait for the kill: the file grows by
            // little per start, so that 50 starts read it quickly.
            for (long n = first; n < first + 16; ++n) {
                book.AddLogEntry(EntryText(n));
                if (::write(report[1], &n, sizeof n) != sizeof n)
                    ::_exit(1);
            }
            for (;;)
                ::pause();
        }
        ::close(report[1]);
        pollfd firstReport{report[0], POLLIN, 0};
        ::poll(&firstReport, 1, 10'000);
        ::usleep(useconds_t(delayUs(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        last = killcampaign::LastReported(report[0], last);
        ::close(report[0]);
        ++kills;
        const BookCheck check = CheckFile(path, last);
        torn += check.tornEnd ? 1 : 0;
        if (!check.whole && broken++ == 0)
            firstFault = QStringLiteral("kill %1: %2").arg(k + 1).arg(check.fault);
        if (!check.whole)
            break;
        last = check.lastEntry;
    }
    std::cout << "[ kill     ] vartemo.den: " << kills << " kills, " << torn << " left an unended last line, "
              << broken << " broken " << firstFault.toStdString() << "; " << last + 1 << " entries" << std::endl;
    EXPECT_EQ(broken, 0) << firstFault.toStdString();
    EXPECT_EQ(kills, 50);

    // What the log book reads: the whole entries, none cut short.
    LogBook reader(path, [] { return kCampaignNow; });
    reader.LoadLogBook();
    long expected = 0;
    for (const LogBookEntry& e : reader.entries()) {
        if (e.level == 0)
            continue;
        ASSERT_EQ(e.text, EntryText(expected)) << "entry " << expected;
        ++expected;
    }
    EXPECT_EQ(expected, last + 1);
}
