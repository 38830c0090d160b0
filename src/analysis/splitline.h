#pragma once

#include <QString>

namespace vartemo {

// A line of a track list: a label of up to three characters ("  L" for a
// whole lap, a sensor's identifier, or nothing), a blank and the time text.
struct SplitLine {
    QString label; // as written, blanks included ("  L", "10", "")
    QString time;  // the text after the last blank

    // Trailing blanks are ignored; a line without a blank is all time.
    static SplitLine Parse(const QString& line);
    bool isWholeLap() const;
};

} // namespace vartemo
