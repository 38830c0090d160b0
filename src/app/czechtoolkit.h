#pragma once

#include <QString>

class QApplication;

namespace vartemo {

// Makes the toolkit's own dialogs look as the station's: Czech texts (file
// dialogs, input and message box buttons) whatever the Linux locale is, and
// message boxes without a caption really without one (the desktop would
// otherwise show the program's name). Returns false when the Czech
// translation is not installed; the rest applies anyway.
bool InstallCzechToolkit(QApplication& app);

// The toolkit's Czech translation file as the station loads it from the
// system's Qt translations, or an empty text when it is not installed.
QString CzechToolkitTranslation();

} // namespace vartemo
