// The language files on any bytes: a file is loaded whole, a switch from a reference language checks
// the candidate first, and the start-up check takes a file only when it is text with the reference's lines
// and markers. Every text the program shows from them is UTF-8, and a switch that passes keeps the section
// markers on their lines; one that fails changes nothing.

#include "FuzzFiles.h"
#include "Languages.h"
#include "TextEncoding.h"
#include "TextLines.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vm;

namespace {

bool allUtf8(const Messages& messages) {
    for (int n = 0; n < kMessageCount; ++n)
        if (!IsValidUtf8(messages(n))) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFolder folder("language");
    FuzzedDataProvider in(data, size);
    const std::string reference = in.ConsumeRandomLengthString(4096);
    const std::string candidate = in.ConsumeRemainingBytesAsString();
    const auto referenceFile = fuzz::WriteFile(folder.path() / "Reference.lng", reference);
    const auto candidateFile = fuzz::WriteFile(folder.path() / "Candidate.lng", candidate);

    VM_FUZZ_CHECK(IsValidUtf8(Windows1252ToUtf8(candidate)));

    static Messages loaded; // 2001 texts: kept between runs, every one is checked
    VM_FUZZ_CHECK(LoadLanguageFile(candidateFile, loaded));
    VM_FUZZ_CHECK(allUtf8(loaded));

    const LanguageTexts referenceLines = SplitTextLines(reference, kMaxLanguageLines);
    const LanguageFile checked = ReadLanguageFile(candidateFile, referenceLines);
    if (!checked.ok()) VM_FUZZ_CHECK(checked.lines.empty());
    if (checked.ok()) {
        VM_FUZZ_CHECK(checked.lines.size() >= referenceLines.size());
        for (std::size_t i = 0; i < checked.lines.size(); ++i) {
            VM_FUZZ_CHECK(IsValidUtf8(checked.lines[i]) && checked.lines[i].find('\0') == std::string::npos);
            if (i < referenceLines.size() && referenceLines[i].starts_with(kSectionMarker))
                VM_FUZZ_CHECK(checked.lines[i].starts_with(kSectionMarker));
        }
    }

    static Messages switched;
    switched.clear();
    switched.set(1, "previous");
    if (LoadCheckedLanguage(referenceFile, candidateFile, switched)) {
        VM_FUZZ_CHECK(allUtf8(switched));
        LoadLanguageFile(referenceFile, loaded);
        for (int n = 1; n < kMessageCount; ++n)
            if (loaded(n).starts_with(kSectionMarker)) VM_FUZZ_CHECK(switched(n).starts_with(kSectionMarker));
    } else {
        VM_FUZZ_CHECK(switched(1) == "previous");
        for (int n = 2; n < kMessageCount; ++n)
            VM_FUZZ_CHECK(switched(n).empty());
    }
    return 0;
}
