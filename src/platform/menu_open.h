#pragma once

class QMenuBar;

// Opens the pop-up menu at the given position of the menu bar (0 is the first), as Alt,
// Right n times and Enter would: the menu shows with its first item selected. The opening is
// queued behind the event being handled, as typed keys would be, and it does not wait for
// the menu to close. An index without a pop-up opens nothing.
void QueueMenuOpen(QMenuBar* bar, int index);
