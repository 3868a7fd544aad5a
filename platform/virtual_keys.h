// The keyboard as the game indexes it: Windows virtual-key codes, on every
// system (letters and digits are their capitals and characters). The window
// layer translates each system's keys into these; the game's keyboard table
// and the bots use the same names. Plain constants, no dependencies.
#pragma once
#include <cstdint>

enum : uint32_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,  // Alt
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,  // Page Up
    VK_NEXT = 0x22,   // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    KEY_0 = 0x30,  // through KEY_0 + 9
    KEY_A = 0x41,  // through KEY_A + 25
    KEY_D = 0x44,
    KEY_S = 0x53,
    KEY_W = 0x57,
    KEY_X = 0x58,
    KEY_Z = 0x5A,
    VK_NUMPAD0 = 0x60,  // through VK_NUMPAD0 + 9
    VK_F1 = 0x70,       // through VK_F1 + 11
    VK_F10 = 0x79,
    VK_F12 = 0x7B,
};
