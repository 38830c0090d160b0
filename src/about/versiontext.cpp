#include "about/versiontext.h"

#include "core/version.h"

namespace vartemo {

VersionLabels VersionTextOf(int major, int minor, int build) {
    return {QStringLiteral("Vartemo Kestral verze %1.%2").arg(major).arg(minor),
            QStringLiteral("sestavení %1").arg(build)};
}

VersionLabels LoadVersionText() {
    return VersionTextOf(version::kMajor, version::kMinor, version::kBuild);
}

} // namespace vartemo
