#include "FrmItemNumber.h"

namespace vm::editors {

namespace {
constexpr int kFirstRangeSpirals = 56;
constexpr int kSecondRangeSpirals = 14;
// First parameter of each unit's spirals 0..55, and the parameter that spiral 0 would have in the second
// range (spiral 56 lies at this base + 56). Unit 4 has no second range.
constexpr int kFirstBase[4] = {12602, 12658, 12714, 12770};
constexpr int kSecondBase[4] = {13626, 13640, 13654, 0};
} // namespace

int FrmItemNumber::spiralCount(int unit) {
    if (unit < 1 || unit > 4) return 0;
    return kFirstRangeSpirals + (kSecondBase[unit - 1] != 0 ? kSecondRangeSpirals : 0);
}

int FrmItemNumber::spiralParam(int unit, int spiral) {
    if (spiral < 0 || spiral >= spiralCount(unit)) return 0;
    return spiral < kFirstRangeSpirals ? kFirstBase[unit - 1] + spiral : kSecondBase[unit - 1] + spiral;
}

int FrmItemNumber::spiralNumber(int spiral) {
    return (spiral / 8 + 1) * 10 + spiral % 8 + 1;
}

FrmItemNumber::FrmItemNumber(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmItemNumber"), Caption("Item Number"));
    d.watchVisibleTab = true; // 70 spirals a page: the link polls the shown unit only
    for (int unit = 1; unit <= 4; ++unit) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit)), 4);
        for (int spiral = 0; spiral < spiralCount(unit); ++spiral)
            page.add(scrollBar(QStringLiteral("HScroll%1").arg(unit), spiral, spiralParam(unit, spiral))
                         .titled(Caption(QStringLiteral("Spirale %1").arg(spiralNumber(spiral)))));
    }
    setup(std::move(d));
}

} // namespace vm::editors
