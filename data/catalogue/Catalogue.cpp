#include "Catalogue.h"

#include <algorithm>

namespace vm::catalogue {

const ParamInfo* find(int index) {
    const auto params = all();
    auto it = std::lower_bound(params.begin(), params.end(), index,
                               [](const ParamInfo& p, int i) { return p.index < i; });
    return it != params.end() && it->index == index ? &*it : nullptr;
}

const ParamInfo* findById(std::string_view id) {
    if (id.empty()) return nullptr;
    for (const ParamInfo& p : all())
        if (p.id == id) return &p;
    return nullptr;
}

} // namespace vm::catalogue
