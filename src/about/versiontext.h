#pragma once

#include <QString>

namespace vartemo {

struct VersionLabels {
    QString caption; // "Vartemo Kestral verze 2.3"
    QString build;   // "sestavení 87"
};

// The texts of a version major.minor.patch.build.
VersionLabels VersionTextOf(int major, int minor, int build);
// The texts of the version this program was built as.
VersionLabels LoadVersionText();

} // namespace vartemo
