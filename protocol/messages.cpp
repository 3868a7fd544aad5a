#include "protocol/protocol.h"

#include <cstdio>
#include <cstring>

#include "protocol/scan.h"

namespace protocol {

namespace {
// snprintf's length, or 0 when the text was cut or could not be written.
size_t fitted(int n, size_t capacity) { return n > 0 && size_t(n) < capacity ? size_t(n) : 0; }
}  // namespace

size_t formatJoinReply(const char* mapName, int32_t serverFull, int32_t fragLimit, char* out,
                       size_t capacity) {
    int n = std::snprintf(out, capacity, "%s/%s.bxm %i %i", mapName, mapName, int(serverFull),
                          int(fragLimit));
    return fitted(n, capacity);
}

int parseJoinReply(const char* text, JoinReply* reply) {
    TextScanner scan(text);
    if (!scan.token(reply->mapPath, sizeof reply->mapPath)) return 0;
    if (!scan.integer(&reply->serverFull)) return 1;
    if (!scan.integer(&reply->fragLimit)) return 2;
    return 3;
}

namespace {
// One name of a map path: [begin, end).
bool safePathName(const char* begin, const char* end) {
    size_t length = size_t(end - begin);
    if (length == 0) return false;
    if (length <= 2 && std::strncmp(begin, "..", length) == 0) return false;  // "." or ".."
    for (const char* c = begin; c < end; ++c)
        if (*c <= ' ' || *c > '~' || *c == '\\' || *c == ':') return false;
    return true;
}
}  // namespace

bool isSafeMapPath(const char* path) {
    const char* slash = std::strchr(path, '/');
    if (!slash || std::strchr(slash + 1, '/')) return false;
    return safePathName(path, slash) && safePathName(slash + 1, slash + std::strlen(slash));
}

size_t formatStateMessage(const StateMessage& s, char* out, size_t capacity) {
    int n = std::snprintf(out, capacity, "%s %s %i %f %f %f %i %i %i %s %i %f %f %f %f %f %f",
                          s.clientId, s.name, int(s.skin), double(s.x), double(s.y),
                          double(s.yaw), int(s.animFrame), int(s.frags), int(s.dead),
                          s.killerId, int(s.beamVisible), double(s.beamX), double(s.beamY),
                          double(s.beamYaw), double(s.beamLength), double(s.beamEndX),
                          double(s.beamEndY));
    size_t length = fitted(n, capacity);
    return length ? appendChecksum(out, length, capacity) : 0;
}

size_t formatRelayMessage(int32_t vacant, const char* state, char* out, size_t capacity) {
    size_t length = fitted(std::snprintf(out, capacity, "%i %s", int(vacant), state), capacity);
    return length ? appendChecksum(out, length, capacity) : 0;
}

int parseRelayMessage(const char* text, RemoteState* out) {
    *out = RemoteState{};
    int32_t dead = 0, beamVisible = 0;
    struct Field {
        char kind;  // 'i' "%i", 'f' "%f", 's' "%s"
        void* to;
        size_t size;
    };
    const Field fields[] = {
        {'i', &out->vacant, 0},      {'s', out->clientId, sizeof out->clientId},
        {'s', out->name, sizeof out->name},
        {'i', &out->skin, 0},        {'f', &out->x, 0},
        {'f', &out->y, 0},           {'f', &out->yaw, 0},
        {'i', &out->animFrame, 0},   {'i', &out->frags, 0},
        {'i', &dead, 0},             {'s', out->killerId, sizeof out->killerId},
        {'i', &beamVisible, 0},      {'f', &out->beamX, 0},
        {'f', &out->beamY, 0},       {'f', &out->beamYaw, 0},
        {'f', &out->beamLength, 0},  {'f', &out->beamEndX, 0},
        {'f', &out->beamEndY, 0},
    };
    TextScanner scan(text);
    int converted = 0;
    // Stop at the first field that does not convert, as one 18-conversion
    // scan would; the rest keep their defaults.
    for (const Field& f : fields) {
        bool ok = f.kind == 'i'   ? scan.integer(static_cast<int32_t*>(f.to))
                  : f.kind == 'f' ? scan.real(static_cast<float*>(f.to))
                                  : scan.token(static_cast<char*>(f.to), f.size);
        if (!ok) break;
        ++converted;
    }
    // The one-byte flags keep the low 8 bits of what was sent.
    out->dead = uint8_t(dead);
    out->beamVisible = uint8_t(beamVisible);
    return converted;
}

}  // namespace protocol
