#include "AppTestSupport.h"

namespace vm::app::test {

namespace fs = std::filesystem;

std::vector<fs::path> ProgramFolder::mapFiles() {
    std::vector<fs::path> maps;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kBinDir, ec))
        if (entry.path().extension() == ".inx") maps.push_back(entry.path());
    return maps;
}

ProgramFolder::ProgramFolder(bool withMaps, bool withLanguages) {
    dir_ = fs::path(temp_.path().toStdString()) / "prog";
    fs::create_directories(dir_);
    if (withLanguages)
        for (const char* name : {"Italiano.lng", "English.lng"})
            fs::copy_file(kSourceDir / "data" / "lang" / name, dir_ / name);
    if (withMaps)
        for (const fs::path& map : mapFiles())
            fs::copy_file(map, dir_ / map.filename());
}

std::unique_ptr<WindowUnderTest> MakeWindow(const ProgramFolder& folder, PortChoice port,
                                            PortFactory portFactory) {
    auto w = std::make_unique<WindowUnderTest>();
    AppConfig config;
    config.programDir = folder.dir();
    config.port = port;
    config.dialogs = w->dialogs;
    config.portFactory = std::move(portFactory);
    WindowUnderTest* raw = w.get();
    config.launcher = [raw](const fs::path&) { ++raw->launcherCalls; };
    w->window = std::make_unique<MainWindow>(std::move(config));
    return w;
}

} // namespace vm::app::test
