#include "FrmPromo.h"

#include "Conditions.h"
#include "KeySelector.h"
#include "ParamNames.h"
#include "widgets/SliderSwitch.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

namespace {
// Happy hour h's day is HappyHourDay + h. Band n: start minutes, start hours, end minutes, end hours.
// Below model 4 the promotion key is PromotionKey, with its hot value and then its two cold values; from
// model 4 key k's type is PreselectionKeyType + k (254: promotion key).
constexpr int kKeyValues[3] = {param::PreselectionKeyProduct, param::PreselectionKeyProductTime,
                               param::PreselectionKeyProductWater}; // hot, cold 1, cold 2 of key k: + k
constexpr int kFirstKeyedModel = 4;
constexpr int kKeyOn = 254;
constexpr int kKeys = 30;

// Modes of PromotionMode and happy-hour types of HappyHourType.
constexpr int kModeUser = 1; // "Utente": the promotion key
constexpr int kModeSet = 2;  // "Imposta": the happy hours
constexpr int kWeekly = 2, kMonthly = 3;

// Control indexes of the band scroll bars, minutes then hours of start and end, band by band.
constexpr int kBandControls[4][4] = {{16, 17, 14, 15}, {12, 13, 10, 11}, {19, 18, 21, 20}, {23, 22, 25, 24}};
const char* const kBandCaptions[4] = {"Inizio%1 minuti", "Inizio%1 ore", "Fine%1 minuti", "Fine%1 ore"};
const char* const kWeekdays[7] = {"Domenica", "Lunedì",  "Martedì", "Mercoledì",
                                  "Giovedì",  "Venerdì", "Sabato"};
const char* const kValueCaptions[3] = {"Caldo", "Freddo 1", "Freddo 2"};

const FrmPromo& promo(const EditorBase& e) {
    return static_cast<const FrmPromo&>(e);
}

Condition modeIs(int mode) {
    return valueIn(param::PromotionMode, mode, mode);
}
// The type's page only opens when the happy hours are in use and that type is chosen.
Condition happyHoursOfType(int lo, int hi) {
    return both(modeIs(kModeSet), valueIn(param::HappyHourType, lo, hi));
}
bool keyEnabled(const EditorBase& e) {
    return e.currentValue(param::PreselectionKeyType + e.selection()) == kKeyOn;
}
} // namespace

