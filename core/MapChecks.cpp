#include "MapChecks.h"

#include "ParamCell.h"
#include "ProgramState.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace vm {

namespace {

constexpr int kIdentFileRecord = 5;
constexpr int kLastImageAddress = kImageSize - 1;
constexpr int kConfigurationSpace = 5;
constexpr int kBoardInfoSpace = 1;
constexpr int kBoardInfoSize = 48;

std::string hexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string recordText(std::size_t k) {
    return "record " + std::to_string(k);
}

std::string placesText(std::size_t k, int first, int last) {
    return recordText(k) + " places bytes " + std::to_string(first) + ".." + std::to_string(last);
}

// The fault of one used record (address and command byte), or empty.
std::string recordFault(std::size_t k, int address, std::uint8_t command) {
    const int space = command >> 4;
    if (space < 1 || space > 6)
        return recordText(k) + " has the command byte " + hexByte(command) + ", which names no memory space";
    if (const int last = address + (command & 0x0F); last > kLastImageAddress)
        return placesText(k, address, last) + " beyond address " + std::to_string(kLastImageAddress);
    return {};
}

bool allZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

} // namespace

std::string ParamMapFault(std::span<const std::uint8_t> records) {
    struct Footprint {
        int space, first, last;
        std::size_t record;
    };
    std::vector<Footprint> used;
    const std::size_t count = records.size() / kMapRecordSize;
    for (std::size_t k = 1; k <= count; ++k) {
        const auto r = records.subspan((k - 1) * kMapRecordSize, kMapRecordSize);
        if (r[2] == 0) {
            if (!allZero(r)) return recordText(k) + " has no command byte but is not empty";
            continue;
        }
        const int address = r[0] * 256 + r[1];
        if (std::string fault = recordFault(k, address, r[2]); !fault.empty()) return fault;
        const Footprint f{r[2] >> 4, address, address + (r[2] & 0x0F), k};
        if (f.space == kConfigurationSpace && f.last >= kConfigAreaSize)
            return placesText(k, f.first, f.last) + " beyond the configuration memory (0.." +
                   std::to_string(kConfigAreaSize - 1) + ")";
        if (f.space == kBoardInfoSpace && f.last >= kBoardInfoSize)
            return placesText(k, f.first, f.last) + " beyond the " + std::to_string(kBoardInfoSize) +
                   " bytes of the board information";
        used.push_back(f);
    }
    if (used.empty()) return "it holds no parameter";

    std::sort(used.begin(), used.end(), [](const Footprint& a, const Footprint& b) {
        return a.space != b.space ? a.space < b.space : a.first < b.first;
    });
    for (std::size_t i = 1; i < used.size(); ++i) {
        const Footprint& a = used[i - 1];
        const Footprint& b = used[i];
        if (a.space == b.space && b.first <= a.last) {
            const auto [one, two] = std::minmax(a.record, b.record);
            return "records " + std::to_string(one) + " and " + std::to_string(two) + " share address " +
                   std::to_string(b.first) + " of memory space " + std::to_string(a.space);
        }
    }
    return {};
}

std::string IdentMapFault(std::span<const std::uint8_t> records) {
    const std::size_t count =
        std::min<std::size_t>(records.size() / kIdentFileRecord, static_cast<std::size_t>(kIdentRecordCount));
    for (std::size_t k = 1; k <= count; ++k) {
        const auto r = records.subspan((k - 1) * kIdentFileRecord, kIdentFileRecord);
        if (r[2] == 0) {
            if (!allZero(r)) return recordText(k) + " has no command byte but is not empty";
            continue;
        }
        if (std::string fault = recordFault(k, r[0] * 256 + r[1], r[2]); !fault.empty()) return fault;
    }
    for (const int k : kIdentReadRecords) {
        if (static_cast<std::size_t>(k) > count)
            return "it has " + std::to_string(count) + " records; the connect reads record " +
                   std::to_string(k);
        if (records[static_cast<std::size_t>(k - 1) * kIdentFileRecord + 2] == 0)
            return recordText(static_cast<std::size_t>(k)) + ", which the connect reads, is empty";
    }
    return {};
}

} // namespace vm
