#include "Settings.h"

#include "FileIO.h"
#include "Languages.h"
#include "TextLines.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vm {

namespace {

constexpr std::size_t kSettingsLinesRead = 16; // a settings file has two; garbage beyond is not read
constexpr std::uintmax_t kMaxSettingsSize = 65536; // a larger file is no settings file: ignored

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::string_view trimmed(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The leading number of the text, as the port field is read; blanks before it are allowed. 0 is the USB
// choice where the adapter's port has no COM number (see link/ComMenuModel.h).
std::optional<std::uint8_t> portNumber(std::string_view text) {
    text = trimmed(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end == text.data() || value < 0 || value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

} // namespace

SettingsFiles SettingsFilesFor(const std::filesystem::path& programFolder, std::string_view executableName) {
    const std::filesystem::path folder = std::filesystem::absolute(programFolder).lexically_normal();
    std::filesystem::path ini = folder / std::filesystem::path(executableName).filename();
    ini.replace_extension(".ini");
    return {ini, (folder / "..").lexically_normal() / kSharedSettingsName};
}

SettingsFileContents ReadSettingsFile(const std::filesystem::path& path) {
    SettingsFileContents contents;
    const auto lines = ReadTextLines(path, kSettingsLinesRead, kMaxSettingsSize);
    if (!lines) return contents;
    for (const std::string& line : *lines) {
        if (!contents.comPort && startsWithNoCase(line, "Com="))
            contents.comPort = portNumber(std::string_view(line).substr(4));
        else if (!contents.language && startsWithNoCase(line, "Lingua="))
            contents.language = std::string(trimmed(std::string_view(line).substr(7)));
    }
    return contents;
}

std::string WriteSettingsFile(const std::filesystem::path& path, int comPort, std::string_view language) {
    const std::string text =
        "Com=" + std::to_string(comPort) + "\r\nLingua=" + std::string(language) + "\r\n";
    return WriteFileReplacing(path,
                              std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool LoadSettings(const SettingsFiles& files, const std::filesystem::path& languageFolder,
                  LanguageSettings& s) {
    const std::string fallback = s.Menu.entry(0).caption;

    const SettingsFileContents own = ReadSettingsFile(files.own);
    if (own.comPort) s.ComPort = *own.comPort;
    std::string current = own.language.value_or(fallback);

    const SettingsFileContents shared = ReadSettingsFile(files.shared);
    if (shared.comPort) s.ComPort = *shared.comPort;
    const std::string sharedLanguage = shared.language.value_or(fallback);

    const std::vector<std::string> languages = ListLanguages(languageFolder);
    if (languages.empty()) return false;
    s.Menu.fill(languages);

    s.CurrentLanguage = current;
    // The launcher's choice wins when it names an installed language; an empty name never matches.
    if (sharedLanguage != current) {
        const int entry = s.Menu.find(sharedLanguage);
        if (entry >= 0) {
            s.Menu.check(entry);
            s.CurrentLanguage = sharedLanguage;
            SaveSettings(files, s);
        }
    }
    return true;
}

std::string SaveSettings(const SettingsFiles& files, const LanguageSettings& s) {
    const std::string language = s.Menu.checkedCaption();
    std::string errors = WriteSettingsFile(files.own, s.ComPort, language);
    const std::string sharedError = WriteSettingsFile(files.shared, s.ComPort, language);
    if (!sharedError.empty()) errors += (errors.empty() ? "" : "\n") + sharedError;
    return errors;
}

} // namespace vm
