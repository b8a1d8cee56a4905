#include "FrmExTempo.h"

#include "Conditions.h"
#include "ParamNames.h"

namespace vm::editors {

namespace {
// Each unit's sectors lie in three tables, one group per unit in each: elements 0..47, 48..55 and 56..69
// (unit 4 has no third).
constexpr int kFirstTableGroup = 48, kSecondTableGroup = 8, kThirdTableGroup = 14;
constexpr int kThirdTableUnits = param::SectorExtraTime57Count / kThirdTableGroup;

// The sector's number on the machine: tray (element / 8 + 1) and place (element % 8 + 1), "11" to "18",
// "21"...
int sectorNumber(int element) {
    return (element / 8 + 1) * 10 + element % 8 + 1;
}

int sectorCount(int unit) {
    return unit <= kThirdTableUnits ? 70 : 56;
}

int sectorParam(int unit, int element) {
    const int u = unit - 1;
    if (element < 48) return param::SectorExtraTime + kFirstTableGroup * u + element;
    if (element < 56) return param::SectorExtraTime49 + kSecondTableGroup * u + element - 48;
    return param::SectorExtraTime57 + kThirdTableGroup * u + element - 56;
}
} // namespace

FrmExTempo::FrmExTempo(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmExTempo"), Caption("Extra Tempi Settori"));
    d.watchVisibleTab = true; // 70 sectors a page: the link polls the shown unit only
    for (int unit = 1; unit <= 4; ++unit) {
        // Sectors belong to snack units.
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit)), 4)
                        .enabledIf(slaveTypeIn(unit, 3, unit == 1 ? 7 : 6));
        for (int element = 0; element < sectorCount(unit); ++element)
            page.add(scrollBar(QStringLiteral("HScroll%1").arg(unit), element, sectorParam(unit, element))
                         .titled(Caption(QStringLiteral("Settore %1").arg(sectorNumber(element)))));
    }
    setup(std::move(d));
}

} // namespace vm::editors
