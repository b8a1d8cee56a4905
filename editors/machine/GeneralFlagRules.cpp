#include "GeneralFlagRules.h"

namespace vm::editors::generalflags {

namespace {
constexpr unsigned machines(std::initializer_list<int> couplings) {
    unsigned mask = 0;
    for (int c : couplings)
        mask |= 1u << c;
    return mask;
}

// The bits of the flags a keyboard switch clears: on these coupled machines, always or only when it is set.
struct Clearing {
    int switchIndex;
    unsigned couplings; // bit c: coupled machine c
    bool whenSet;
    std::uint32_t bits;
};
// clang-format off
constexpr Clearing kClearings[] = {
    {5, machines({2, 6}), true, 0x40},  {5, machines({3}), true, 0x44},   {11, machines({1}), true, 0x80},
    {11, machines({2, 6}), true, 0xC0}, {11, machines({3}), false, 0x62}, {12, machines({2, 3, 6}), true, 0x40},
    {17, machines({2}), true, 0x26},    {17, machines({3}), false, 0x26}, {17, machines({6}), true, 0x24},
    {18, machines({1}), false, 0x04}};
// clang-format on
} // namespace

// KTR 921, KTR 600 and DUR 700 clear bit 7 of the flags, DUR 400 sets it; both DUR set bit 4 of the second.
Bytes forMachine(int position, Bytes b) {
    if (position >= 1) b.flags = position == 3 ? b.flags | 0x80u : b.flags & ~0x80u;
    if (position >= 3) b.flags2 |= 0x10u;
    return b;
}

int machinePosition(int coupling, std::uint32_t flags) {
    return coupling == 0   ? 0
           : coupling == 3 ? 1
           : coupling == 4 ? 2
           : coupling == 2 ? ((flags & 0x80u) ? 3 : 4)
                           : -1;
}

// Bits 1 and 5 of the flags and bit 2 of GeneralFlags2; a vertical code on machine 6 clears bit 6.
Bytes forCode(int position, int coupling, Bytes b) {
    b.flags = position == 0 ? b.flags & ~0x22u : position == 1 ? (b.flags | 0x02u) & ~0x20u : b.flags | 0x22u;
    if (position >= 2 && coupling == 6) b.flags &= ~0x40u;
    b.flags2 = position == 3 ? b.flags2 | 0x04u : b.flags2 & ~0x04u;
    return b;
}

int codePosition(Bytes b) {
    if (!(b.flags & 0x02u)) return 0;
    if (!(b.flags & 0x20u)) return 1;
    return (b.flags2 & 0x04u) ? 3 : 2;
}

Bytes afterKeyboardSwitch(int switchIndex, bool nowSet, int coupling, Bytes b) {
    const bool known = coupling >= 0 && coupling < 32;
    for (const Clearing& c : kClearings)
        if (c.switchIndex == switchIndex && (nowSet || !c.whenSet) && known &&
            ((c.couplings >> coupling) & 1u))
            b.flags &= ~c.bits;
    // Switch 17 on machine 6 also clears bit 2 of GeneralFlags2.
    if (switchIndex == 17 && nowSet && coupling == 6) b.flags2 &= ~0x04u;
    return b;
}

} // namespace vm::editors::generalflags
