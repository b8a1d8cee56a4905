// The parameter map on any bytes, through the start-up load, and then everything that works from the
// cells it fills: the address report, reading and writing the images offline and online, watching and
// releasing, and the record of a saved configuration. A map may place a parameter anywhere; nothing may
// be read or written outside the table and the images.
//
// The first byte chooses the shape: the bytes as the file (mostly refused: a map must keep the catalogue's
// rules, and a refused map leaves the table empty), or a sparse map (index, record) whose records are bent
// into those rules, so that small inputs reach high parameter indexes such as the ones the configuration
// record copies.

#include "ConfigFile.h"
#include "FuzzFiles.h"
#include "MapChecks.h"
#include "ParamMap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <set>

using namespace vm;

namespace {

// Past the highest index any part of the program names (11733), short of a full table so that a run
// stays fast; the raw shape covers full tables.
constexpr int kSparseLastIndex = 12000;

// A record that names a memory space 1..6 and lies where its space allows (it may still share bytes with
// another one).
std::vector<std::uint8_t> lawfulRecord(std::vector<std::uint8_t> r) {
    const int space = r[2] >> 4;
    const int width = (r[2] & 0x0F) + 1;
    r[2] = static_cast<std::uint8_t>(((space % 6 + 1) << 4) | (width - 1));
    const int end = (r[2] >> 4) == 5 ? kConfigAreaSize : (r[2] >> 4) == 1 ? 48 : kImageSize;
    const int address = (r[0] * 256 + r[1]) % (end - width + 1);
    r[0] = static_cast<std::uint8_t>(address >> 8);
    r[1] = static_cast<std::uint8_t>(address & 0xFF);
    return r;
}

std::vector<std::uint8_t> sparseMap(FuzzedDataProvider& in) {
    std::vector<std::uint8_t> map;
    while (in.remaining_bytes() > kMapRecordSize) {
        const int index = in.ConsumeIntegralInRange<int>(1, kSparseLastIndex);
        const auto record = lawfulRecord(in.ConsumeBytes<std::uint8_t>(kMapRecordSize));
        const auto at = static_cast<std::size_t>(index - 1) * kMapRecordSize;
        if (map.size() < at + kMapRecordSize) map.resize(at + kMapRecordSize);
        std::copy(record.begin(), record.end(), map.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return map;
}

class Editor : public DeliveryTarget {
public:
    void deliver(int index, const ParamData&) override { VM_FUZZ_CHECK(ProgramState::isIndexInRange(index)); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFolder folder("param-map");
    FuzzedDataProvider in(data, size);
    const bool sparse = in.ConsumeBool();
    const auto map = sparse ? sparseMap(in) : in.ConsumeRemainingBytes<std::uint8_t>();
    fuzz::WriteFile(folder.path() / ParamMapFileName(21, 0), map);

    static ProgramState state;
    state.Online = false;
    state.ClearConfigArea();
    const MapLoadResult result = WriteAddressMap(state, folder.path(), folder.path());
    const std::size_t records = map.size() / kMapRecordSize;
    if (records > static_cast<std::size_t>(kMaxRecords) || !ParamMapFault(map).empty()) {
        VM_FUZZ_CHECK(!result.ok && state.RecordCount[0] == 0);
        VM_FUZZ_CHECK(result.error.find(ParamMapFileName(21, 0)) != std::string::npos);
        return 0;
    }
    VM_FUZZ_CHECK(state.RecordCount[0] == records);

    int previousLast = kReportFirstAddress - 2;
    for (const auto& [first, last] : UsedAddressRanges(state, 0)) {
        VM_FUZZ_CHECK(first > previousLast + 1 && first <= last && first < kReportEndAddress);
        VM_FUZZ_CHECK(last < kUsedAddressMarkCount);
        previousLast = last;
    }

    // Every defined parameter (at most a few hundred, so that a run stays short) is read, written
    // offline and online, watched and released.
    std::set<int> indexes;
    for (std::size_t k = 1; k <= records && indexes.size() < 300; ++k)
        if (state.IsParameter(static_cast<int>(k))) indexes.insert(static_cast<int>(k));
    Editor editor;
    std::uint32_t value = 0x89ABCDEF;
    for (const bool online : {false, true}) {
        state.Online = online;
        state.BoardPresent[0] = true;
        for (const int index : indexes) {
            const ParamCell& cell = state.cell(index, 0);
            (void)state.imageData(index);
            (void)state.cellData(index, 0);
            if (cell.isText())
                state.WriteImageText(index, index + 1, "fuzz text of some length", &editor);
            else if (cell.valueSize() == 1)
                state.WriteImageByte(index, index + 1, value & 0xFF, &editor);
            else if (cell.valueSize() == 2)
                state.WriteImageWord(index, index + 1, value & 0xFFFF, &editor);
            else
                state.WriteImage24(index, index + 1, value & 0xFFFFFF, &editor);
            state.WatchParam(index);
            state.ReleaseParam(index);
            state.SetParamValue(index, static_cast<double>(value));
            (void)state.cellData(index, 0);
            value = value * 1103515245u + 12345u;
        }
    }
    const ConfigRecord record = BuildConfigRecord(state, "map.prm");
    VM_FUZZ_CHECK(record[32] == 'D');
    return 0;
}
