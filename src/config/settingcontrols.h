#pragma once

#include "config/settingid.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace vartemo {

// How a setting's holder control looks in the settings dialog.
enum class ControlKind {
    Check,       // QCheckBox, captioned
    Spin,        // QSpinBox with the setting's range, a label before and a unit after
    Slider,      // QSlider over the setting's range (mixer bars)
    Radio,       // QGroupBox of radio buttons, one per item
    PortButtons, // three radio buttons named by the holder's "a/b/c" parts
    BitList,     // eight checkable items, item i = bit i
    Edit,        // QLineEdit with the setting's length; passwords echo as dots
    Picture,     // a picture loaded from the setting's path
};

// The pages of Page1, in order.
enum SettingsPage : int {
    kFramePage = -1, // on the dialog itself, below the pages (the view level)
    kPageStart = 0,
    kPageSemafor,
    kPageSounds,
    kPagePrint,
    kPageDiploma,
    kPageTv,
    kPageHardware,
    kPageCom,
    kPageCodes,
    kPageFtp,
    kPageEditor,
    kPageTests,
    kPageCount
};

// One holder control: the setting, where it sits, how it is captioned.
struct ControlRow {
    SettingId id;
    int page;
    QString group;     // caption of the group box it sits in (controls of one group share it)
    int groupColumns;  // controls per line in that group
    ControlKind kind;
    QString caption;   // check box text, label before a spin or edit, radio group title
    QString unit;      // text after a spin edit ("ms", "Kč")
    QStringList items; // radio and port buttons, bit list items
};

// Every SettingId exactly once, page by page, group by group, in the order
// the dialog shows them.
const std::vector<ControlRow>& SettingControls();
const ControlRow& ControlOf(SettingId id);

// Captions of the pages (their trailing blanks are part of them).
const QStringList& PageCaptions();

// rgZobrazeni: 0 "Minimální", 1 "Základní", 2 "Technické", 3 "Kompletní".
QList<int> VisiblePages(int level);
int ActivePageOf(int level);

} // namespace vartemo
