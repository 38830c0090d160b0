#pragma once

#include <QtGlobal>

// The fixed pieces of the archive's layout and the bounds a reader holds
// every length to, so a damaged archive never makes it allocate or loop
// without limit.
namespace vartemo::archive {

inline constexpr char kBlockMarker[4] = {'E', 'C', '2', '\0'};
// In place of an entry's name: the next part follows ("NEXT:DISK002").
inline constexpr const char* kPartSwitch = "NEXT:DISK";
inline constexpr int kMaxPart = 999;
// Names (and the title) longer than the longest Linux path are damage.
inline constexpr qint32 kMaxNameBytes = 4096;
inline constexpr qint64 kMaxIdentityBytes = 16 * 1024 * 1024;
// A part ends at the first chunk boundary from this many bytes below its size.
inline constexpr qint64 kPartReserve = 16484;

} // namespace vartemo::archive
