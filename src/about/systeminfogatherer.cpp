#include "about/systeminfogatherer.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vartemo {

// Shared with the worker, which may outlive the gatherer when the system
// never answers: it then finds no owner to report to.
struct SystemInfoGatherer::State {
    std::mutex mutex;
    std::condition_variable done;
    SystemInfoGatherer* owner = nullptr;
    bool running = false;
    quint64 finished = 0; // collections completed
    SystemFacts latest;
};

SystemInfoGatherer::SystemInfoGatherer(std::shared_ptr<const SystemInfoSource> source, QObject* parent)
    : QObject(parent), source_(std::move(source)), state_(std::make_shared<State>()) {
    state_->owner = this;
}

SystemInfoGatherer::~SystemInfoGatherer() {
    const std::lock_guard lock(state_->mutex);
    state_->owner = nullptr;
}

bool SystemInfoGatherer::busy() const {
    const std::lock_guard lock(state_->mutex);
    return state_->running;
}

void SystemInfoGatherer::start() {
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->running)
            return;
        state_->running = true;
    }
    std::thread([state = state_, source = source_] {
        SystemFacts facts = source->collect();
        const std::lock_guard lock(state->mutex);
        state->running = false;
        ++state->finished;
        state->latest = facts;
        state->done.notify_all();
        // Posted while the owner cannot go away; a posted call dies with its
        // receiver, so a gatherer destroyed before delivery gets nothing.
        if (SystemInfoGatherer* owner = state->owner)
            QMetaObject::invokeMethod(owner, [owner, facts = std::move(facts)] { emit owner->gathered(facts); },
                                      Qt::QueuedConnection);
    }).detach();
}

std::optional<SystemFacts> SystemInfoGatherer::waitForFacts(std::chrono::milliseconds timeout) {
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->finished > 0)
            return state_->latest;
    }
    start(); // unless one runs: that one is waited for
    std::unique_lock lock(state_->mutex);
    if (!state_->done.wait_for(lock, timeout, [&] { return state_->finished > 0; }))
        return std::nullopt;
    return state_->latest;
}

} // namespace vartemo

#include "moc_systeminfogatherer.cpp"
