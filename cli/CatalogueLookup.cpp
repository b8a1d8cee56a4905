#include "CatalogueLookup.h"

#include "Catalogue.h"

namespace vm::cli {

std::string ParamName(int index) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    return info ? std::string(info->name) : std::string("?");
}

int ParamMirror(int index) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    return info ? info->mirror : 0;
}

std::vector<ViewParam> ConfigMemoryParams() {
    std::vector<ViewParam> params;
    for (const catalogue::ParamInfo& info : catalogue::all())
        if (info.space == catalogue::Space::Configuration)
            params.push_back({info.index, std::string(info.name), info.address, info.width, info.isText});
    return params;
}

} // namespace vm::cli
