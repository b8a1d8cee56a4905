// The identification map on any bytes, through the start-up load: a map that is taken fills entry k from
// record k (at most 20, whole records only) and has the records the connect reads; a refused one names the
// file and leaves every entry empty. The parameter map loads in both cases.

#include "FuzzFiles.h"
#include "MapChecks.h"
#include "ParamMap.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFolder folder("ident-map");
    static const bool mapWritten = [] {
        // Two parameters: a byte at address 20 and a word at address 30.
        const std::uint8_t map[] = {0, 20, 0x50, 0, 0, 0, 0, 0, 0, 0, 30, 0x51, 0, 0, 0, 0, 0, 0};
        fuzz::WriteFile(folder.path() / ParamMapFileName(21, 0), map);
        return true;
    }();
    (void)mapWritten;
    fuzz::WriteFile(folder.path() / IdentMapFileName(482), std::span(data, size));

    static ProgramState state;
    const MapLoadResult result = WriteAddressMap(state, folder.path(), folder.path());
    VM_FUZZ_CHECK(state.RecordCount[0] == 2);
    VM_FUZZ_CHECK(result.ok || result.error.find(IdentMapFileName(482)) != std::string::npos);

    const auto records =
        result.ok ? std::min<std::size_t>(size / kIdentFileRecordSize, kIdentRecordCount) : 0;
    const auto& entries = state.IdentMap[0];
    for (const int k : kIdentReadRecords)
        VM_FUZZ_CHECK(!result.ok || entries[static_cast<std::size_t>(k - 1)][2] != 0);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const auto& e = entries[k];
        if (k >= records) {
            for (const std::uint8_t b : e)
                VM_FUZZ_CHECK(b == 0);
            continue;
        }
        const std::uint8_t* r = data + k * kIdentFileRecordSize;
        VM_FUZZ_CHECK(e[0] == r[0] && e[1] == r[1] && e[2] == r[2] && e[3] == r[3] && e[6] == r[4]);
        VM_FUZZ_CHECK(e[4] == 0 && e[5] == 0 && e[7] == 0 && e[8] == 0 && e[9] == 0 && e[10] == 0);
    }
    return 0;
}
