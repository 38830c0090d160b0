#pragma once

#include "fleet/kartstatus.h"

#include <QString>

namespace vartemo {

// The kart status file "stav.ini": sections "Motokara1" … "Motokara8", each
// with the same 27 keys. Read with defaults for what is missing and ranges
// clamped; written all at once, atomically, keeping the lines the station
// does not know.

// A missing file gives every kart its defaults. The driven-time texts and the
// task counters are taken as they stand; interval minutes of -1 or 60 are
// wrapped as their input field would.
KartStatusRecords LoadKartStatus(const QString& path);

// Writes every key of the eight karts (numbers in decimal, flags "1"/"0",
// texts as they stand) into the file's current content and replaces the file
// in one step. On failure *error gets the message naming the file, and the
// file is left as it was.
bool SaveKartStatus(const QString& path, const KartStatusRecords& karts, QString* error = nullptr);

// The section of kart 1..8.
QString KartSection(int kart);

} // namespace vartemo
