#include "tools/bot/options.h"

#include <cstdlib>
#include <cstring>

const char* const BOT_USAGE =
    "usage: bot [--count N] [--server HOST] [--name PREFIX] [--skin 0|1|2|random] [--skill 1-5]";

namespace {

bool readInt(const char* text, int low, int high, int* out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < low || v > high) return false;
    *out = int(v);
    return true;
}

}  // namespace

bool parseBotOptions(int argc, const char* const* argv, BotOptions* out, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            out->help = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = opt.rfind("--", 0) == 0 ? opt + " needs a value" : "unknown argument " + opt;
            return false;
        }
        const char* value = argv[++i];
        if (opt == "--count") {
            if (!readInt(value, 1, MAX_BOTS, &out->count)) {
                *error = "--count takes 1 to 9";
                return false;
            }
        } else if (opt == "--server") {
            // The client's settings hold a server name of at most 20 characters.
            if (!*value || std::strlen(value) > 20) {
                *error = "--server takes a host name of 1 to 20 characters";
                return false;
            }
            out->server = value;
        } else if (opt == "--name") {
            // Names travel as one blank-delimited word before the '+' checksum.
            size_t n = std::strlen(value);
            if (n == 0 || n > MAX_NAME_LENGTH - 1 || std::strpbrk(value, " \t+")) {
                *error = "--name takes 1 to 13 characters without blanks or '+'";
                return false;
            }
            out->namePrefix = value;
        } else if (opt == "--skin") {
            if (std::strcmp(value, "random") == 0) {
                out->skin = -1;
            } else if (!readInt(value, 0, 2, &out->skin)) {
                *error = "--skin takes 0, 1, 2 or random";
                return false;
            }
        } else if (opt == "--skill") {
            if (!readInt(value, 1, 5, &out->skill)) {
                *error = "--skill takes 1 to 5";
                return false;
            }
        } else {
            *error = "unknown option " + opt;
            return false;
        }
    }
    return true;
}

std::string botName(const std::string& prefix, int number) {
    std::string digits = std::to_string(number);
    return prefix.substr(0, MAX_NAME_LENGTH - digits.size()) + digits;
}
