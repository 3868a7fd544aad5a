#include "server/admission.h"

#include <cstring>

#include "platform/text.h"

namespace {
bool expired(uint32_t grantedMs, uint32_t nowMs) {
    return nowMs - grantedMs > JoinPasses::WINDOW_MS;
}
}  // namespace

JoinPasses::Pass* JoinPasses::place(uint32_t ip, const char* clientId, uint32_t nowMs) {
    Pass* same = nullptr;
    Pass* free = nullptr;
    Pass* oldest = nullptr;
    for (Pass& p : passes) {
        bool live = p.count > 0 && !expired(p.grantedMs, nowMs);
        if (live && p.ip == ip && std::strcmp(p.clientId, clientId) == 0) same = &p;
        if (!live && !free) free = &p;
        if (live && (!oldest || nowMs - p.grantedMs > nowMs - oldest->grantedMs)) oldest = &p;
    }
    if (same) return same;
    Pass* p = free ? free : oldest;
    *p = Pass{};
    p->ip = ip;
    platform::copyText(p->clientId, clientId);
    return p;
}

void JoinPasses::grant(uint32_t ip, uint32_t nowMs) {
    platform::Lock hold(lock);
    Pass* p = place(ip, "", nowMs);
    // One host cannot hold more passes than there are slots.
    if (p->count < protocol::SLOT_COUNT) p->count += 1;
    p->grantedMs = nowMs;
}

void JoinPasses::grantReturn(uint32_t ip, const char* clientId, uint32_t nowMs) {
    platform::Lock hold(lock);
    Pass* p = place(ip, clientId, nowMs);
    p->count = 1;
    p->grantedMs = nowMs;
}

bool JoinPasses::take(uint32_t ip, const char* clientId, uint32_t nowMs) {
    platform::Lock hold(lock);
    Pass* any = nullptr;
    for (Pass& p : passes) {
        if (p.count == 0 || p.ip != ip || expired(p.grantedMs, nowMs)) continue;
        if (std::strcmp(p.clientId, clientId) == 0 && p.clientId[0] != '\0') {
            p.count = 0;  // the returning player's own pass first
            return true;
        }
        if (p.clientId[0] == '\0') any = &p;
    }
    if (!any) return false;
    any->count -= 1;
    return true;
}

void FanOutBudget::start(uint32_t nowMs) {
    milliTokens = BURST * 1000;
    lastMs = nowMs;
}

bool FanOutBudget::spend(uint32_t nowMs) {
    uint32_t elapsed = nowMs - lastMs;
    lastMs = nowMs;
    int64_t tokens = int64_t(milliTokens) + int64_t(elapsed) * RATE;
    if (tokens > int64_t(BURST) * 1000) tokens = int64_t(BURST) * 1000;
    if (tokens < 1000) {
        milliTokens = int32_t(tokens);
        return false;
    }
    milliTokens = int32_t(tokens - 1000);
    return true;
}
