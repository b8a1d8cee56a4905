#include "PortProblems.h"

#include <filesystem>

#ifdef __unix__
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vm::link {

namespace {

// The group that owns the device file ("dialout", "uucp"), or empty.
std::string deviceGroup(const std::string& device) {
#ifdef __unix__
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return {};
    if (const group* g = ::getgrgid(info.st_gid)) return g->gr_name;
#else
    (void)device;
#endif
    return {};
}

} // namespace

PortFailure ClassifyPortFailure(const std::string& device, bool permissionOrBusy) {
    std::error_code ec;
    if (!std::filesystem::exists(device, ec)) return PortFailure::NoSuchDevice;
    if (!permissionOrBusy) return PortFailure::Other;
#ifdef __unix__
    if (::access(device.c_str(), R_OK | W_OK) != 0) return PortFailure::NoPermission;
#endif
    return PortFailure::InUse;
}

std::string DescribePortFailure(const std::string& device, PortFailure failure, const std::string& detail) {
    switch (failure) {
    case PortFailure::NoSuchDevice:
        return "Serial port " + device + " does not exist: plug the adapter in or choose another port.";
    case PortFailure::InUse:
        return "Serial port " + device +
               " is in use by another program: close that program and connect again.";
    case PortFailure::NoPermission: {
        const std::string group = deviceGroup(device);
        if (group.empty()) return "No permission to use serial port " + device + ": ask for access to it.";
        return "No permission to use serial port " + device + ": add your user to the group \"" + group +
               "\" (sudo usermod -aG " + group + " $USER) and log in again.";
    }
    case PortFailure::Other:
        break;
    }
    return "Serial port " + device + " cannot be opened: " + (detail.empty() ? "unknown error" : detail) +
           ".";
}

std::string LineSettingsProblem(int fd) {
#ifdef __unix__
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return "its settings cannot be read back";
    std::string problem;
    auto add = [&](const std::string& what) { problem += (problem.empty() ? "" : ", ") + what; };
    if (::cfgetispeed(&tio) != B19200 || ::cfgetospeed(&tio) != B19200) add("not 19200 baud");
    if ((tio.c_cflag & CSIZE) != CS8) add("not 8 data bits");
    if (tio.c_cflag & PARENB) add("parity on");
    if (tio.c_cflag & CSTOPB) add("2 stop bits");
    return problem;
#else
    (void)fd;
    return {};
#endif
}

} // namespace vm::link
