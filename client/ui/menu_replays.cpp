// The menu's Replays page as the menu runs it: keys and clicks through the
// page's logic, a recording chosen to play ending the menu like a fighter
// picked does, and the trace lines the end-to-end tests follow.
#include "client/core/records.h"
#include "client/core/trace.h"
#include "client/ui/menu.h"
#include "platform/window.h"

void MenuScreen::updateReplays(int mx, int my, bool click) {
    int32_t before = replaysPage.selected();
    ReplaysAction action = ReplaysAction::None;
    TypedKey keys[TYPED_KEYS_KEPT];
    int n = takeTyped(keys, TYPED_KEYS_KEPT);
    for (int i = 0; i < n && action == ReplaysAction::None; ++i) action = replaysPage.typed(keys[i]);
    if (click && action == ReplaysAction::None) {
        MenuRect spot;
        if (replaysPage.hovered(mx, my, &spot)) playSound(clickSound, CHANNEL_STEP);
        action = replaysPage.clicked(mx, my);
    }
    if (action == ReplaysAction::Deleted) trace(TRACE_REPLAY_DELETED, replaysPage.lastMessage().c_str());
    if (replaysPage.selected() != before || action == ReplaysAction::Deleted)
        trace(TRACE_REPLAY_SELECTED, int(replaysPage.selected()));
    if (action == ReplaysAction::Play) {
        chosenReplay = replaysPage.chosenPath();
        trace(TRACE_REPLAY_CHOSEN, chosenReplay.c_str());
        currentPage = MENU_PLAY_REPLAY;
        quitProgram = 0;
        platform::postQuitRequest();
    }
}

void MenuScreen::traceReplayRows() {
    const std::vector<ReplayEntry>& list = replaysPage.entries();
    for (size_t i = 0; i < list.size(); ++i) {
        const ReplayEntry& e = list[i];
        trace(TRACE_REPLAY_LISTED, int(i), e.map, int(e.lengthMs / 1000), e.players,
              e.winners.empty() ? "-" : e.winners.c_str(),
              e.readable && e.mapAvailable ? 1 : 0, e.file.c_str());
    }
    trace(TRACE_REPLAY_SELECTED, int(replaysPage.selected()));
}
