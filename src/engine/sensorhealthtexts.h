#pragma once

#include "engine/sensorhealth.h"

#include <QString>

namespace vartemo {

// The Czech texts of the sensor health: a source's name and short label,
// the tooltip of its lamp, the stuck contact's line.

// "Čidlo 3", "Přijímač COM", "Infra přijímač 1", "Snímač 192.168.0.5".
QString SourceName(const SourceHealth& source);
// Under the lamp: "3", "COM", "IR1", ".5" (the address's last part).
QString SourceLabel(const SourceHealth& source);
// "Čidlo 3 trvale sepnuto": the log book's line and the strip's.
QString StuckContactText(int input);
// "před 12 s", "před 3 min", "před 2 h".
QString AgoText(TimeUs elapsed);
// The lamp's tooltip: when last heard, passings and rejected inputs in the
// ride and since start, why it failed; the unknown codes worth teaching for
// the serial and infrared receivers.
QString SourceTooltip(const SensorHealth& health, int slot, TimeUs now);

} // namespace vartemo
