#pragma once
// The offline commands: the parameters a configuration file carries (show) and those two files hold
// differently (diff), read from the file's image at each parameter's address and width.

#include "ConfigFile.h"
#include "Delivery.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vm::cli {

// What show and diff need to know of one parameter of the configuration memory.
struct ViewParam {
    int index = 0;
    std::string name;
    int address = 0;
    int width = 1; // bytes
    bool isText = false;
};

// A file as show and diff read it: a configuration file, or a telemetry settings file (".tlm" in any case)
// whose settings stand in the image at their board addresses; such a file carries nothing else.
struct ViewFile {
    ConfigFileData data;
    bool telemetryOnly = false;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};
ViewFile ReadViewFile(const std::filesystem::path& path);
// The parameters that lie wholly in the telemetry settings.
std::vector<ViewParam> TelemetryParams(const std::vector<ViewParam>& params);

// Whether the file carries every byte of the parameter (ConfigImage from imageLoadFirst() to 12927).
bool FileCarries(const ConfigFileData& file, const ViewParam& param);

// The parameter's value as the file's image holds it: a number (little-endian) or the text bytes.
ParamData ValueInFile(const ConfigFileData& file, const ViewParam& param);

// A value as the commands print it: numbers in decimal, texts in double quotes with \" \\ and \xNN escapes.
std::string FormatValue(const ParamData& value);

struct ShownParam {
    int index = 0;
    std::string name;
    std::string value;
};
std::vector<ShownParam> ShowConfig(const ConfigFileData& file, const std::vector<ViewParam>& params);

struct DiffParam {
    int index = 0;
    std::string name;
    std::string valueA; // "-" when the file does not carry the parameter
    std::string valueB;
};
// The parameters whose values differ, and those that only one of the files carries.
std::vector<DiffParam> DiffConfigs(const ConfigFileData& a, const ConfigFileData& b,
                                   const std::vector<ViewParam>& params);

} // namespace vm::cli
