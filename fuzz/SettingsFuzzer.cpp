// The settings files on any bytes: the program's own file and the shared one are read at start-up together
// with the installed languages. What a file says is written back as it reads, and start-up ends with a
// language that is installed.

#include "FuzzFiles.h"
#include "Settings.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vm;

namespace {

// program/ holds the program's own file and two languages; the shared file lies in the parent folder.
struct Install {
    fuzz::ScratchFolder root{"settings"};
    std::filesystem::path program = root.path() / "program";
    SettingsFiles files = SettingsFilesFor(program, "vmconfig");
    Install() {
        std::filesystem::create_directories(program);
        fuzz::WriteFile(program / "English.lng", "one\r\n");
        fuzz::WriteFile(program / "Italiano.lng", "uno\r\n");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Install install;
    FuzzedDataProvider in(data, size);
    const std::string own = in.ConsumeRandomLengthString(512);
    const std::string shared = in.ConsumeRemainingBytesAsString();
    fuzz::WriteFile(install.files.own, own);
    fuzz::WriteFile(install.files.shared, shared);

    // Whatever a file holds, writing it back gives a file that reads the same.
    const SettingsFileContents read = ReadSettingsFile(install.files.shared);
    if (read.comPort && read.language) {
        const auto copy = install.root.path() / "copy.ini";
        VM_FUZZ_CHECK(WriteSettingsFile(copy, *read.comPort, *read.language).empty());
        const SettingsFileContents again = ReadSettingsFile(copy);
        VM_FUZZ_CHECK(again.comPort == read.comPort);
        VM_FUZZ_CHECK(again.language == read.language);
    }

    LanguageSettings settings;
    VM_FUZZ_CHECK(LoadSettings(install.files, install.program, settings));
    if (read.comPort) VM_FUZZ_CHECK(settings.ComPort == *read.comPort);
    const int checked = settings.Menu.checkedIndex();
    if (checked >= 0) VM_FUZZ_CHECK(settings.Menu.isFilled(checked));
    return 0;
}
