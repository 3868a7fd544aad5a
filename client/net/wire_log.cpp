#include "client/net/wire_log.h"

void WireLog::setEnabled(bool enable) {
    platform::Lock hold(lock);
    on.store(enable);
    if (!enable) pending.clear();
}

void WireLog::add(uint32_t atMs, int slot, bool gone, const char* text, size_t length) {
    if (!enabled()) return;
    platform::Lock hold(lock);
    if (!on.load() || pending.size() >= WIRE_LOG_LIMIT) {
        if (on.load()) ++dropped;
        return;
    }
    pending.emplace_back();
    WireState& state = pending.back();
    state.atMs = atMs;
    state.slot = slot;
    state.gone = gone;
    if (!gone) state.text.assign(text, length);
}

void WireLog::take(std::vector<WireState>* out) {
    out->clear();
    platform::Lock hold(lock);
    out->swap(pending);
}
