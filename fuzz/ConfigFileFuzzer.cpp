// The configuration-file decoder on any bytes under any file name. The first byte chooses the shape: the
// bytes as they are (any length), or padded to the exact size of a protected file (with the right
// checksum or not), a plain record or a ".cfx" image, so that small inputs reach the checks past the
// length test. A file that decodes must hold a configuration (not one repeated 0x00 or 0xFF, as a zeroed
// or erased disk block reads), load into the images exactly as it reads and survive a save.

#include "ConfigFile.h"
#include "FuzzFiles.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace vm;

namespace {

enum class Shape { AsIs, Protected, ProtectedWithChecksum, Plain, Cfx, Count };

std::vector<std::uint8_t> shaped(Shape shape, std::vector<std::uint8_t> bytes) {
    switch (shape) {
    case Shape::Protected:
        bytes.resize(kProtectedFileSize);
        break;
    case Shape::ProtectedWithChecksum: {
        bytes.resize(kProtectedFileSize);
        const std::uint16_t sum = ProtectedChecksum(std::span(bytes).first(kProtectedDataSize));
        bytes[kProtectedDataSize] = static_cast<std::uint8_t>(sum & 0xFF);
        bytes[kProtectedDataSize + 1] = kProtectedTrailerMark;
        bytes[kProtectedDataSize + 2] = static_cast<std::uint8_t>(sum >> 8);
        break;
    }
    case Shape::Plain:
        bytes.resize(kConfigRecordSize);
        break;
    case Shape::Cfx:
        bytes.resize(kConfigAreaSize);
        break;
    default:
        break;
    }
    return bytes;
}

ProgramState& sharedState() {
    static ProgramState state; // large: built once, every image byte that loading touches is checked
    return state;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto shape =
        static_cast<Shape>(in.ConsumeIntegralInRange<int>(0, static_cast<int>(Shape::Count) - 1));
    std::string title = in.ConsumeRandomLengthString(40);
    if (shape == Shape::Cfx) title += ".cfx";
    const std::vector<std::uint8_t> bytes = shaped(shape, in.ConsumeRemainingBytes<std::uint8_t>());

    const ConfigReadResult read = DecodeConfigBytes(bytes, title);
    const auto dot = title.rfind('.');
    const bool cfxName = dot != std::string::npos && title.substr(dot) == ".cfx";
    VM_FUZZ_CHECK(cfxName == (read.data.kind == ConfigFileKind::Cfx));
    if (!read.ok()) return 0;

    const ConfigFileData& file = read.data;
    const auto held = file.kind == ConfigFileKind::Cfx
                          ? std::span<const std::uint8_t>(file.record).subspan(RecordPos::Image)
                          : std::span<const std::uint8_t>(file.record);
    for (const std::uint8_t blank : {std::uint8_t{0x00}, std::uint8_t{0xFF}})
        VM_FUZZ_CHECK(!std::all_of(held.begin(), held.end(), [blank](std::uint8_t b) { return b == blank; }));
    switch (file.kind) {
    case ConfigFileKind::Cfx:
        VM_FUZZ_CHECK(bytes.size() >= static_cast<std::size_t>(kConfigAreaSize));
        for (int a = 0; a < kConfigAreaSize; ++a)
            VM_FUZZ_CHECK(file.imageByte(a) == bytes[static_cast<std::size_t>(a)]);
        break;
    case ConfigFileKind::Plain:
        VM_FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), file.record.begin(), file.record.end()));
        break;
    case ConfigFileKind::Protected:
        VM_FUZZ_CHECK(bytes.size() == static_cast<std::size_t>(kProtectedFileSize));
        VM_FUZZ_CHECK(bytes[kProtectedDataSize + 1] == kProtectedTrailerMark);
        for (int i = 0; i < kConfigRecordSize; ++i)
            VM_FUZZ_CHECK(file.record[static_cast<std::size_t>(i)] == bytes[2 * static_cast<std::size_t>(i)]);
        break;
    }

    ProgramState& state = sharedState();
    ApplyConfigFile(file, state);
    for (int a = file.imageLoadFirst(); a < kConfigAreaSize; ++a)
        VM_FUZZ_CHECK(state.ConfigImage[static_cast<std::size_t>(a)] == file.imageByte(a));
    VM_FUZZ_CHECK(state.UnitCodes == file.unitCodes());

    // What was loaded is saved as a protected file that reads back with the same images.
    std::uint8_t filler = 0;
    const ConfigRecord record = BuildConfigRecord(state, title);
    const auto encoded = EncodeProtected(record, [&filler] { return filler++; });
    const ConfigReadResult again = DecodeConfigBytes(encoded, "again.prm");
    VM_FUZZ_CHECK(again.ok() && again.data.kind == ConfigFileKind::Protected);
    VM_FUZZ_CHECK(again.data.record == record);
    for (int a = file.imageLoadFirst(); a < kConfigAreaSize; ++a)
        VM_FUZZ_CHECK(again.data.imageByte(a) == file.imageByte(a));
    return 0;
}
