#include "FrmItemNumber.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
// Each unit's spirals lie in two ranges, one group per unit in each: spirals 0..55 and 56..69 (unit 4 has
// no second).
constexpr int kFirstRangeSpirals = 56;
constexpr int kSecondRangeSpirals = 14;
constexpr int kSecondRangeUnits = param::ItemNumber57Count / kSecondRangeSpirals;
} // namespace

int FrmItemNumber::spiralCount(int unit) {
    if (unit < 1 || unit > 4) return 0;
    return kFirstRangeSpirals + (unit <= kSecondRangeUnits ? kSecondRangeSpirals : 0);
}

int FrmItemNumber::spiralParam(int unit, int spiral) {
    if (spiral < 0 || spiral >= spiralCount(unit)) return 0;
    const int u = unit - 1;
    if (spiral < kFirstRangeSpirals) return param::ItemNumber + kFirstRangeSpirals * u + spiral;
    return param::ItemNumber57 + kSecondRangeSpirals * u + spiral - kFirstRangeSpirals;
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
