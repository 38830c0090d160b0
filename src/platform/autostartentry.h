#pragma once

#include <QString>

namespace vartemo {

class RegistryStore;

// "Spustit po startu Windows": the value "vartemo_kestral" under the current
// user's Run key holds the program file's full path in double quotes; no
// value means the station does not start with the system.
class AutostartEntry {
public:
    static const QString kValueName; // "vartemo_kestral"

    explicit AutostartEntry(RegistryStore& registry) : registry_(registry) {}

    bool set(bool on, const QString& programPath);
    bool isSet() const;

private:
    RegistryStore& registry_;
};

} // namespace vartemo
