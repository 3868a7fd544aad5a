#include "client/core/text_lines.h"

#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/text.h"

void setTextLine(TextLine& line, float x, float y, float red, float green, float blue,
                 const char* text) {
    line.x = x;
    line.y = y;
    line.red = red;
    line.green = green;
    line.blue = blue;
    platform::copyText(line.text, text);
}

void addTextLine(float x, float y, float red, float green, float blue, const char* text) {
    // An empty text would read as a free entry and cut the run short.
    if (text[0] == '\0') return;
    for (int i = 1; i < TEXT_LINE_COUNT; ++i)
        if (textLines[i].text[0] == '\0') {
            setTextLine(textLines[i], x, y, red, green, blue, text);
            return;
        }
}

void showEventMessage(float red, float green, float blue, const char* text) {
    setTextLine(textLines[0], -0.96f, 0.91f, red, green, blue, text);
    eventStartTime = platform::timeGetTime();
    eventActive = 1;
}

void expireEventMessage() {
    if (eventActive == 1 &&
        platform::elapsedMs(platform::timeGetTime(), eventStartTime) > EVENT_MESSAGE_MS) {
        textLines[0].text[0] = '\0';
        eventActive = 0;
    }
}

void clearFrameLines() {
    for (int i = 1; i < TEXT_LINE_COUNT && textLines[i].text[0] != '\0'; ++i)
        textLines[i].text[0] = '\0';
}
