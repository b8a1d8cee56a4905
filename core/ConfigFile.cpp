#include "ConfigFile.h"

#include "Catalogue.h"
#include "FileIO.h"

#include <algorithm>
#include <memory>
#include <random>

namespace vm {

namespace {

constexpr int kNameFieldBlanksEnd = 32;
constexpr int kEditionBlanksEnd = 49;
constexpr int kZeroesEnd = 58;
constexpr int kUnitMarksFirst = 72;
constexpr int kUnitMarksEnd = 76;

// The image bytes of a parameter as the record copies them; an address outside the image gives 0.
void copyParamBytes(const ProgramState& state, int index, int count, std::uint8_t* out) {
    const int address = state.ParamAddress(index);
    for (int i = 0; i < count; ++i) {
        const int a = address + i;
        out[i] = a < kImageSize ? state.ConfigImage[static_cast<std::size_t>(a)] : 0;
    }
}

// The kind goes by the file name's last suffix, in exact case: "dump.2024.cfx" is an image, "site.cfx.prm"
// is not.
bool isCfxTitle(std::string_view fileTitle) {
    const auto dot = fileTitle.rfind('.');
    return dot != std::string_view::npos && fileTitle.substr(dot) == ".cfx";
}

std::string lengthText(std::string_view what, std::size_t have, std::size_t need) {
    return "The file is too " + std::string(have < need ? "short" : "long") + " to be a " +
           std::string(what) + " configuration file (" + std::to_string(have) + " bytes instead of " +
           std::to_string(need) + ").";
}

std::string hexByte(std::uint8_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

// A zeroed or erased disk block reads as a file of one repeated byte, and its checksum can even match:
// such a file holds no configuration and must never reach a board.
std::string blankDataText(std::span<const std::uint8_t> data, std::size_t step) {
    for (const std::uint8_t blank : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
        bool all = true;
        for (std::size_t i = 0; all && i < data.size(); i += step)
            all = data[i] == blank;
        if (all)
            return "The file holds no configuration: every data byte is " + hexByte(blank) +
                   " (a zeroed or erased file).";
    }
    return {};
}

} // namespace

std::string RecordNameField(std::string_view fileTitle, char pad) {
    std::string name(RecordPos::NameLength, pad);
    const auto dot = fileTitle.find('.');
    if (dot == std::string_view::npos) return name;
    // A dot at the 13th character or later: the first 13 characters, dot included when it is the 13th.
    const std::size_t length = dot < RecordPos::NameLength - 1 ? dot : RecordPos::NameLength;
    const std::string_view kept = fileTitle.substr(0, std::min(length, fileTitle.size()));
    std::copy(kept.begin(), kept.end(), name.begin());
    return name;
}

char SoftwareLetter(int software) {
    if (software >= 0 && software <= 4) return static_cast<char>('A' + software);
    if (software == 21) return 'V';
    return 'A';
}

ConfigRecord BuildConfigRecord(const ProgramState& state, std::string_view fileTitle) {
    ConfigRecord r{};
    const std::string name = RecordNameField(fileTitle);
    std::copy(name.begin(), name.end(), r.begin());
    std::fill(r.begin() + RecordPos::NameLength, r.begin() + kNameFieldBlanksEnd, std::uint8_t{' '});
    r[32] = 'D';
    r[33] = 'T';
    // Four digits: a board type above 9999 keeps its last four.
    int type = state.BoardType % 10000;
    for (int i = 3; i >= 0; --i) {
        r[static_cast<std::size_t>(RecordPos::BoardType + i)] = static_cast<std::uint8_t>('0' + type % 10);
        type /= 10;
    }
    r[38] = 'A';
    r[RecordPos::SoftwareLetter] = static_cast<std::uint8_t>(SoftwareLetter(state.BoardSoftware));
    std::fill(r.begin() + RecordPos::SoftwareLetter + 1, r.begin() + kEditionBlanksEnd, std::uint8_t{' '});
    r[RecordPos::ModelCode] = state.AuxImage[8];
    std::fill(r.begin() + RecordPos::ModelCode + 1, r.begin() + kZeroesEnd, std::uint8_t{0});
    r[RecordPos::AuxByte9] = state.AuxImage[9];
    std::copy_n(state.AuxImage.begin() + 32, 3, r.begin() + RecordPos::Aux32);
    copyParamBytes(state, 1850, 3, &r[RecordPos::Param1850]);
    copyParamBytes(state, 1851, 2, &r[RecordPos::Param1851]);
    copyParamBytes(state, 1844, 1, &r[RecordPos::Param1844]);
    std::copy(state.UnitCodes.begin(), state.UnitCodes.end(), r.begin() + RecordPos::UnitCodes);
    std::fill(r.begin() + kUnitMarksFirst, r.begin() + kUnitMarksEnd, std::uint8_t{0xFF});
    std::copy_n(state.ConfigImage.begin(), kConfigAreaSize, r.begin() + RecordPos::Image);
    return r;
}

FillerSource RandomFillers() {
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine] {
        std::uniform_int_distribution<int> byte(0, 254);
        return static_cast<std::uint8_t>(byte(*engine));
    };
}

std::uint16_t ProtectedChecksum(std::span<const std::uint8_t> bytes) {
    // Plain pointer arithmetic: this runs over 26008 bytes for every file read.
    std::uint32_t sum = 0;
    for (const std::uint8_t *p = bytes.data(), *end = p + bytes.size(); p != end; ++p)
        sum += *p;
    return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

std::vector<std::uint8_t> EncodeProtectedRecord(std::span<const std::uint8_t> record, const FillerSource& fillers) {
    std::vector<std::uint8_t> file;
    file.reserve(2 * record.size() + 3);
    for (std::uint8_t b : record) {
        file.push_back(b);
        file.push_back(static_cast<std::uint8_t>(std::min<int>(fillers(), 254)));
    }
    const std::uint16_t sum = ProtectedChecksum(file);
    file.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    file.push_back(kProtectedTrailerMark);
    file.push_back(static_cast<std::uint8_t>(sum >> 8));
    return file;
}

std::vector<std::uint8_t> EncodeProtected(const ConfigRecord& record, const FillerSource& fillers) {
    return EncodeProtectedRecord(record, fillers);
}

bool ProtectedChecksumMatches(std::span<const std::uint8_t> file, int recordSize) {
    const auto dataSize = 2 * static_cast<std::size_t>(recordSize);
    if (file.size() < dataSize + 3) return false;
    const std::uint16_t sum = ProtectedChecksum(file.first(dataSize));
    return sum == static_cast<std::uint16_t>(file[dataSize + 2] * 256 + file[dataSize]);
}

std::array<std::uint8_t, 4> ConfigFileData::unitCodes() const {
    std::array<std::uint8_t, 4> codes{};
    std::copy_n(record.begin() + RecordPos::UnitCodes, 4, codes.begin());
    return codes;
}

std::array<std::uint8_t, 3> ConfigFileData::aux32() const {
    std::array<std::uint8_t, 3> bytes{};
    std::copy_n(record.begin() + RecordPos::Aux32, 3, bytes.begin());
    return bytes;
}

ConfigReadResult DecodeConfigBytes(std::span<const std::uint8_t> bytes, std::string_view fileTitle) {
    ConfigReadResult result;
    ConfigRecord& r = result.data.record;

    if (isCfxTitle(fileTitle)) {
        result.data.kind = ConfigFileKind::Cfx;
        if (bytes.size() < static_cast<std::size_t>(kConfigAreaSize)) {
            result.error = lengthText(".cfx", bytes.size(), kConfigAreaSize);
            return result;
        }
        if (bytes.size() > static_cast<std::size_t>(kMaxConfigFileSize)) {
            result.error = lengthText(".cfx", bytes.size(), kMaxConfigFileSize);
            return result;
        }
        const auto image = bytes.first(kConfigAreaSize);
        if (result.error = blankDataText(image, 1); !result.error.empty()) return result;
        // A record around the raw image, so that show and diff treat every kind alike.
        r = ConfigRecord{};
        std::fill_n(r.begin(), RecordPos::NameLength, std::uint8_t{' '});
        std::copy_n(image.begin(), 4, r.begin() + RecordPos::UnitCodes);
        std::copy(image.begin(), image.end(), r.begin() + RecordPos::Image);
        return result;
    }

    if (bytes.size() == static_cast<std::size_t>(kConfigRecordSize)) {
        result.data.kind = ConfigFileKind::Plain;
        if (result.error = blankDataText(bytes, 1); !result.error.empty()) return result;
        std::copy(bytes.begin(), bytes.end(), r.begin());
        return result;
    }

    result.data.kind = ConfigFileKind::Protected;
    if (bytes.size() != static_cast<std::size_t>(kProtectedFileSize)) {
        result.error = lengthText("protected", bytes.size(), kProtectedFileSize);
        return result;
    }
    // The record bytes stand at the even offsets; the fillers between them carry nothing.
    if (result.error = blankDataText(bytes.first(kProtectedDataSize), 2); !result.error.empty())
        return result;
    if (const std::uint8_t mark = bytes[kProtectedDataSize + 1]; mark != kProtectedTrailerMark) {
        result.error = "The file is no protected configuration file: its trailer mark is " + hexByte(mark) +
                       " instead of " + hexByte(kProtectedTrailerMark) + ".";
        return result;
    }
    if (!ProtectedChecksumMatches(bytes, kConfigRecordSize)) {
        result.error = std::string(kErrorFileText);
        return result;
    }
    for (int i = 0; i < kConfigRecordSize; ++i)
        r[static_cast<std::size_t>(i)] = bytes[2 * static_cast<std::size_t>(i)];
    return result;
}

ConfigReadResult ReadConfigFile(const std::filesystem::path& path) {
    std::string why;
    const auto bytes = ReadWholeFile(path, kMaxConfigFileSize, &why);
    if (!bytes) {
        ConfigReadResult result;
        result.error = "Cannot read " + path.filename().string() + ": it " + why;
        return result;
    }
    return DecodeConfigBytes(*bytes, path.filename().string());
}

void ApplyConfigFile(const ConfigFileData& data, ProgramState& state) {
    state.UnitCodes = data.unitCodes();
    if (data.kind != ConfigFileKind::Cfx) {
        state.AuxImage[8] = data.modelCode();
        state.ModelCode = data.modelCode();
        const auto aux = data.aux32();
        std::copy(aux.begin(), aux.end(), state.AuxImage.begin() + 32);
    }
    const int first = data.imageLoadFirst();
    std::copy(data.record.begin() + RecordPos::Image + first, data.record.end(),
              state.ConfigImage.begin() + first);
}

ConfigRecord RecordForSaving(const ConfigFileData& data, std::string_view fileTitle) {
    ConfigRecord r = data.record;
    if (data.kind == ConfigFileKind::Cfx) {
        ProgramState state;
        ApplyConfigFile(data, state);
        r = BuildConfigRecord(state, fileTitle);
    }
    const std::string name = RecordNameField(fileTitle);
    std::copy(name.begin(), name.end(), r.begin());
    const auto copy = [&](int index, int count, int position) {
        const int address = catalogue::find(index)->address;
        std::copy_n(r.begin() + RecordPos::Image + address, count, r.begin() + position);
    };
    copy(1850, 3, RecordPos::Param1850);
    copy(1851, 2, RecordPos::Param1851);
    copy(1844, 1, RecordPos::Param1844);
    return r;
}

ConfigLoadResult LoadConfigFile(const std::filesystem::path& path, ProgramState& state) {
    const ConfigReadResult read = ReadConfigFile(path);
    ConfigLoadResult result{read.data.kind, read.error};
    if (read.ok()) ApplyConfigFile(read.data, state);
    return result;
}

std::string SaveProtectedConfig(const std::filesystem::path& path, const ProgramState& state,
                                const FillerSource& fillers) {
    const ConfigRecord record = BuildConfigRecord(state, path.filename().string());
    const std::vector<std::uint8_t> file = EncodeProtected(record, fillers);
    return WriteFileReplacing(path, file);
}

} // namespace vm
