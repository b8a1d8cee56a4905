#include "FrmPresel.h"

#include "KeySelector.h"
#include "ParamNames.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

namespace {
// Key k's type is PreselectionKeyType + k; the six other tables follow 32 parameters apart.
constexpr int kType = param::PreselectionKeyType;
constexpr int kFlags = param::PreselectionKeyFlags;
constexpr int kTableStride = 32;

// The six settings of a key: caption, range, value label in tenths, unit of the value label.
struct Setting {
    const char* caption;
    int max;
    bool tenths;
    const char* unit;
};
// Times are tenths of a second; water is in cc (two bytes); the product is a box number, 0 for none.
constexpr Setting kSettings[] = {
    {"Tipo preselezione", 255, false, ""},       {"Prodotto scatola", 9, false, ""},
    {"Tempo prodotto", 255, true, " (Sec.) "},   {"Acqua prodotto", 999, false, " (Cc.) "},
    {"Tempo + Prodotto", 255, true, " (Sec.) "}, {"Acqua + Prodotto", 999, false, " (Cc.) "}};
const char* const kFlagCaptions[] = {"Fisso in Riga 2", "Extra", "Stop"};

// The promotions window edits the same key's parameters 1457 + k with its key scroll bar.
const QString kPromotions = QStringLiteral("FrmPromo");
constexpr int kPromotionsKeyIndex = 27;
constexpr int kFirstKeyedModel =
    4; // below, the promotions' key scroll bar stores a value instead of choosing
} // namespace

QString FrmPresel::typeDescription(int type) {
    switch (type) {
    case 0:
        return QStringLiteral("Non attiva");
    case 1:
        return QStringLiteral("Extra prodotto (scatola e tempo)");
    case 2:
        return QStringLiteral("Extra acqua");
    case 3:
        return QStringLiteral("Tempo + Prodotto");
    case 4:
        return QStringLiteral("Acqua + Prodotto");
    case 254:
        return QStringLiteral("Tasto Promozione");
    default:
        return QStringLiteral("Tipo %1").arg(type);
    }
}

FrmPresel::FrmPresel(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPresel"), Caption("Preselezione"));
    d.window().frame(QStringLiteral("Frame0"), Caption("Tasto"), 1); // the key chooser, built in buildExtra
    auto settings = d.window().frame(QStringLiteral("Frame2"), Caption("Tasto Preselezione"));
    for (int i = 0; i < 6; ++i) {
        const Setting& s = kSettings[i];
        Binding b = scrollBar("HScroll1", i, kType + kTableStride * i)
                        .range(0, s.max)
                        .perSelection(1)
                        .titled(Caption(s.caption));
        if (s.tenths) b.tenths();
        settings.add(std::move(b));
    }
    auto flags = d.window().frame(QStringLiteral("Frame1"), Caption("Abilitazioni"), 3);
    for (int i = 0; i < 3; ++i) {
        Binding b = toggleSwitch("SwitchX", i, kFlags, kFromCatalogue, 1u << i)
                        .perSelection(1)
                        .titled(Caption(kFlagCaptions[i]));
        b.items = {Caption("No"), Caption("Si")};
        flags.add(std::move(b));
    }
    d.extraWatch = {param::CouplingType, param::GeneralFlags2};
    setup(std::move(d));
}

void FrmPresel::buildExtra() {
    QWidget* form = frame(QStringLiteral("Frame0"));
    keys_ = new KeySelector(form, {1, kKeys, 4}, [this](int key) { chooseKey(key - 1); });
    registerControl(QStringLiteral("HScroll3"), 0, keys_->bar());
    registerControl(QStringLiteral("Label1"), 0, keys_->label());
    description_ = new QLabel(form);
    registerControl(QStringLiteral("Label2"), 0, description_);

    addRow(form, nullptr, keys_->bar(), keys_->label());
    addRow(form, nullptr, description_);
}

void FrmPresel::chooseKey(int key) {
    if (state().Online) description_->clear(); // until the board sends the key's type
    setSelection(key);
    showKeyInPromotions();
}

// An open promotions window follows the key, as long as its key scroll bar only chooses (it stores the
// promotion key on older models) and the key is one it offers.
void FrmPresel::showKeyInPromotions() {
    if (state().ModelCode < kFirstKeyedModel) return;
    for (DeliveryTarget* target : context().forms.forms()) {
        auto* form = dynamic_cast<EditorBase*>(target);
        if (!form || form == this || form->formName() != kPromotions) continue;
        auto* keyBar =
            qobject_cast<QScrollBar*>(form->control(QStringLiteral("HScroll1"), kPromotionsKeyIndex));
        if (keyBar && selection() >= keyBar->minimum() && selection() <= keyBar->maximum())
            keyBar->setValue(selection());
    }
}

void FrmPresel::afterDelivery(int index, const ParamData&) {
    if (index == kType + selection())
        description_->setText(typeDescription(static_cast<int>(currentValue(index))));
}

// The units stand after the value in the labels of times and water.
void FrmPresel::rulesApplied() {
    for (int i = 0; i < 6; ++i) {
        const QString unit = QString::fromLatin1(kSettings[i].unit);
        QLabel* label = valueLabel(QStringLiteral("HScroll1"), i);
        if (!unit.isEmpty() && label && !label->text().isEmpty() && !label->text().endsWith(unit))
            label->setText(label->text() + unit);
    }
}

} // namespace vm::editors
