#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace vartemo {

class Settings;

// What the printing settings give every result and best-twenty sheet: the
// track's logo with its size and placement, and the eight header texts.
struct SheetTexts {
    std::array<QString, 8> text; // Text1 .. Text8
    QImage logo;                 // null: no logo (not set, or it did not load)
    int logoSize = 50;           // VelikostLOGA, percent
    bool centreLogo = true;      // "Centrovat logo"
};

// What the diploma settings give the diploma.
struct DiplomaSettings {
    QImage picture;      // "Tisk_Diplom"/"Logo1"
    int pictureSize = 50;
    QImage logo;         // "Tisk_Diplom"/"Logo"
    int logoSize = 50;
    std::array<QString, 4> text; // Text9 .. Text12
};

// A picture file named in the settings, relative to the program folder as
// the start-up check takes it; a file that is missing or does not load gives
// a null image.
QImage LoadSettingsPicture(const QString& path, const QString& programFolder);

SheetTexts ReadSheetTexts(const Settings& settings, const QString& programFolder);
// Each picture loads on its own: a bad logo does not keep the picture away.
DiplomaSettings ReadDiplomaSettings(const Settings& settings, const QString& programFolder);

} // namespace vartemo
