// The bot program's command line: how many bots, where, named and playing how.
// Parsing only; the caller prints the usage and picks the exit status.
#pragma once
#include <string>

#include "protocol/protocol.h"

struct BotOptions {
    int count = 1;
    std::string server = "127.0.0.1";
    std::string namePrefix = "Bot";
    int skin = -1;  // -1: a random skin for each bot
    int skill = 3;
    bool help = false;
};

constexpr int MAX_BOTS = 9;         // a server has ten places; leave one for a player
constexpr int MAX_NAME_LENGTH = int(protocol::PLAYER_NAME_SIZE) - 1;  // a player's name

extern const char* const BOT_USAGE;

// False, with the reason in *error, on an unknown option, a missing or
// out-of-range value, or a name prefix with blanks or '+'.
bool parseBotOptions(int argc, const char* const* argv, BotOptions* out, std::string* error);
// PREFIX followed by the bot's number, the prefix cut so the whole fits 14 characters.
std::string botName(const std::string& prefix, int number);
