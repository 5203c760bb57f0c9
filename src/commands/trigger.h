#pragma once

#include <cstdint>

// What set a command off: a key (its code, see the window's key table) or, with key 0, a
// button or a menu item; and the moment the key or button went down, on the steady clock
// (0: now). A capture takes the frame of that moment, not of the moment a busy window got to
// the command.
struct Trigger {
    int key = 0;
    int64_t pressNs = 0;
};
