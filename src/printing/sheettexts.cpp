#include "printing/sheettexts.h"

#include "config/settings.h"

#include <QDir>
#include <QImageReader>

namespace vartemo {

QImage LoadSettingsPicture(const QString& path, const QString& programFolder) {
    if (path.trimmed().isEmpty())
        return {};
    QString file = path;
    file.replace(u'\\', u'/');
    QImageReader reader(QDir(programFolder).filePath(file));
    reader.setAutoTransform(true);
    return reader.read();
}

SheetTexts ReadSheetTexts(const Settings& settings, const QString& programFolder) {
    SheetTexts texts;
    for (int line = 1; line <= 8; ++line)
        texts.text[size_t(line - 1)] = settings.printText(line);
    texts.logo = LoadSettingsPicture(settings.text(SettingId::PrintLogo), programFolder);
    texts.logoSize = settings.integer(SettingId::VelikostLOGA);
    texts.centreLogo = settings.boolean(SettingId::CentrovatLOGO);
    return texts;
}

DiplomaSettings ReadDiplomaSettings(const Settings& settings, const QString& programFolder) {
    DiplomaSettings diploma;
    diploma.logo = LoadSettingsPicture(settings.text(SettingId::DiplomaLogo), programFolder);
    diploma.logoSize = settings.integer(SettingId::Diplom_Velikost_loga);
    diploma.picture = LoadSettingsPicture(settings.text(SettingId::DiplomaPicture), programFolder);
    diploma.pictureSize = settings.integer(SettingId::Diplom_Velikost_obrazek);
    for (int line = 1; line <= 4; ++line)
        diploma.text[size_t(line - 1)] = settings.diplomaText(line);
    return diploma;
}

} // namespace vartemo