FrmPromo::FrmPromo(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    keyed_ = state().ModelCode >= kFirstKeyedModel;
    EditorDefinition d(QStringLiteral("FrmPromo"), Caption("Promozioni"));
    d.decimalPointParam = param::DecimalPoint;
    d.decimalPointTwin = param::DecimalPointTwin;

    auto enables = d.page(Caption("Abilitzioni"), 2);
    enables.add(sliderSwitch("iSwitchSliderX2", 0, param::PromotionMode, kFromCatalogue,
                             {"Nessuna", "Utente", "Imposta"})
                    .titled(Caption("Abilita Promozione")));
    const std::pair<int, const char*> switches[] = {
        {0, "Promozioni con Cashless ?"}, {1, "Promozioni Moneta ?"}, {7, "Messaggi Personalizzati ?"}};
    for (const auto& [bit, caption] : switches) {
        Binding b = toggleSwitch("SwitchX5", bit, param::PromotionEnables, kFromCatalogue, 1u << bit)
                        .titled(Caption(caption));
        b.items = {Caption("No"), Caption("Si")};
        enables.add(std::move(b));
    }

    auto happyHours = enables.frame("Frame2", Caption("happy hour"), 2).enabledIf(modeIs(kModeSet));
    const char* const types[] = {" nessuna", "Giornaliero", "Settimanale", "Mensile"};
    for (int t = 0; t < 4; ++t)
        happyHours.add(
            optionButton("Option1", t, param::HappyHourType, kFromCatalogue, t).titled(Caption(types[t])));
    happyHours.add(scrollBar("HScroll1", 26, param::HappyHourDiscount)
                       .offsetScroll()
                       .money()
                       .step(100)
                       .valueLabel("Label1", 26)
                       .titled(Caption("Sconto in Happy Hour")));

    // The key chooser is built in buildExtra; the key's values follow the chosen key from model 4 on.
    auto key = enables.frame("Frame7", Caption("Tasto per Promozioni"), 1).enabledIf(modeIs(kModeUser));
    {
        Binding b = toggleSwitch("SwitchX5", 2, param::PreselectionKeyType)
                        .values({0, kKeyOn})
                        .perSelection(1)
                        .titled(Caption("Abilita Tasto"));
        b.items = {Caption("No"), Caption("Si")};
        key.add(std::move(b));
    }
    for (int v = 0; v < 3; ++v) {
        const int single = param::PromotionKeyValueHot + v, perKey = kKeyValues[v];
        Binding b = scrollBar("HScroll1", 28 + v, single)
                        .at([single, perKey](const EditorBase& e) {
                            return promo(e).keyed() ? perKey + e.selection() : single;
                        })
                        .range(v == 0 ? 1 : 0, v == 0 ? 30 : 199)
                        .step(v == 0 ? 10 : 100)
                        .valueLabel("Label1", 28 + v)
                        .enabledIf(keyEnabled)
                        .titled(Caption(kValueCaptions[v]));
        // Cold 2 of a key shares a two-byte cell with the key's water; the window sets its low byte only.
        if (v == 2) b.field(0x00FF);
        key.add(std::move(b));
    }

    auto bands = d.page(Caption("Orari"), 2).enabledIf(happyHoursOfType(1, 3));
    for (int band = 0; band < 4; ++band)
        for (int part = 0; part < 4; ++part)
            bands.add(
                scrollBar("HScroll1", kBandControls[band][part], param::PromotionBands + 4 * band + part)
                    .range(0, part % 2 == 0 ? 59 : 23)
                    .valueLabel("Label1", kBandControls[band][part])
                    .titled(Caption(QString::fromLatin1(kBandCaptions[part]).arg(band + 1))));

    auto monthly = d.page(Caption("Happy Hour Mensile")).enabledIf(happyHoursOfType(kMonthly, kMonthly));
    for (int h = 0; h < param::HappyHourDayCount; ++h)
        monthly.add(scrollBar("HScroll1", h, param::HappyHourDay + h)
                        .step(3)
                        .valueLabel("Label1", h)
                        .visibleIf([h](const EditorBase& e) { return promo(e).happyHour() == h; })
                        .titled(Caption(QStringLiteral("Giorno Mese %1").arg(h + 1))));

    // The weekday boxes store the number of the box clicked in the selected happy hour's day.
    auto weekly = d.page(Caption("Happy Hour Settimanale")).enabledIf(happyHoursOfType(kWeekly, kWeekly));
    for (int day = 1; day <= 7; ++day)
        weekly.add(optionButton("Check2", day, param::HappyHourDay, kFromCatalogue, day)
                       .at([](const EditorBase& e) { return param::HappyHourDay + promo(e).happyHour(); })
                       .titled(Caption(kWeekdays[day - 1])));

    if (!keyed_) d.extraWatch = {param::PromotionKey};
    setup(std::move(d));
    // The window starts on the key its scroll bar shows, never on a key it does not offer.
    if (selection() != keys_->key()) setSelection(keys_->key());
}

void FrmPromo::buildExtra() {
    QGroupBox* happyHours = frame(QStringLiteral("Frame2"));
    happyHourSwitch_ = new SliderSwitch(happyHours);
    happyHourSwitch_->setPositions(
        {"Happy Hour 1", "Happy Hour 2", "Happy Hour 3", "Happy Hour 4", "Happy Hour 5"});
    registerControl(QStringLiteral("iSwitchSliderX1"), 0, happyHourSwitch_);
    addRow(happyHours, nullptr, happyHourSwitch_);
    connect(happyHourSwitch_, &QAbstractSlider::valueChanged, this, &FrmPromo::chooseHappyHour);

    QGroupBox* key = frame(QStringLiteral("Frame7"));
    keys_ = new KeySelector(key, {1, kKeys, 10}, [this](int k) { keyMoved(k); });
    registerControl(QStringLiteral("HScroll1"), 27, keys_->bar());
    registerControl(QStringLiteral("Label1"), 27, keys_->label());
    addRow(key, captionLabel(Caption("Tasto per Promozioni"), key), keys_->bar(), keys_->label());
}

// Choosing a key shows that key's cells (loaded under the Loading guard, so nothing of the key shown before
// is written into them). Below model 4 the move stores the promotion key and chooses its "Abilita Tasto".
void FrmPromo::keyMoved(int key) {
    if (!keyed_ && !isLoading()) writeParam(param::PromotionKey, static_cast<std::uint32_t>(key));
    setSelection(key);
}

void FrmPromo::chooseHappyHour(int happyHour) {
    happyHour_ = happyHour;
    relocate();
    applyRules();
}

void FrmPromo::afterDelivery(int index, const ParamData&) {
    if (keyed_ || index != param::PromotionKey) return;
    const int key = static_cast<int>(currentValue(param::PromotionKey));
    keys_->choose(key);
}

// The value labels of the key's three values follow their scroll bars.
void FrmPromo::rulesApplied() {
    for (int v = 0; v < 3; ++v)
        if (QLabel* label = valueLabel(QStringLiteral("HScroll1"), 28 + v))
            label->setEnabled(keyEnabled(*this));
}

} // namespace vm::editors
