// The kill campaign's own check: a writer that truncates the file and writes
// it anew in pieces is caught, the station's atomic write is not.

#include "core/textfile.h"
#include "support/killcampaign.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QByteArray Content(long n) {
    return QByteArray(int(40000 + n % 20000), char('a' + n % 26));
}

} // namespace

TEST(KillCampaign, APlainRewriteIsCaughtAndTheAtomicWriteHolds) {
    const auto plain = killcampaign::RunInFolder(QStringLiteral("plain.txt"), [](const QString& path, long n) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            return;
        const QByteArray bytes = Content(n);
        for (qsizetype at = 0; at < bytes.size(); at += 4096)
            file.write(bytes.mid(at, 4096));
    });
    EXPECT_GT(plain.broken, 0) << killcampaign::Describe(plain);
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("atomic.txt"), [](const QString& path, long n) {
        writeFileAtomically(path, Content(n));
    });
}
