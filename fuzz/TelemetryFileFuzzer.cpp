// The ".tlm" decoder on any bytes. The first byte chooses the shape: as they are, or padded to the file's
// size with the right checksum (so that small inputs reach the checks past the length and the sum). A file
// that decodes holds exactly its even bytes as the record, and a record saved again decodes to itself.

#include "FuzzFiles.h"
#include "TelemetryFile.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vm;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool withChecksum = in.ConsumeBool();
    std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    if (withChecksum) {
        constexpr std::size_t dataSize = 2 * kTelemetryRecordSize;
        bytes.resize(kTelemetryFileSize);
        const std::uint16_t sum = ProtectedChecksum(std::span(bytes).first(dataSize));
        bytes[dataSize] = static_cast<std::uint8_t>(sum & 0xFF);
        bytes[dataSize + 1] = kProtectedTrailerMark;
        bytes[dataSize + 2] = static_cast<std::uint8_t>(sum >> 8);
    }

    const TelemetryReadResult read = DecodeTelemetryBytes(bytes);
    if (!read.ok()) return 0;
    VM_FUZZ_CHECK(bytes.size() == static_cast<std::size_t>(kTelemetryFileSize));
    for (std::size_t i = 0; i < read.record.size(); ++i)
        VM_FUZZ_CHECK(read.record[i] == bytes[2 * i]);

    std::uint8_t filler = 0;
    const auto encoded = EncodeTelemetryFile(read.record, [&filler] { return filler++; });
    const TelemetryReadResult again = DecodeTelemetryBytes(encoded);
    VM_FUZZ_CHECK(again.ok() && again.record == read.record);
    return 0;
}
