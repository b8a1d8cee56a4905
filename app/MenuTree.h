#pragma once
// The main window's menu tree: entry names, parents, design captions, where each caption comes from in the
// language file, and which window an entry opens.

#include "Messages.h"

#include <span>
#include <string>
#include <string_view>

namespace vm::app {

enum class CaptionSource {
    Fixed,      // the design caption in every language
    Line,       // language line `line`
    Joined,     // line + line2, nothing between
    ExtraTimes, // "Extra " + line before its first "/" + " " + line2
    Ampersand,  // line + " && " + line2 (the doubled ampersand shows as one)
};

struct MenuEntry {
    std::string_view name;   // also the action's objectName
    std::string_view parent; // empty for the menu bar
    std::string_view design; // caption before any language is loaded
    CaptionSource source = CaptionSource::Fixed;
    int line = 0;
    int line2 = 0;
    std::string_view form; // the window it opens, empty for commands and submenus
    bool submenu = false;
    bool offAtCreate = false; // disabled when the window is created
    bool separatorAfter = false;
};

// Every entry in menu order (parents before their children).
std::span<const MenuEntry> MenuEntries();
const MenuEntry* FindMenuEntry(std::string_view name);

// The caption an entry gets from the current language.
std::string MenuCaption(const MenuEntry& entry, const Messages& messages);

} // namespace vm::app
