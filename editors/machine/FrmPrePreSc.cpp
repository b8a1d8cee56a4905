#include "FrmPrePreSc.h"

namespace vm::editors {

namespace {
constexpr int kKeys = 12;
constexpr int kFirstPrice = 12080;
constexpr int kFirstDiscount = 12092;
// A key refers to one of the 50 prices and 50 discounts; 0 leaves the selection's own.
constexpr int kLastTableEntry = 50;
} // namespace

FrmPrePreSc::FrmPrePreSc(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPrePreSc"), Caption("Associazione Prezzo&Sconti Presel"));
    d.window()
        .frame(QStringLiteral("Frame1"), Caption("Prezzi"), 2)
        .add(controlArray(kKeys, scrollBar("HScroll1", 0, kFirstPrice)
                                     .range(0, kLastTableEntry)
                                     .step(5)
                                     .titled(Caption("Tasto Presel {n}"))));
    d.window()
        .frame(QStringLiteral("Frame2"), Caption("Sconti"), 2)
        .add(controlArray(kKeys, scrollBar("HScroll2", 0, kFirstDiscount)
                                     .range(0, kLastTableEntry)
                                     .step(5)
                                     .titled(Caption("Tasto Presel {n}"))));
    d.extraWatch = {1844, 1855};
    setup(std::move(d));
}

} // namespace vm::editors
