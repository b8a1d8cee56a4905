#include "Languages.h"

#include "TextEncoding.h"
#include "TextLines.h"

#include <algorithm>
#include <system_error>

namespace vm {

std::vector<std::string> ListLanguages(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& file = it->path();
        if (file.extension() != kLanguageExtension || !it->is_regular_file(ec)) continue;
        std::string name = file.stem().string();
        if (!name.empty()) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path LanguageFilePath(const std::filesystem::path& folder, std::string_view language) {
    return folder / (std::string(language) + std::string(kLanguageExtension));
}

namespace {
// The lines of a language file in UTF-8: a file written in the Windows code page is converted whole.
std::optional<std::vector<std::string>> ReadLanguageLines(const std::filesystem::path& file) {
    auto lines = ReadTextLines(file, kMaxLanguageLines);
    if (!lines || std::all_of(lines->begin(), lines->end(), IsValidUtf8)) return lines;
    for (std::string& line : *lines)
        line = Windows1252ToUtf8(line);
    return lines;
}
} // namespace

bool LoadLanguageFile(const std::filesystem::path& file, Messages& messages) {
    const auto lines = ReadLanguageLines(file);
    if (!lines) return false;
    messages.clear();
    for (std::size_t i = 0; i < lines->size(); ++i)
        messages.set(static_cast<int>(i + 1), (*lines)[i]);
    return true;
}

bool LoadCheckedLanguage(const std::filesystem::path& reference, const std::filesystem::path& candidate,
                         Messages& messages) {
    const auto ref = ReadLanguageLines(reference);
    if (!ref) return LoadLanguageFile(candidate, messages);
    const auto cand = ReadLanguageLines(candidate);
    if (!cand || cand->size() < ref->size()) return false;
    for (std::size_t i = 0; i < ref->size(); ++i) {
        const std::string& r = (*ref)[i];
        if (r.starts_with(kSectionMarker) && !(*cand)[i].starts_with(kSectionMarker)) return false;
    }
    for (std::size_t i = 0; i < ref->size(); ++i)
        messages.set(static_cast<int>(i + 1), (*cand)[i]);
    return true;
}

LanguageStatus CeckLingue(const std::filesystem::path& folder, LanguageSettings& s, Messages& messages) {
    const std::vector<std::string> languages = ListLanguages(folder);
    if (languages.empty()) return LanguageStatus::NoLanguageFile;
    s.Menu.fill(languages);

    const int entry = s.Menu.find(s.CurrentLanguage);
    if (entry >= 0 && LoadLanguageFile(LanguageFilePath(folder, s.CurrentLanguage), messages)) {
        s.Menu.check(entry);
        return LanguageStatus::Loaded;
    }
    // Not installed (or unreadable): the first language found.
    if (!LoadLanguageFile(LanguageFilePath(folder, languages.front()), messages))
        return LanguageStatus::NoLanguageFile;
    s.Menu.check(0);
    s.CurrentLanguage = s.Menu.entry(0).caption;
    return LanguageStatus::Loaded;
}

LanguageStatus SwitchLanguage(const std::filesystem::path& folder, LanguageSettings& s, int index,
                              Messages& messages) {
    if (!s.Menu.isFilled(index)) return LanguageStatus::NotOffered;
    const int previous = s.Menu.checkedIndex();
    const std::string chosen = s.Menu.entry(index).caption;
    s.Menu.check(-1);

    const bool passed = previous >= 0
                            ? LoadCheckedLanguage(LanguageFilePath(folder, s.Menu.entry(previous).caption),
                                                  LanguageFilePath(folder, chosen), messages)
                            : LoadLanguageFile(LanguageFilePath(folder, chosen), messages);
    if (passed) {
        s.Menu.check(index);
        s.CurrentLanguage = chosen;
        return LanguageStatus::Loaded;
    }
    // The refused file changed nothing, so the previous texts are still in place.
    s.Menu.check(previous);
    if (previous >= 0) s.CurrentLanguage = s.Menu.entry(previous).caption;
    return LanguageStatus::WrongFile;
}

} // namespace vm
