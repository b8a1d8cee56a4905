#include "Conditions.h"

#include "EditorBase.h"

#include <algorithm>
#include <vector>

namespace vm::editors {

Condition bitSet(int param, unsigned mask) {
    return [=](const EditorBase& e) { return (e.currentValue(param) & mask) != 0; };
}

Condition valueIn(int param, int lo, int hi) {
    return [=](const EditorBase& e) {
        const auto v = static_cast<int>(e.currentValue(param));
        return v >= lo && v <= hi;
    };
}

Condition valueOneOf(int param, std::initializer_list<int> values) {
    return [=, list = std::vector<int>(values)](const EditorBase& e) {
        const auto v = static_cast<int>(e.currentValue(param));
        return std::find(list.begin(), list.end(), v) != list.end();
    };
}

Condition slaveTypeIn(int unit, int lo, int hi) {
    return [=](const EditorBase& e) {
        const int type = e.state().SlaveType(unit);
        return type >= lo && type <= hi;
    };
}

Condition couplingIs(std::initializer_list<int> types) {
    return [list = std::vector<int>(types)](const EditorBase& e) {
        for (int t : list)
            if (e.state().CouplingType == t) return true;
        return false;
    };
}

Condition both(Condition a, Condition b) {
    return [a = std::move(a), b = std::move(b)](const EditorBase& e) { return a(e) && b(e); };
}

Condition negate(Condition c) {
    return [c = std::move(c)](const EditorBase& e) { return !c(e); };
}

} // namespace vm::editors
