// vartemo.ini and registry.ini written by the station's own code while the
// writing process is SIGKILLed at random moments: each kill leaves the file
// of the last finished save or of the one in progress, whole.

#include "config/settings.h"
#include "platform/fileregistrystore.h"
#include "support/killcampaign.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// A save changes a few settings; the operator's note grows with n, so that
// the file's length differs from one save to the next.
void SaveSettings(const QString& path, long n) {
    Settings settings;
    settings.loadFile(path);
    settings.setText(SettingId::EdWebAdresa, QStringLiteral("10.0.%1.%2").arg(n / 250).arg(n % 250));
    settings.setInteger(SettingId::SpinWebPort, int(1024 + n % 60000));
    settings.setText(SettingId::FtpHostitel, QStringLiteral("ftp%1.").arg(n) + QString(int(n % 97) * 20, u'x'));
    settings.saveFile();
}

// One value written per generation (each write saves the file), beside the
// keys of four decoders that the first one writes.
void WriteRegistry(const QString& path, long n) {
    FileRegistryStore store(path);
    const QString key = QStringLiteral("Software\\vartemo_kestral\\ir\\nastaveni%1");
    for (int port = 1; port <= 4; ++port)
        if (!store.readString(key.arg(port), QStringLiteral("ComName")))
            store.writeString(key.arg(port), QStringLiteral("ComName"), QStringLiteral("COM%1").arg(port));
    store.writeBinary(key.arg(1), QStringLiteral("Sekvence"), QByteArray(int(n % 200), char(n)));
}

} // namespace

TEST(KillCampaign, SettingsFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("vartemo.ini"), SaveSettings);
}

TEST(KillCampaign, RegistryFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("registry.ini"), WriteRegistry);
}
