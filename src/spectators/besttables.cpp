#include "spectators/besttables.h"

namespace vartemo {

bool IsPlaceholderRow(const BestTableRow& row) {
    return row.name == QLatin1String("noname") && row.time == QLatin1String("59:59:999");
}

} // namespace vartemo
