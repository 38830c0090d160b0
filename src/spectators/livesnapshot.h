#pragma once

#include <QByteArray>
#include <atomic>
#include <memory>

namespace vartemo {

// One published state of the live results: the document's bytes and its
// sequence number, which is also its entity tag. Never changed once made.
struct LiveSnapshot {
    quint64 seq = 0;
    QByteArray json;
    QByteArray etag; // "\"57\"" for seq 57
};

// The hand-over from the GUI thread, which makes snapshots, to the page
// server's thread, which answers from them: one shared pointer swapped
// whole, so a reader holds a complete snapshot for as long as it needs.
class LiveSnapshotSlot {
public:
    void publish(std::shared_ptr<const LiveSnapshot> snapshot) {
        current_.store(std::move(snapshot), std::memory_order_release);
    }
    std::shared_ptr<const LiveSnapshot> current() const {
        return current_.load(std::memory_order_acquire);
    }

private:
    std::atomic<std::shared_ptr<const LiveSnapshot>> current_;
};

} // namespace vartemo
