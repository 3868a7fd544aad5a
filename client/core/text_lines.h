// The text overlay's table: entry 0 is the timed event message, entries 1..63
// are lines queued during one frame and emptied after it is drawn. Main thread.
#pragma once
#include <cstdint>

struct TextLine {
    float x = 0.0f, y = 0.0f;  // baseline origin, normalised device coordinates
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    char text[256] = {};       // empty: a free entry
};

constexpr int TEXT_LINE_COUNT = 64;
constexpr int64_t EVENT_MESSAGE_MS = 3000;

// Fills one line: position, colour and the text (cut to 255 characters).
void setTextLine(TextLine& line, float x, float y, float red, float green, float blue,
                 const char* text);

// The table (`textLines`, `eventActive`, `eventStartTime`, client/core/records.h):
// empty at start and never reset between matches.
struct TextTable {
    TextLine lines[TEXT_LINE_COUNT];
    uint8_t eventActive = 0;
    uint64_t eventStartTime = 0;
};

// Queues a line for this frame in the lowest free entry; dropped when all 63
// are taken. Longer texts are cut to 255 characters.
void addTextLine(float x, float y, float red, float green, float blue, const char* text);
// Replaces the event message (top left) and restarts its 3000 ms.
void showEventMessage(float red, float green, float blue, const char* text);

// The overlay pass's bookkeeping, split from its drawing: the event message
// goes once more than 3000 ms have passed; the frame's lines go after drawing.
void expireEventMessage();
void clearFrameLines();
