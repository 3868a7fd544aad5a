// The messages `game` and `server` exchange: constants, checksum, format/parse.
// Pure text functions over caller-owned buffers; nothing here allocates or owns.
#pragma once
#include <cstddef>
#include <cstdint>

namespace protocol {

constexpr uint16_t INIT_PORT = 2185;         // TCP: one JoinReply per connection
constexpr uint16_t GAME_PORT = 2184;         // UDP: states in, relays out
constexpr int SLOT_COUNT = 10;               // server slots, client RemoteStates
constexpr int NET_BUFFER_SIZE = 512;         // every receive reads at most this
constexpr uint32_t SEND_INTERVAL_MS = 20;    // client's pause between states
constexpr uint32_t SLOT_TIMEOUT_MS = 1000;   // a slot silent longer is freed

constexpr size_t CLIENT_ID_SIZE = 20;        // at most 19 characters
constexpr size_t NAME_SIZE = 16;             // at most 15 characters
constexpr size_t PLAYER_NAME_SIZE = 15;      // a player's own setting: at most 14
constexpr size_t STATE_TEXT_SIZE = 516;      // a state's text as the server keeps it
constexpr size_t MAP_PATH_SIZE = 64;         // "name/name.bxm" with its terminator
// The longest map name whose "name/name.bxm" still fits MAP_PATH_SIZE.
constexpr size_t MAX_MAP_NAME_LENGTH = 29;

// ---------------------------------------------------------------------------
// Checksum suffix (every UDP message). The text is followed by "+%i ": a plus,
// the decimal sum of its bytes taken as signed 8-bit values, and one blank.
//   "abc" -> "abc+294 "       "x" -> "x+120 "       "1 " -> "1 +81 "
// Fields never contain '+', so the first '+' always starts the suffix.

int32_t messageChecksum(const char* text);

// Appends the suffix to the `length` characters of `text`. Returns the new
// length, or 0 when it would not fit `capacity` bytes with the terminator (the
// text is then left as it was).
size_t appendChecksum(char* text, size_t length, size_t capacity);

// Cuts the suffix off a received text (the first '+' becomes the terminator)
// and says whether the sum matches. The number after '+' is read like "%i":
// optional sign, decimal, 0x hex or leading-0 octal; nothing readable is 0.
bool verifyChecksum(char* text);

// ---------------------------------------------------------------------------
// JoinReply (TCP, server to client, no suffix, no terminator on the wire):
//   "%s/%s.bxm %i %i"   mapName twice, serverFull 0/1, fragLimit
//   "hall/hall.bxm 0 20"

struct JoinReply {
    char mapPath[MAP_PATH_SIZE] = "";
    int32_t serverFull = 0;
    int32_t fragLimit = 0;
};

// Writes the reply text; returns its length, or 0 when it would not fit.
size_t formatJoinReply(const char* mapName, int32_t serverFull, int32_t fragLimit, char* out,
                       size_t capacity);
// "%s %i %i": fields that do not convert keep their previous values; an
// over-long path is cut to fit. Returns how many fields converted.
int parseJoinReply(const char* text, JoinReply* reply);
// A path a client may open under its maps folder: "<map>/<file>", two
// non-empty printable names without blanks, '\\' or ':', neither "." nor "..".
// Anything else ("../../etc/passwd", "/etc/passwd", "hall") is refused.
bool isSafeMapPath(const char* path);

// ---------------------------------------------------------------------------
// StateMessage (UDP, client to server), then the checksum suffix:
//   "%s %s %i %f %f %f %i %i %i %s %i %f %f %f %f %f %f"
//   clientId name skin x y yaw animFrame frags dead killerId beamVisible
//   beamX beamY beamYaw beamLength beamEndX beamEndY
// Client 123410.0.0.7 "Ace", skin 1 at (3.5, -2.25) heading 90, frame 4,
// 2 frags, alive, no killer, no beam -- 117 bytes:
//   "123410.0.0.7 Ace 1 3.500000 -2.250000 90.000000 4 2 0 0 0 0.000000
//    0.000000 0.000000 0.000000 0.000000 0.000000+5217 "   (one line)

// The fields, listed once, in wire order; the records below, the format and
// the parse follow from this list. A row is one of
//   TEXT(field, capacity, default)            "%s": one word, cut to capacity - 1
//   INT(field, type, sent, received)          "%i"; a one-byte flag keeps the low 8 bits
//   REAL(field)                               "%f"
// `sent` is the default of a StateMessage, `received` of a fresh RemoteState.
#define BLAST_STATE_FIELDS(TEXT, INT, REAL)            \
    TEXT(clientId, CLIENT_ID_SIZE, "0")                \
    TEXT(name, NAME_SIZE, "")                          \
    INT(skin, int32_t, 0, 0)                           \
    REAL(x)                                            \
    REAL(y)                                            \
    REAL(yaw)                                          \
    INT(animFrame, int32_t, 0, -1)                     \
    INT(frags, int32_t, 0, 0)                          \
    INT(dead, uint8_t, 0, 0)                           \
    TEXT(killerId, CLIENT_ID_SIZE, "0")                \
    INT(beamVisible, uint8_t, 0, 0)                    \
    REAL(beamX)                                        \
    REAL(beamY)                                        \
    REAL(beamYaw)                                      \
    REAL(beamLength)                                   \
    REAL(beamEndX)                                     \
    REAL(beamEndY)

#define BLAST_STATE_TEXT_MEMBER(field, capacity, initial) char field[capacity] = initial;
#define BLAST_STATE_SENT_MEMBER(field, type, sent, received) type field = sent;
#define BLAST_STATE_RECEIVED_MEMBER(field, type, sent, received) type field = received;
#define BLAST_STATE_REAL_MEMBER(field) float field = 0;

struct StateMessage {
    BLAST_STATE_FIELDS(BLAST_STATE_TEXT_MEMBER, BLAST_STATE_SENT_MEMBER, BLAST_STATE_REAL_MEMBER)
};

// Writes the whole datagram, suffix included; returns its length, or 0 when
// it would not fit `capacity` (use NET_BUFFER_SIZE: then it fits a receive).
size_t formatStateMessage(const StateMessage& state, char* out, size_t capacity);

// ---------------------------------------------------------------------------
// RelayMessage (UDP, server to client): "%i %s" with the slot's vacant flag
// and its last state exactly as received without suffix, then the suffix:
//   "0 123410.0.0.7 Ace 1 ... 0.000000+5297 "   the example above, live slot
//   "1 +81 "                                     a slot that never had a client

// Returns the length, or 0 when it would not fit `capacity` with the terminator.
size_t formatRelayMessage(int32_t vacant, const char* state, char* out, size_t capacity);

// One other player as a client last received it: the slot's vacant flag and
// the state's fields.
struct RemoteState {
    int32_t vacant = 1;
    BLAST_STATE_FIELDS(BLAST_STATE_TEXT_MEMBER, BLAST_STATE_RECEIVED_MEMBER, BLAST_STATE_REAL_MEMBER)
};

// Parses a verified relay text (suffix already cut) into a fresh record:
// vacant, then the 17 state fields. Parsing stops at the first field that
// does not convert; the rest keep their defaults. Over-long ids and names
// are cut to fit. Returns how many fields converted (0 to 18).
int parseRelayMessage(const char* text, RemoteState* out);

}  // namespace protocol
