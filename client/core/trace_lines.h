// Every line the trace writes (client/core/trace.h), by name: what the end-to-end tests
// wait for and read, so each is a contract with them. The tests read these very
// strings from this file (tests/e2e/trace_lines.py): change a line here and
// both sides follow; keep one name to a line, each a printf format on one line.
// Each written line is led by the millisecond clock and a space.
#pragma once

// Screens: a window's first frame, the menu and its clicks, the match.
constexpr char TRACE_FIRST_FRAME[] = "first frame %dx%d";
constexpr char TRACE_MENU_SPLASH[] = "menu splash shown";
constexpr char TRACE_MENU_OPENED[] = "menu opened firstRun=%d";
constexpr char TRACE_MENU_CLICK[] = "menu click page=%d";
constexpr char TRACE_MENU_CLOSED[] = "menu closed";
// The window's client size as each change arrives, and each font built (its
// pixel height): text follows the window's size.
constexpr char TRACE_WINDOW_SIZE[] = "window size %dx%d";
constexpr char TRACE_FONT[] = "font height %d";

// The Servers and Options pages: a row of the server list as first shown or
// changed (not for its round-trip time), the fields after each change, the
// server chosen, a hosted server started and stopped, an option set.
constexpr char TRACE_SERVER_LISTED[] = "server listed row=%d address=%s map=%s players=%d/%d frags=%d hosted=%d";
constexpr char TRACE_SERVERS_FIELDS[] = "servers fields address=%s name=%s";
constexpr char TRACE_SERVER_CHOSEN[] = "server chosen %s name=%s saved=%d";
constexpr char TRACE_HOST_STARTED[] = "host started map=%s players=%d frags=%d bots=%d pid=%d";
constexpr char TRACE_HOST_BOTS[] = "host bots started count=%d pid=%d";
constexpr char TRACE_HOST_STOPPED[] = "host stopped";
constexpr char TRACE_OPTION_SET[] = "option set row=%d value=%s saved=%d";
constexpr char TRACE_OPTION_REFUSED[] = "option refused row=%d missing=%s";
constexpr char TRACE_MATCH_OPENED[] = "match opened fighter=%d name=%s map=%s id=%s";
constexpr char TRACE_MATCH_CLOSED[] = "match closed";

// Input as the frames saw it: the number of keys and of mouse buttons down,
// written when it changes.
constexpr char TRACE_KEYS_HELD[] = "keys held %d";
constexpr char TRACE_BUTTONS_HELD[] = "buttons held %d";
// The window gaining (1) or losing (0) the keyboard focus: frames stop without it.
constexpr char TRACE_FOCUS[] = "window focus %d";

// The match: the local fighter every 100 ms (x, y, heading, aim distance),
// where a walk stopped, each on-screen event message as shown, the frags
// after a credited kill, each remote player's arrival, the round's end and
// restart, an F12 screenshot, each remote fighter drawn in each frame.
constexpr char TRACE_STATE[] = "state %.3f %.3f %.3f aim=%.3f dead=%d frags=%d fps=%d";
constexpr char TRACE_FIGHTER_STOPPED[] = "match fighter stopped at %.2f %.2f";
constexpr char TRACE_EVENT[] = "event %s";
constexpr char TRACE_FRAGS[] = "frags %d";
constexpr char TRACE_REMOTE[] = "remote slot=%d skin=%d name=%s";
// Each remote fighter where this frame draws it (its smoothed place).
constexpr char TRACE_REMOTE_DRAWN[] = "remote drawn slot=%d x=%.3f y=%.3f";
constexpr char TRACE_ROUND_OVER[] = "round over";
constexpr char TRACE_ROUND_RESTARTED[] = "round restarted";
constexpr char TRACE_SCREENSHOT[] = "screenshot";

// The match's recording: begun (with the map), finished (with its file).
constexpr char TRACE_RECORDING_STARTED[] = "recording started map=%s";
constexpr char TRACE_RECORDING_FINISHED[] = "recording finished %s";

// The Replays page: each recording listed as the page opens (newest first),
// the selection as it changes, one deleted, one chosen to play.
constexpr char TRACE_REPLAY_LISTED[] = "replay listed row=%d map=%s seconds=%d players=%d winners=%s playable=%d file=%s";
constexpr char TRACE_REPLAY_SELECTED[] = "replay selected row=%d";
constexpr char TRACE_REPLAY_DELETED[] = "replay deleted %s";
constexpr char TRACE_REPLAY_CHOSEN[] = "replay chosen %s";

// The viewer: a recording opened (map, length in ms, players), whom the
// camera follows ("free" for none), pause (1) and play (0) with the position,
// the speed, a seek's new position, and every 250 ms the position, who is
// followed and where the camera's target stands.
constexpr char TRACE_REPLAY_OPENED[] = "replay opened map=%s length=%d players=%d";
constexpr char TRACE_REPLAY_FOLLOW[] = "replay follow %s";
constexpr char TRACE_REPLAY_PAUSED[] = "replay paused %d at=%d";
constexpr char TRACE_REPLAY_SPEED[] = "replay speed %.2f";
constexpr char TRACE_REPLAY_SEEK[] = "replay seek to=%d";
constexpr char TRACE_REPLAY_AT[] = "replay at=%d following=%s x=%.2f y=%.2f paused=%d";
constexpr char TRACE_REPLAY_CLOSED[] = "replay closed";
