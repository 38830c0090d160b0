#pragma once

#include "platform/portio.h"

#include <QString>
#include <memory>
#include <vector>

namespace vartemo {

// Parallel ports that exist only in a small memory-mapped file, so that a
// track can be tried without hardware: the station reads and writes them
// through PortIo, and a tool (or a test) in another process sets the status
// lines (kart sensors, start button) and watches the data lines (lights,
// pulse). Each base address the station touches gets a slot of its own; a new
// slot starts with every line low.
class SimulatedPort final : public PortIo {
public:
    static constexpr int kSlotCount = 7;

    // Maps the file, creating it when missing. Null with *error when the file
    // cannot be made or is something else; a symbolic link is not followed, so
    // a link planted in a shared temporary folder cannot redirect the writes.
    static std::unique_ptr<SimulatedPort> open(const QString& path, QString* error = nullptr);
    // $XDG_RUNTIME_DIR/vartemo-port, or a per-user file in the temporary folder.
    static QString DefaultPath();

    ~SimulatedPort() override;
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    quint16 Inp32(quint16 address) override;
    // Data and control registers only: the status lines are driven from outside.
    void Out32(quint16 address, quint16 value) override;
    // Any base other than 0 while a slot is free or already holds it.
    bool present(quint16 address) override;

    // --- the outside world's side ----------------------------------------
    quint8 status(quint16 base);
    void setStatus(quint16 base, quint8 value);
    // Sets (on) or clears the given status bits, leaving the others.
    void changeStatusBits(quint16 base, quint8 bits, bool on);
    quint8 data(quint16 base);
    // Bases that have a slot, in slot order.
    std::vector<quint16> bases();

private:
    struct Slot;
    struct Layout;
    explicit SimulatedPort(Layout* layout) : layout_(layout) {}
    // The slot of the base, claiming a free one; null when the table is full.
    Slot* slot(quint16 base);
    // The slot holding the register at the address; null past the third register.
    Slot* slotOf(quint16 address);

    Layout* layout_;
};

} // namespace vartemo
