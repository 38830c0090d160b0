#pragma once

#include "logbook/programlog.h"

#include <QString>
#include <optional>

namespace vartemo {

// What the start-up check of the serial receiver found.
struct SerialReceiverCheck {
    bool inUse = false;              // "Použít COM"
    std::optional<bool> portOpen;    // nullopt: opening raised an error
    bool cts = false;                // receiver powered and connected
    bool dsr = false;
};

// Runs the start-up check of the serial receiver (open, wait, read the
// lines, close).
class SerialReceiverProbe {
public:
    virtual ~SerialReceiverProbe() = default;
    virtual SerialReceiverCheck CheckReceiver() = 0;
};

// Status lines 4, 9 and 10; all empty when the receiver is not in use.
void RecordSerialReceiver(ProgramLog& log, const SerialReceiverCheck& check);

// The three pictures the printouts use, as the settings name them.
struct PictureFiles {
    QString diplomaLogo;    // "Tisk_Diplom"/"Logo"
    QString diplomaPicture; // "Tisk_Diplom"/"Logo1"
    QString printLogo;      // "Tisk"/"Logo"
};

// Status lines 5, 6 and 7. A relative path is taken from the program folder;
// an empty one counts as missing. Returns whether the print logo exists.
bool RecordPictureFiles(ProgramLog& log, const PictureFiles& files, const QString& programFolder);

// The message shown at every start while the print logo is missing.
inline const QString kMissingLogoMessage =
    QStringLiteral("LOGO není dostupné!\r\nProvedte kontrolu nastavení tisku.");

} // namespace vartemo
