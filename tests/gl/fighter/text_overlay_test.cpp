// The bitmap font and the overlay pass under a real (offscreen) GL context:
// queued lines and the event message reach the screen in their colours, code
// 255 draws nothing, and the frame's lines are gone after the pass.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <vector>

#include "client/core/records.h"
#include "client/shell/glwindow.h"
#include "client/ui/font.h"
#include "client/core/records.h"

namespace {

struct Counts {
    int green = 0, red = 0;
};

Counts countColours() {
    std::vector<unsigned char> p(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    Counts c;
    for (size_t i = 0; i < p.size(); i += 4) {
        if (p[i] < 40 && p[i + 1] > 200 && p[i + 2] < 40) ++c.green;
        if (p[i] > 200 && p[i + 1] < 40 && p[i + 2] < 40) ++c.red;
    }
    return c;
}

class TextOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        useGlWindows(); ASSERT_TRUE(createGlWindow("Blastavia", 640, 480, 32, false));
        createFont(18, 500, "Lucida Console");
        for (TextLine& line : textLines) line = TextLine{};
        eventActive = 0;
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        deleteFont();
        killGlWindow();
    }
};

TEST_F(TextOverlay, LinesAndEventMessageAreDrawnInTheirColours) {
    ASSERT_NE(fontListBase, 0u);
    addTextLine(-0.5f, 0.0f, 0, 1, 0, "fps: 60");
    showEventMessage(1, 0, 0, "Killed by Bob");
    drawTextOverlay();
    Counts c = countColours();
    EXPECT_GT(c.green, 30);
    EXPECT_GT(c.red, 30);
    EXPECT_EQ(textLines[1].text[0], '\0');
    EXPECT_STREQ(textLines[0].text, "Killed by Bob");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextOverlay, CodeTwoFiftyFiveDrawsNothing) {
    addTextLine(-0.5f, 0.0f, 0, 1, 0, "\xff\xff\xff");
    drawTextOverlay();
    EXPECT_EQ(countColours().green, 0);
}

}  // namespace
