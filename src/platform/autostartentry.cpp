#include "platform/autostartentry.h"

#include "platform/fileregistrystore.h"

namespace vartemo {

const QString AutostartEntry::kValueName = QStringLiteral("vartemo_kestral");

bool AutostartEntry::set(bool on, const QString& programPath) {
    if (on)
        return registry_.writeString(FileRegistryStore::kRunKey, kValueName,
                                     u'"' + programPath + u'"');
    // Nothing to delete counts as done.
    return registry_.deleteValue(FileRegistryStore::kRunKey, kValueName) || !isSet();
}

bool AutostartEntry::isSet() const {
    return registry_.readString(FileRegistryStore::kRunKey, kValueName).has_value();
}

} // namespace vartemo
