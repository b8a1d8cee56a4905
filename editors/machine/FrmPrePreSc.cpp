#include "FrmPrePreSc.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
// A key refers to one of the 50 prices and 50 discounts (the catalogue's range); 0 leaves the selection's
// own.
constexpr int kKeys = param::PreselectionKeyPriceCount;
} // namespace

FrmPrePreSc::FrmPrePreSc(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPrePreSc"), Caption("Associazione Prezzo&Sconti Presel"));
    d.window()
        .frame(QStringLiteral("Frame1"), Caption("Prezzi"), 2)
        .add(controlArray(kKeys, scrollBar("HScroll1", 0, param::PreselectionKeyPrice)
                                     .step(5)
                                     .titled(Caption("Tasto Presel {n}"))));
    d.window()
        .frame(QStringLiteral("Frame2"), Caption("Sconti"), 2)
        .add(controlArray(kKeys, scrollBar("HScroll2", 0, param::PreselectionKeyDiscount)
                                     .step(5)
                                     .titled(Caption("Tasto Presel {n}"))));
    d.extraWatch = {param::CouplingType, param::GeneralFlags};
    setup(std::move(d));
}

} // namespace vm::editors
