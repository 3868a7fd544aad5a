// The game's entry point: seed the random generator, hide the cursor, open
// audio, then alternate between the menu and a match until the player quits
// or closes the window.
#include <cstdlib>
#include <string>

#include "client/assets/sound.h"
#include "client/shell/glwindow.h"
#include "client/shell/screen_loop.h"
#include "client/match/match_screen.h"
#include "client/match/replay_screen.h"
#include "client/net/hosted_server.h"
#include "client/ui/menu.h"
#include "platform/clock.h"
#include "platform/window.h"

int main() {
    std::srand(platform::timeGetTime());
    useGlWindows();
    platform::showCursor(false);
    initAudio();

    bool firstRun = true;
    bool backToReplays = false;
    for (;;) {
        MenuScreen* menu = new MenuScreen(firstRun);
        if (backToReplays) menu->showPage(MENU_REPLAYS);
        firstRun = false;
        backToReplays = false;
        runScreenLoop(*menu, MENU_MAX_FPS);
        if (menu->quitProgram == 1) {
            delete menu;
            stopHostedServer();  // a server hosted from the menu ends with the game
            return 0;
        }
        int chosenFighter = menu->chosenFighter;
        bool watch = menu->currentPage == MENU_PLAY_REPLAY;
        std::string recording = menu->chosenReplay;
        delete menu;

        if (watch) {
            ReplayScreen* viewer = new ReplayScreen(recording.c_str());
            runScreenLoop(*viewer, settingsCopy().maxFps);
            bool quit = viewer->quitProgram == 1;
            delete viewer;
            if (quit) {
                stopHostedServer();
                return 0;
            }
            backToReplays = true;
            continue;
        }

        MatchScreen* match = new MatchScreen(chosenFighter);
        runScreenLoop(*match, settingsCopy().maxFps);
        bool quit = match->quitProgram == 1;
        delete match;
        if (quit) {
            stopHostedServer();
            return 0;
        }
    }
}
