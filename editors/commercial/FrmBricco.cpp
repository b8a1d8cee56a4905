#include "FrmBricco.h"

#include <QLabel>

namespace vm::editors {

namespace {
constexpr int kFirstCounter[2] = {8917, 9093}; // beverage i of slave 1 and 2
QString labelName(int slave) {
    return QStringLiteral("Label%1").arg(slave + 1);
}
} // namespace

FrmBricco::FrmBricco(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmBricco"), Caption("Dati per vendite parziali - BRICCO"));
    for (int slave = 0; slave < 2; ++slave)
        d.page(Caption(QStringLiteral("Slave %1").arg(slave + 1)), 2)
            .add(controlArray(
                kBeverages,
                valueText(labelName(slave), 0, kFirstCounter[slave]).titled(Caption("Bev. {n}"))));
    d.extraWatch = {1844, 1856};
    setup(std::move(d));
}

// The counters live on the board: read them again while the window is open.
void FrmBricco::buildExtra() {
    everyMs(kRefreshMs, [this] {
        if (!state().Online) return;
        for (int slave = 0; slave < 2; ++slave)
            for (int i = 0; i < kBeverages; ++i)
                context().state.RequestRead(kFirstCounter[slave] + i);
    });
}

// Without a board there are no counts to show (the configuration holds none).
void FrmBricco::rulesApplied() {
    if (state().Online) return;
    for (int slave = 0; slave < 2; ++slave)
        for (int i = 0; i < kBeverages; ++i)
            if (auto* label = qobject_cast<QLabel*>(control(labelName(slave), i))) label->clear();
}

} // namespace vm::editors
