#pragma once
// The language menu as the program keeps it: ten entries, entry 0 always visible, entries 1..9 shown once
// a language fills them; exactly one entry is checked after start-up. The GUI only mirrors this model.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr int kLanguageEntries = 10;

class LanguageMenu {
public:
    struct Entry {
        std::string caption;
        bool visible = false;
        bool checked = false;
    };

    LanguageMenu();

    // Fills the entries from the installed language names, in their order; at most ten are offered.
    // Entries without a language are hidden and empty; a checked entry stays checked if it is still filled.
    void fill(const std::vector<std::string>& languages);
    // The filled (visible and named) entry with this caption, or -1.
    int find(std::string_view caption) const;
    // Checks one entry and unchecks all others; -1 unchecks all.
    void check(int index);
    int checkedIndex() const;
    // The caption of the checked entry, or an empty text.
    std::string checkedCaption() const;
    bool isFilled(int index) const;

    const Entry& entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    const std::array<Entry, kLanguageEntries>& entries() const { return entries_; }

private:
    std::array<Entry, kLanguageEntries> entries_{};
};

} // namespace vm
