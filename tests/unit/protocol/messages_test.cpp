// The wire texts byte for byte, and what a hostile datagram can do to them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/protocol.h"

using namespace protocol;

namespace {
const char* const ACE_STATE =
    "123410.0.0.7 Ace 1 3.500000 -2.250000 90.000000 4 2 0 0 0 0.000000 0.000000 0.000000 "
    "0.000000 0.000000 0.000000";

StateMessage aceState() {
    StateMessage s;
    std::strcpy(s.clientId, "123410.0.0.7");
    std::strcpy(s.name, "Ace");
    s.skin = 1;
    s.x = 3.5f;
    s.y = -2.25f;
    s.yaw = 90.0f;
    s.animFrame = 4;
    s.frags = 2;
    return s;
}

bool verifies(std::string text, std::string* left = nullptr) {
    bool ok = verifyChecksum(&text[0]);
    if (left) *left = text.c_str();
    return ok;
}
}  // namespace

TEST(Checksum, WorkedExamples) {
    char buf[NET_BUFFER_SIZE];
    std::strcpy(buf, "abc");
    EXPECT_EQ(appendChecksum(buf, 3, sizeof buf), 8u);
    EXPECT_STREQ(buf, "abc+294 ");

    size_t n = formatStateMessage(aceState(), buf, sizeof buf);
    EXPECT_EQ(n, 117u);
    EXPECT_EQ(std::string(buf), std::string(ACE_STATE) + "+5217 ");

    n = formatRelayMessage(0, ACE_STATE, buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), std::string("0 ") + ACE_STATE + "+5297 ");
    n = formatRelayMessage(1, "", buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "1 +81 ");
}

TEST(Checksum, BytesAboveAsciiLowerTheSum) {
    EXPECT_EQ(messageChecksum("\xE9"), -23);
    char buf[16] = "\xFF\xFF";
    ASSERT_EQ(appendChecksum(buf, 2, sizeof buf), 6u);
    EXPECT_STREQ(buf, "\xFF\xFF+-2 ");
    EXPECT_TRUE(verifies(buf));
}

TEST(Checksum, AppendRefusesWhatDoesNotFit) {
    char buf[8] = "abc";
    EXPECT_EQ(appendChecksum(buf, 3, 8), 0u);  // "abc+294 " needs 9 bytes
    EXPECT_STREQ(buf, "abc");
    char roomy[9] = "abc";
    EXPECT_EQ(appendChecksum(roomy, 3, 9), 8u);
}

TEST(Verify, ReadsTheSumLikePercentI) {
    std::string left;
    EXPECT_TRUE(verifies("abc+294 ", &left));
    EXPECT_EQ(left, "abc");
    EXPECT_TRUE(verifies("abc+0x126 "));   // hex
    EXPECT_TRUE(verifies("abc+0446 "));    // octal: 294
    EXPECT_FALSE(verifies("abc+0294 "));   // 0294 reads as octal 02, not 294
    EXPECT_TRUE(verifies("\xE9+-23 "));    // negative
    EXPECT_TRUE(verifies("x+ \t120"));     // blanks before the number are skipped
    EXPECT_TRUE(verifies("+"));            // empty text, nothing readable: both 0
    EXPECT_TRUE(verifies("+junk"));
    EXPECT_FALSE(verifies("x+1 "));
    EXPECT_FALSE(verifies("no plus at all"));
    EXPECT_FALSE(verifies(""));
    EXPECT_FALSE(verifies("x+4294967416 "));  // 120 + 2^32 must not wrap into a match
}

TEST(Verify, FirstPlusStartsTheSuffix) {
    // A '+' in a name cuts the message there; the rest reads as some number.
    std::string left;
    EXPECT_FALSE(verifies("1 A+ce 3+999 ", &left));
    EXPECT_EQ(left, "1 A");
    EXPECT_TRUE(verifies("x+120+5 ", &left));
    EXPECT_EQ(left, "x");
}

