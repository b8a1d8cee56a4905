#include "SecretParams.h"

namespace vm {

namespace {
constexpr int kSecretParams[] = {
    1857,  1858,  1859,  1860,  1861, 1862, // service codes
    6640,  6641,  6642,  6643,  6644, 6645, // their twins
    12061, 12062, 12063, 12064,             // module password, GPRS password
};
} // namespace

bool IsSecretAddress(const ProgramState& state, int space, int address) {
    for (int index : kSecretParams) {
        if (!state.IsParameter(index)) continue;
        const ParamCell& cell = state.cell(index, 0);
        const int first = cell.boardAddress();
        if (((cell.at(CellPos::Command) >> 4) & 0x07) == space && address >= first &&
            address < first + cell.valueSize())
            return true;
    }
    return false;
}

} // namespace vm
