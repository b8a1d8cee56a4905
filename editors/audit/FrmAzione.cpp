#include "FrmAzione.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
const char* const kRows[] = {"Depuratore",  "Caldaia",   " HACCP",       "Elettrovalvole",
                             "Guarnizioni", "Caldaia 2", "Macine caffè", "Filtri caffè"};
constexpr int kRowCount = 8;
// The first row of each unit; the catalogue gives the mirrors.
constexpr int kFirstDecounter[2] = {param::PreventiveDecounterUnit1, param::PreventiveDecounterUnit2};

Binding decounter(const char* control, int i, int index) {
    return scrollBar(QString::fromLatin1(control), i, index).offsetScroll().step(100);
}
} // namespace

// The unit with the lower addresses (and the water filter's recharge value) is "Slave 1".
FrmAzione::FrmAzione(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmAzione"), Caption("Azione Preventiva"));
    const char* const scrolls[2] = {"HScroll1", "HScroll0"};
    for (int unit = 0; unit < 2; ++unit) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(unit + 1)));
        for (int row = 0; row < kRowCount; ++row)
            page.add(decounter(scrolls[unit], row + 1, kFirstDecounter[unit] + row)
                         .titled(Caption(QString::fromUtf8(kRows[row]))));
        if (unit == 0)
            page.add(
                decounter(scrolls[0], 0, param::WaterFilterRecharge).titled(Caption("Ricarica depuratore")));
    }
    setup(std::move(d));
}

} // namespace vm::editors
