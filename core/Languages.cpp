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
std::optional<LanguageTexts> ReadLanguageLines(const std::filesystem::path& file,
                                               std::string* why = nullptr) {
    auto lines = ReadTextLines(file, kMaxLanguageLines, kMaxLanguageFileSize, why);
    if (!lines || std::all_of(lines->begin(), lines->end(), IsValidUtf8)) return lines;
    for (std::string& line : *lines)
        line = Windows1252ToUtf8(line);
    return lines;
}

std::string languageFileName(std::string_view language) {
    return "\"" + std::string(language) + std::string(kLanguageExtension) + "\"";
}

} // namespace

void StoreLanguageTexts(const LanguageTexts& lines, Messages& messages) {
    messages.clear();
    for (std::size_t i = 0; i < lines.size() && i < kMaxLanguageLines; ++i)
        messages.set(static_cast<int>(i + 1), lines[i]);
}

LanguageFile ReadLanguageFile(const std::filesystem::path& file, const LanguageTexts& reference) {
    LanguageFile result;
    auto lines = ReadLanguageLines(file, &result.problem);
    if (!lines) return result;
    const auto binary = [](const std::string& line) { return line.find('\0') != std::string::npos; };
    if (std::any_of(lines->begin(), lines->end(), binary)) {
        result.problem = "is not a text file";
        return result;
    }
    if (lines->size() < reference.size()) {
        result.problem = "has " + std::to_string(lines->size()) + " lines; the program needs " +
                         std::to_string(reference.size());
        return result;
    }
    for (std::size_t i = 0; i < reference.size(); ++i) {
        if (reference[i].starts_with(kSectionMarker) && !(*lines)[i].starts_with(kSectionMarker)) {
            result.problem = "has no section marker (\"" + std::string(kSectionMarker) + "\") on line " +
                             std::to_string(i + 1);
            return result;
        }
    }
    result.lines = std::move(*lines);
    return result;
}

bool LoadLanguageFile(const std::filesystem::path& file, Messages& messages) {
    const auto lines = ReadLanguageLines(file);
    if (!lines) return false;
    StoreLanguageTexts(*lines, messages);
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

LanguageStatus CeckLingue(const std::filesystem::path& folder, LanguageSettings& s, Messages& messages,
                          const LanguageTexts& builtIn, std::string* warning) {
    const std::vector<std::string> languages = ListLanguages(folder);
    if (languages.empty()) return LanguageStatus::NoLanguageFile;
    s.Menu.fill(languages);

    std::string refused;
    const auto take = [&](int entry) {
        const std::string language = s.Menu.entry(entry).caption;
        LanguageFile file = ReadLanguageFile(LanguageFilePath(folder, language), builtIn);
        if (!file.ok()) {
            refused += "The language file " + languageFileName(language) + " cannot be used: it " +
                       file.problem + ".\n";
            return false;
        }
        StoreLanguageTexts(file.lines, messages);
        s.Menu.check(entry);
        s.CurrentLanguage = language;
        return true;
    };
    // The current language when it is installed, else (or when its file is refused) the first one that
    // passes, in the menu's order.
    const int current = s.Menu.find(s.CurrentLanguage);
    bool loaded = current >= 0 && take(current);
    for (int entry = 0; !loaded && entry < kLanguageEntries; ++entry)
        if (entry != current && s.Menu.isFilled(entry)) loaded = take(entry);

    if (!loaded) {
        if (builtIn.empty()) return LanguageStatus::NoLanguageFile;
        StoreLanguageTexts(builtIn, messages);
        s.Menu.check(-1);
    }
    if (warning && !refused.empty())
        *warning = refused + (loaded ? "The language " + s.CurrentLanguage + " is used instead."
                                     : std::string("The program's own Italian texts are used instead."));
    return LanguageStatus::Loaded;
}

LanguageStatus SwitchLanguage(const std::filesystem::path& folder, LanguageSettings& s, int index,
                              Messages& messages, const LanguageTexts& builtIn) {
    if (!s.Menu.isFilled(index)) return LanguageStatus::NotOffered;
    const int previous = s.Menu.checkedIndex();
    const std::string chosen = s.Menu.entry(index).caption;
    s.Menu.check(-1);

    // Running on the built-in texts (no entry checked), the built-in check is the only one.
    const LanguageFile file = ReadLanguageFile(LanguageFilePath(folder, chosen), builtIn);
    bool passed = file.ok();
    if (passed && previous >= 0)
        passed = LoadCheckedLanguage(LanguageFilePath(folder, s.Menu.entry(previous).caption),
                                     LanguageFilePath(folder, chosen), messages);
    else if (passed)
        StoreLanguageTexts(file.lines, messages);
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
