#include "Catalogue.h"

#include <algorithm>

namespace vm::catalogue {

const ParamInfo* find(int index) {
    const auto params = all();
    auto it = std::lower_bound(params.begin(), params.end(), index,
                               [](const ParamInfo& p, int i) { return p.index < i; });
    return it != params.end() && it->index == index ? &*it : nullptr;
}

} // namespace vm::catalogue