TEST(JoinReply, FormatAndParse) {
    char buf[128];
    EXPECT_EQ(formatJoinReply("hall", 0, 20, buf, sizeof buf), 18u);
    EXPECT_STREQ(buf, "hall/hall.bxm 0 20");

    JoinReply r;
    EXPECT_EQ(parseJoinReply("hall/hall.bxm 1 0x10", &r), 3);
    EXPECT_STREQ(r.mapPath, "hall/hall.bxm");
    EXPECT_EQ(r.serverFull, 1);
    EXPECT_EQ(r.fragLimit, 16);

    // What does not convert keeps its value.
    JoinReply partial;
    partial.fragLimit = 7;
    EXPECT_EQ(parseJoinReply("x/x.bxm 0 z", &partial), 2);
    EXPECT_EQ(partial.fragLimit, 7);

    std::string longest(MAX_MAP_NAME_LENGTH, 'm');
    size_t n = formatJoinReply(longest.c_str(), 0, 20, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(parseJoinReply(buf, &r), 3);
    EXPECT_EQ(std::strlen(r.mapPath), MAP_PATH_SIZE - 1);  // just fits

    std::string tooLong(200, 'm');
    EXPECT_EQ(parseJoinReply((tooLong + " 0 20").c_str(), &r), 3);
    EXPECT_EQ(std::strlen(r.mapPath), MAP_PATH_SIZE - 1);
    EXPECT_EQ(r.fragLimit, 20);
    EXPECT_EQ(formatJoinReply(tooLong.c_str(), 0, 20, buf, sizeof buf), 0u);
}

// A server's reply names a file the client opens: only a map and its file.
TEST(JoinReply, OnlyAMapAndItsFileAreSafeToOpen) {
    char buf[128];
    for (const char* name : {"hall", "duel", "my-map_2", "a.b"}) {
        ASSERT_GT(formatJoinReply(name, 0, 20, buf, sizeof buf), 0u);
        JoinReply r;
        parseJoinReply(buf, &r);
        EXPECT_TRUE(isSafeMapPath(r.mapPath)) << r.mapPath;  // every map our server names
    }
    for (const char* bad : {"", "hall", "/etc/passwd", "../../etc/passwd", "hall/../../x",
                            "../hall.bxm", "hall/..", "./hall.bxm", "hall/", "/hall.bxm",
                            "a/b/c", "hall\\..\\x", "C:/x.bxm", "hall/\x01.bxm", "hall//x"})
        EXPECT_FALSE(isSafeMapPath(bad)) << bad;
}

TEST(RelayParse, LiveStateRoundTrips) {
    char buf[NET_BUFFER_SIZE];
    StateMessage s = aceState();
    s.dead = 1;
    std::strcpy(s.killerId, "99910.0.0.9");
    s.beamVisible = 1;
    s.beamLength = 12.5f;
    s.beamEndY = -7.25f;
    size_t n = formatStateMessage(s, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    ASSERT_TRUE(verifyChecksum(buf));
    char relay[NET_BUFFER_SIZE];
    ASSERT_GT(formatRelayMessage(0, buf, relay, sizeof relay), 0u);
    ASSERT_TRUE(verifyChecksum(relay));

    RemoteState r;
    EXPECT_EQ(parseRelayMessage(relay, &r), 18);
    EXPECT_EQ(r.vacant, 0);
    EXPECT_STREQ(r.clientId, "123410.0.0.7");
    EXPECT_STREQ(r.name, "Ace");
    EXPECT_EQ(r.skin, 1);
    EXPECT_FLOAT_EQ(r.x, 3.5f);
    EXPECT_FLOAT_EQ(r.y, -2.25f);
    EXPECT_FLOAT_EQ(r.yaw, 90.0f);
    EXPECT_EQ(r.animFrame, 4);
    EXPECT_EQ(r.frags, 2);
    EXPECT_EQ(r.dead, 1);
    EXPECT_STREQ(r.killerId, "99910.0.0.9");
    EXPECT_EQ(r.beamVisible, 1);
    EXPECT_FLOAT_EQ(r.beamLength, 12.5f);
    EXPECT_FLOAT_EQ(r.beamEndY, -7.25f);
}

TEST(RelayParse, NeverUsedSlotKeepsDefaults) {
    std::string text = "1 +81 ";
    ASSERT_TRUE(verifyChecksum(&text[0]));
    RemoteState r;
    r.animFrame = 99;  // every parse starts fresh
    EXPECT_EQ(parseRelayMessage(text.c_str(), &r), 1);
    EXPECT_EQ(r.vacant, 1);
    EXPECT_STREQ(r.clientId, "0");
    EXPECT_STREQ(r.name, "");
    EXPECT_EQ(r.animFrame, -1);
    EXPECT_STREQ(r.killerId, "0");
}

TEST(RelayParse, OverLongFieldsAreCutNotShifted) {
    std::string id(40, '7'), name(30, 'n');
    std::string text = "0 " + id + " " + name + " 2 1.0 2.0 3.0 5 6 257 " + id + "K 258";
    RemoteState r;
    EXPECT_EQ(parseRelayMessage(text.c_str(), &r), 12);
    EXPECT_EQ(std::string(r.clientId), id.substr(0, CLIENT_ID_SIZE - 1));
    EXPECT_EQ(std::string(r.name), name.substr(0, NAME_SIZE - 1));
    EXPECT_EQ(r.skin, 2);
    EXPECT_EQ(r.frags, 6);
    EXPECT_EQ(r.dead, 1);         // low 8 bits of 257
    EXPECT_EQ(r.beamVisible, 2);  // low 8 bits of 258
    EXPECT_EQ(std::string(r.killerId), id.substr(0, CLIENT_ID_SIZE - 1));
}

TEST(RelayParse, GarbageStopsAtTheFirstBadField) {
    RemoteState r;
    EXPECT_EQ(parseRelayMessage("", &r), 0);
    EXPECT_EQ(parseRelayMessage("zzz", &r), 0);
    EXPECT_EQ(r.vacant, 1);
    EXPECT_EQ(parseRelayMessage("0 id nm notanumber 1.0", &r), 3);
    EXPECT_EQ(r.vacant, 0);
    EXPECT_EQ(r.skin, 0);
    EXPECT_FLOAT_EQ(r.x, 0.0f);
    EXPECT_EQ(parseRelayMessage("0 id nm 1 \xff\xfe", &r), 4);
}

TEST(StateFormat, RefusesWhatCannotTravel) {
    StateMessage s = aceState();
    std::strcpy(s.clientId, "1234567890123456789");
    std::strcpy(s.name, "123456789012345");
    std::strcpy(s.killerId, s.clientId);
    s.skin = s.animFrame = s.frags = -2147483647;
    s.x = s.y = s.yaw = s.beamX = s.beamY = s.beamYaw = s.beamLength = s.beamEndX =
        s.beamEndY = -3.4e38f;  // each "%f" is 47 characters
    char buf[NET_BUFFER_SIZE];
    EXPECT_EQ(formatStateMessage(s, buf, sizeof buf), 0u);
    char small[100];
    EXPECT_EQ(formatStateMessage(aceState(), small, sizeof small), 0u);
}
