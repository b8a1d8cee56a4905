#include "FrmAssBricco.h"

namespace vm::editors {

FrmAssBricco::FrmAssBricco(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmAssBricco"), Caption("Impostazioni Prezzi-Bricco"));
    d.watchVisibleTab = true; // the link polls the shown slave only
    for (int slave = 1; slave <= 4; ++slave)
        d.page(Caption(QStringLiteral("Slave %1").arg(slave)), 3)
            .add(controlArray(kBeverages,
                              scrollBar(QStringLiteral("HScroll%1").arg(slave), 0, beverageParam(slave, 0))
                                  .range(1, 50)
                                  .step(3)
                                  .titled(Caption("Prezzo Bri. {n}"))));
    setup(std::move(d));
}

} // namespace vm::editors
