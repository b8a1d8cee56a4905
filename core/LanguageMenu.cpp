#include "LanguageMenu.h"

namespace vm {

LanguageMenu::LanguageMenu() {
    entries_[0].visible = true;
}

void LanguageMenu::fill(const std::vector<std::string>& languages) {
    for (int i = 0; i < kLanguageEntries; ++i) {
        Entry& e = entries_[static_cast<std::size_t>(i)];
        const bool has = i < static_cast<int>(languages.size());
        e.caption = has ? languages[static_cast<std::size_t>(i)] : std::string{};
        e.visible = i == 0 || has;
        if (!has) e.checked = false;
    }
}

int LanguageMenu::find(std::string_view caption) const {
    if (caption.empty()) return -1;
    for (int i = 0; i < kLanguageEntries; ++i)
        if (isFilled(i) && entries_[static_cast<std::size_t>(i)].caption == caption) return i;
    return -1;
}

void LanguageMenu::check(int index) {
    for (int i = 0; i < kLanguageEntries; ++i)
        entries_[static_cast<std::size_t>(i)].checked = i == index;
}

int LanguageMenu::checkedIndex() const {
    for (int i = 0; i < kLanguageEntries; ++i)
        if (entries_[static_cast<std::size_t>(i)].checked) return i;
    return -1;
}

std::string LanguageMenu::checkedCaption() const {
    const int i = checkedIndex();
    return i < 0 ? std::string{} : entries_[static_cast<std::size_t>(i)].caption;
}

bool LanguageMenu::isFilled(int index) const {
    if (index < 0 || index >= kLanguageEntries) return false;
    const Entry& e = entries_[static_cast<std::size_t>(index)];
    return e.visible && !e.caption.empty();
}

} // namespace vm
