#include "publishing/ftpuploads.h"

#include "config/settings.h"
#include "publishing/ftpclient.h"

namespace vartemo {

namespace {

using S = SettingId;

QString FileNamePart(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(slash + 1);
}

// An empty folder keeps slot 1's.
QString FolderOf(const Settings& settings, int slot) {
    const QString folder = settings.text(NumberedSetting(S::FtpAdr1, slot)).trimmed();
    return folder.isEmpty() ? settings.text(S::FtpAdr1).trimmed() : folder;
}

bool Checked(const Settings& settings, int slot) {
    return settings.boolean(NumberedSetting(S::cbFtp1, slot));
}

FtpUpload FileSlot(const Settings& settings, int slot) {
    const QString file = settings.text(NumberedSetting(S::FtpSoubor1, slot));
    return FtpUpload{file, FolderOf(settings, slot), FileNamePart(file).toLower(), {}};
}

FtpUpload PictureSlot(const Settings& settings, bool women, bool made) {
    const QString file = TablePicturePath(settings, women);
    FtpUpload upload{file, FolderOf(settings, 4), FileNamePart(file), {}};
    if (!made)
        upload.problem = QStringLiteral("Obrázek tabulky %1 se nepodařilo vytvořit, neodesílá se").arg(file);
    return upload;
}

} // namespace

int FtpSlotOf(int upload) {
    static constexpr std::array<int, kFtpUploadCount> slotOf = {1, 2, 3, 4, 5, 5, 6};
    return slotOf[size_t(upload)];
}

int CheckedFtpSlots(const Settings& settings) {
    int count = 0;
    for (int slot = 1; slot <= kFtpSlotCount; ++slot)
        count += Checked(settings, slot) ? 1 : 0;
    return count;
}

QString TablePicturePath(const Settings& settings, bool women) {
    return settings.text(S::FtpSoubor4) + (women ? QStringLiteral("_zeny.jpg") : QStringLiteral("_muzi.jpg"));
}

FtpUploads FtpUploadsFromSettings(const Settings& settings, std::array<bool, 2> picturesMade) {
    FtpUploads uploads;
    for (int i = 0; i < kFtpUploadCount; ++i) {
        const int slot = FtpSlotOf(i);
        if (!Checked(settings, slot))
            continue;
        if (slot == 5)
            uploads[size_t(i)] = PictureSlot(settings, i == 5, picturesMade[size_t(i - 4)]);
        else
            uploads[size_t(i)] = FileSlot(settings, slot);
    }
    return uploads;
}

FtpEndpoint FtpEndpointFromSettings(const Settings& settings) {
    FtpEndpoint e;
    e.host = settings.text(S::FtpHostitel).trimmed();
    e.user = settings.text(S::FtpJmeno);
    e.password = settings.text(S::FtpHeslo);
    if (settings.boolean(S::cbProxyHttp))
        e.proxy = FtpEndpoint::Proxy::Http;
    else if (settings.boolean(S::cbProxyFtp))
        e.proxy = FtpEndpoint::Proxy::FtpGateway;
    e.proxyHost = settings.text(S::ProxyAdresa).trimmed();
    e.proxyPort = settings.text(S::eProxyPort).trimmed();
    e.proxyUser = settings.text(S::ProxyJmeno);
    e.proxyPassword = settings.text(S::ProxyHeslo);
    return e;
}

QString FtpStateText(FtpState state) {
    switch (state) {
    case FtpState::Connecting: return QStringLiteral("Připojuji");
    case FtpState::Connected: return QStringLiteral("Připojen");
    case FtpState::Ready: break;
    }
    return QStringLiteral("Připraven");
}

} // namespace vartemo
