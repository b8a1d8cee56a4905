#include "FrmBricco.h"

#include "ParamNames.h"

#include <QLabel>

namespace vm::editors {

namespace {
constexpr int kFirstCounter[FrmBricco::kSlaves] = {param::JugVendCount,
                                                   param::JugVendCountBlock2}; // beverage i of slave 1 and 2
} // namespace

// base candidate: the counters are four bytes wide, which a bound value label cannot state (bindings are
// written, so their width stops at three bytes); the labels are the window's own and filled on delivery.
FrmBricco::FrmBricco(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmBricco"), Caption("Dati per vendite parziali - BRICCO"));
    for (int slave = 0; slave < kSlaves; ++slave)
        d.page(Caption(QStringLiteral("Slave %1").arg(slave + 1)));
    d.extraWatch = {param::CouplingType, param::GeneralFlags2};
    for (int slave = 0; slave < kSlaves; ++slave)
        for (int i = 0; i < kBeverages; ++i)
            d.extraWatch.push_back(kFirstCounter[slave] + i);
    setup(std::move(d));
}

void FrmBricco::buildExtra() {
    for (int slave = 0; slave < kSlaves; ++slave) {
        QWidget* container = page(slave);
        for (int i = 0; i < kBeverages; ++i) {
            auto* count = new QLabel(container);
            count->setMinimumWidth(80);
            count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            count->setFrameShape(QFrame::Panel);
            count->setFrameShadow(QFrame::Sunken);
            registerControl(QStringLiteral("Label%1").arg(slave + 1), i, count);
            addRow(container, captionLabel(Caption(QStringLiteral("Bev. %1").arg(i + 1)), container), count);
            counts_[static_cast<std::size_t>(slave)][static_cast<std::size_t>(i)] = count;
        }
    }
    // The counters live on the board: read them again while the window is open.
    everyMs(kRefreshMs, [this] {
        if (!state().Online) return;
        for (int slave = 0; slave < kSlaves; ++slave)
            for (int i = 0; i < kBeverages; ++i)
                context().state.RequestRead(kFirstCounter[slave] + i);
    });
}

// Without a board there are no counts to show (the configuration holds none).
void FrmBricco::afterDelivery(int index, const ParamData& value) {
    const double* count = std::get_if<double>(&value);
    for (int slave = 0; slave < kSlaves; ++slave) {
        const int i = index - kFirstCounter[slave];
        if (i >= 0 && i < kBeverages && count)
            counts_[static_cast<std::size_t>(slave)][static_cast<std::size_t>(i)]->setText(
                state().Online ? QString::number(static_cast<std::uint64_t>(*count)) : QString());
    }
}

} // namespace vm::editors
