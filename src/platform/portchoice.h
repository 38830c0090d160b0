#pragma once

#include <QString>
#include <optional>

namespace vartemo {

// A parallel port as the settings name it: 1 = LPT1, 2 = LPT2, 3 = the port
// whose base address is the hexadecimal text (at most four digits, "DC00").
struct PortChoice {
    int choice = 1;
    QString baseText = QStringLiteral("DC00");

    bool operator==(const PortChoice&) const = default;
};

inline constexpr quint16 kLpt1Base = 0x378;
inline constexpr quint16 kLpt2Base = 0x278;

// The base address of the choice; nullopt when no port is chosen or when the
// third choice's text is not a hexadecimal number of one to four digits (or
// is 0), so that no register anywhere is touched by a typing slip.
std::optional<quint16> PortBaseFromChoice(const PortChoice& choice);

} // namespace vartemo
