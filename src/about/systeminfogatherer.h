#pragma once

#include "platform/systeminfo.h"

#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

namespace vartemo {

// Collects the system facts on a worker thread, so that a slow host look-up
// or a share that does not answer never holds up the user interface. One
// collection runs at a time; the result arrives as gathered() on the thread
// that owns the gatherer.
class SystemInfoGatherer : public QObject {
    Q_OBJECT
public:
    explicit SystemInfoGatherer(std::shared_ptr<const SystemInfoSource> source, QObject* parent = nullptr);
    ~SystemInfoGatherer() override;

    // Starts a collection unless one is running already.
    void start();
    bool busy() const;
    // Start-up: the facts of a collection that has ended, else of the one
    // running or started now, waiting for them at most timeout; nullopt
    // when they have not come by then (gathered() still follows).
    std::optional<SystemFacts> waitForFacts(std::chrono::milliseconds timeout);

signals:
    void gathered(const vartemo::SystemFacts& facts);

private:
    struct State;
    std::shared_ptr<const SystemInfoSource> source_;
    std::shared_ptr<State> state_;
};

} // namespace vartemo
