#pragma once

#include "platform/systeminfo.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// The facts of a computer whose host look-up or network share does not
// answer: collect() returns only when released, or after 5 s.
class HeldSystemInfoSource final : public vartemo::SystemInfoSource {
public:
    explicit HeldSystemInfoSource(QString hostName) : hostName_(std::move(hostName)) {}

    vartemo::SystemFacts collect() const override {
        std::unique_lock lock(mutex_);
        ++calls_;
        released_.wait_for(lock, std::chrono::seconds(5), [this] { return open_; });
        vartemo::SystemFacts facts;
        facts.hostName = hostName_;
        return facts;
    }
    void release() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        released_.notify_all();
    }
    int calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

private:
    QString hostName_;
    mutable std::mutex mutex_;
    mutable std::condition_variable released_;
    mutable int calls_ = 0;
    bool open_ = false;
};
