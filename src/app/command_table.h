#pragma once

#include "commands/trigger.h"

#include <QString>
#include <Qt>

#include <functional>
#include <vector>

// Where a command sits: a button, one of the four menus, or the list's context menu and its
// submenus.
enum class Place {
    None,
    Button,
    FileMenu,
    FrameCheckMenu,
    ComMenu,
    HelpMenu,
    ContextMenu,
    FrameRateMenu,
    TransportMenu
};

// A key of a command: the key's code (see key_codes.h) with the modifiers it needs and those
// it must not have; others are not looked at.
struct Key {
    int code = 0;
    Qt::KeyboardModifiers need = Qt::NoModifier;
    Qt::KeyboardModifiers refuse = Qt::NoModifier;
};

// Where a command's key acts.
enum class KeyScope { Window, Grid };
// What a key does once its command has run: it goes on to the window's own key handling (the
// dialog's Enter processing among it), or it is used up.
enum class KeyAfter { GoesOn, UsedUp };

// One command of the window: its id, where it sits and its text, its keys, what it runs
// (given its trigger), and when it is enabled and checked (no rule: always enabled, never
// checked).
struct Command {
    int id = 0;
    Place place = Place::None;
    // Menu item or button caption, the Japanese source text that the window translates where it
    // shows it; none for a key alone.
    const char* text = nullptr;
    bool separatorBefore = false;
    std::vector<Key> keys;
    KeyScope scope = KeyScope::Window;
    KeyAfter after = KeyAfter::GoesOn;
    std::function<void(const Trigger&)> run;
    std::function<bool()> enabled;
    std::function<bool()> checked;
    // Why a greyed item is greyed, as its tooltip; none for an item that is never greyed.
    std::function<QString()> whyNot;
};

// The four menus of the menu bar, in order, with the function key that opens each, and the
// submenus of the list's context menu, which follow its own items after a separator. The
// items of a submenu of choices are radio items.
struct Popup {
    Place place;
    const char* title; // the Japanese source text, translated where shown
    int key;           // 0: no key
    Place parent;      // None: the menu bar
    bool choices;
};

// The pop-ups, in order (routing.cpp).
const std::vector<Popup>& Popups();

// The commands in the order of their menus, looked up by id and by key.
class CommandTable {
public:
    void Add(Command command) { m_commands.push_back(std::move(command)); }
    const std::vector<Command>& All() const { return m_commands; }
    const Command* Find(int id) const;
    const Command* ForKey(int code, Qt::KeyboardModifiers mods) const;

private:
    std::vector<Command> m_commands;
};
