#include "MapFiles.h"

#include "FileIO.h"

namespace vm::sim {

namespace {
// A full parameter table of 33000 records, and far more than any identification map holds.
constexpr std::uintmax_t kMaxMapSize =
    static_cast<std::uintmax_t>(vm::kMaxRecords + 1) * vm::kMapRecordSize - 1;

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& file,
                                                       std::string& error) {
    std::string why;
    auto bytes = vm::ReadWholeFile(file, kMaxMapSize, &why);
    if (!bytes) error = "cannot read map file " + file.string() + ": it " + why;
    return bytes;
}
} // namespace

std::optional<std::vector<IdentRecord>> ReadIdentMapFile(const std::filesystem::path& file,
                                                         std::string& error) {
    const auto bytes = readWholeFile(file, error);
    if (!bytes) return std::nullopt;
    std::vector<IdentRecord> records;
    for (std::size_t at = 0; at + 5 <= bytes->size(); at += 5) {
        const auto* b = bytes->data() + at;
        records.push_back({static_cast<std::uint16_t>(b[0] * 256 + b[1]), b[2], b[3], b[4]});
    }
    return records;
}

std::optional<std::vector<MapRecord>> ReadParamMapFile(const std::filesystem::path& file,
                                                       std::string& error) {
    const auto bytes = readWholeFile(file, error);
    if (!bytes) return std::nullopt;
    std::vector<MapRecord> records;
    for (std::size_t at = 0; at + 9 <= bytes->size(); at += 9) {
        const auto* b = bytes->data() + at;
        records.push_back(
            {static_cast<std::uint16_t>(b[0] * 256 + b[1]), b[2], b[3], b[4], {b[5], b[6], b[7], b[8]}});
    }
    return records;
}

} // namespace vm::sim
