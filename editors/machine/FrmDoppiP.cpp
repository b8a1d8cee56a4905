#include "FrmDoppiP.h"

#include "ParamNames.h"
#include "SelectionKeys.h"

#include <QTabWidget>

namespace vm::editors {

namespace {
constexpr int kStride = 32; // one entry per selection
constexpr int kEntries = 18;
constexpr int kGroup = 9;
constexpr int kBase[2] = {param::DoubleProduct1, param::DoubleProduct2};
const char* const kEntryCaptions[kGroup] = {"N° Ev", "Tempo Ev", "Ritardo Ev", "Tempo Mx", "Ritardo Mx",
                                            "Tempo", "Ritardo", "Ton", "Toff"};
} // namespace

FrmDoppiP::FrmDoppiP(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmDoppiP"), Caption("Doppi Prodotti"));
    for (int set = 0; set < 2; ++set) {
        auto page = d.page(Caption(QStringLiteral("Doppio Prodotto %1").arg(set + 1)));
        for (int group = 0; group < 2; ++group) {
            auto frame = page.frame(QStringLiteral("Frame%1").arg(2 * set + group + 1),
                                    Caption(QStringLiteral("Gruppo %1").arg(group + 1)));
            for (int k = 0; k < kGroup; ++k) {
                const int i = group * kGroup + k;
                Binding b = scrollBar(QStringLiteral("HScroll%1").arg(set + 1), i, kBase[set] + kStride * i)
                                .perSelection()
                                .titled(Caption(kEntryCaptions[k]));
                if (k == 1) b.range(0, 65535).step(100); // the valve time is a word
                frame.add(std::move(b));
            }
        }
    }
    d.extraWatch = {param::CouplingType, param::GeneralFlags2};
    setup(std::move(d));
    chooseSelection(0);
}

void FrmDoppiP::buildExtra() {
    keys_ = new SelectionKeys([this](int s) { chooseSelection(s); }, page(-1));
    keys_->forEachLabel([this](const QString& name, int index, QWidget* label) { registerControl(name, index, label); });
    addRow(page(-1), captionLabel(Caption("Selezione")), keys_);
}

void FrmDoppiP::chooseSelection(int selection) {
    if (selection < 0 || selection >= kStride) return;
    keys_->markChosen(selection);
    if (tabs()) tabs()->setCurrentIndex(0);
    setSelection(selection);
}

void FrmDoppiP::afterDelivery(int index, const ParamData&) {
    if (index == param::CouplingType || index == param::GeneralFlags2)
        keys_->showLayout(SelectionKeys::layoutFor(static_cast<int>(currentValue(param::CouplingType)),
                                                   currentValue(param::GeneralFlags2)));
}

} // namespace vm::editors
