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

namespace {
// Appends one field's text, blank-separated, as "%s", "%i" or "%f" would write
// it; false once it would not fit `capacity` with the terminator.
class FieldWriter {
public:
    FieldWriter(char* out, size_t capacity) : out(out), capacity(capacity) {}
    void text(const char* value) { append("%s", value); }
    void integer(int value) { append("%i", value); }
    void real(float value) { append("%f", double(value)); }
    // The whole text's length, or 0 when it did not fit.
    size_t length() const { return ok ? used : 0; }

private:
    template <class T>
    void append(const char* format, T value) {
        if (!ok || used >= capacity) return fail();
        int n = std::snprintf(out + used, capacity - used, fields++ ? " " : "");
        if (n < 0 || size_t(n) >= capacity - used) return fail();
        used += size_t(n);
        n = std::snprintf(out + used, capacity - used, format, value);
        if (n < 0 || size_t(n) >= capacity - used) return fail();
        used += size_t(n);
    }
    void fail() { ok = false; }
    char* out;
    size_t capacity;
    size_t used = 0;
    int fields = 0;
    bool ok = true;
};
}  // namespace

size_t formatStateMessage(const StateMessage& s, char* out, size_t capacity) {
    FieldWriter w(out, capacity);
#define BLAST_WRITE_TEXT(field, ...) w.text(s.field);
#define BLAST_WRITE_INT(field, ...) w.integer(int(s.field));
#define BLAST_WRITE_REAL(field) w.real(s.field);
    BLAST_STATE_FIELDS(BLAST_WRITE_TEXT, BLAST_WRITE_INT, BLAST_WRITE_REAL)
#undef BLAST_WRITE_TEXT
#undef BLAST_WRITE_INT
#undef BLAST_WRITE_REAL
    size_t length = w.length();
    return length ? appendChecksum(out, length, capacity) : 0;
}

size_t formatRelayMessage(int32_t vacant, const char* state, char* out, size_t capacity) {
    size_t length = fitted(std::snprintf(out, capacity, "%i %s", int(vacant), state), capacity);
    return length ? appendChecksum(out, length, capacity) : 0;
}

namespace {
// Reads a "%i" field into an integer of any width; a one-byte flag keeps the
// low 8 bits of what was sent.
template <class T>
bool scanInteger(TextScanner& scan, T* to) {
    int32_t value = 0;
    if (!scan.integer(&value)) return false;
    *to = T(value);
    return true;
}
}  // namespace

int parseRelayMessage(const char* text, RemoteState* out) {
    *out = RemoteState{};
    TextScanner scan(text);
    // Stop at the first field that does not convert, as one 18-conversion
    // scan would; the rest keep their defaults.
    if (!scan.integer(&out->vacant)) return 0;
    int converted = 1;
#define BLAST_READ_TEXT(field, ...) \
    if (!scan.token(out->field, sizeof out->field)) return converted; \
    ++converted;
#define BLAST_READ_INT(field, ...) \
    if (!scanInteger(scan, &out->field)) return converted; \
    ++converted;
#define BLAST_READ_REAL(field) \
    if (!scan.real(&out->field)) return converted; \
    ++converted;
    BLAST_STATE_FIELDS(BLAST_READ_TEXT, BLAST_READ_INT, BLAST_READ_REAL)
#undef BLAST_READ_TEXT
#undef BLAST_READ_INT
#undef BLAST_READ_REAL
    return converted;
}

}  // namespace protocol
