#include "FrmPagamento.h"

#include "Conditions.h"
#include "ParamNames.h"

#include <QAbstractSlider>

#include <algorithm>

namespace vm::editors {

namespace {
enum Type { Parallel, Executive, EcsDiff, PriceHolding, Mdb };

// Enabled for the listed payment system types.
Condition forTypes(std::initializer_list<int> types) { return valueOneOf(param::PaymentSystemType, types); }

// The price-table and clock-chip sliders matter only for a price-holding system with the price table on.
Condition priceTableInUse() {
    return both(forTypes({PriceHolding}), bitSet(param::PaymentOptions1, 0x08));
}

struct OptionSwitch {
    int control;
    unsigned bit;
    const char* caption;
    bool inverted;
};
constexpr OptionSwitch kOptions1Switches[] = {{1, 1, "Multivendita", false},
                                              {0, 2, "Msg Riga 1 Riga2", false},
                                              {9, 3, "Abilita Tabella Prezzo", false},
                                              {11, 6, "Ricarica Chiave", true},
                                              {12, 7, "Item Number Presel.", false}};
constexpr OptionSwitch kOptions2Switches[] = {
    {3, 0, "Cambiamonete", false},   {5, 1, "Ignora ExChg ", false},         {4, 2, "Resto Subito", false},
    {2, 3, "Abilita Token", false},  {7, 4, "Cambio token", false},          {6, 5, "Ricarica token", false},
    {8, 6, "ExChg  e Token", false}, {10, 7, "Banconota per Ricarica", true}};

// The rows of the enabling table that concern single switches.
Condition optionRule(int control) {
    switch (control) {
    case 1:
        return forTypes({Parallel, Mdb}); // Multivendita
    case 0:
        return forTypes({Executive, EcsDiff, PriceHolding, Mdb}); // Msg Riga 1 Riga2
    case 9:
        return forTypes({PriceHolding}); // Abilita Tabella Prezzo
    case 4:
        return forTypes({Executive, EcsDiff, PriceHolding, Mdb}); // Resto Subito
    default:
        return {};
    }
}

std::vector<int> offlineOrder() {
    std::vector<int> order = {param::ExtraCreditTimeout, param::CouplingType};
    // the payment block: the 49 parameters from the payment system type on
    for (int i = param::PaymentSystemType; i <= param::PaymentSystemType + 48; ++i)
        order.push_back(i);
    order.push_back(param::TubeEnables);
    return order;
}
} // namespace

FrmPagamento::FrmPagamento(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPagamento"), Caption("Sistemi di Pagamento"));
    d.decimalPointParam = param::DecimalPoint;
    d.decimalPointTwin = param::DecimalPointTwin;

    auto system = d.page(Caption("Sistema"), 2);
    system.add(sliderSwitch("SlswitchX5", 0, param::PaymentSystemType, kFromCatalogue,
                            {"Parallelo", "Executive", "ECS diff", "Price Holding", "MDB"})
                   .titled(Caption("Tipo Sistema di Pagamento")));
    system.frame(QStringLiteral("Frame4"), Caption("Punto Decimale"))
        .enabledIf(forTypes({Parallel}))
        .add(sliderSwitch("SlswitchX2", 0, param::DecimalPoint, kFromCatalogue,
                          {"00000", "0000.0", "000.00", "00.000"}));
    system
        .add(scrollBar("scrTP", 0, param::PriceTimeout)
                 .step(100)
                 .valueLabel("Label8v", 0)
                 .enabledIf(forTypes({EcsDiff, PriceHolding}))
                 .titled(Caption("Timeout prezzo")))
        .add(scrollBar("HScroll1", 0, param::CreditTimeout)
                 .step(100)
                 .valueLabel("Label10", 0)
                 .enabledIf(forTypes({Parallel, Mdb}))
                 .titled(Caption("Timeout credito")))
        .add(scrollBar("HScroll2", 0, param::ExtraCreditTimeout)
                 .step(100)
                 .valueLabel("Label5", 0)
                 .titled(Caption("Timeout ExtraCredito")));

    auto options = d.page(Caption("Opzioni"), 3);
    const auto addSwitch = [&](int param, const OptionSwitch& s) {
        Binding b = toggleSwitch("SwitchX1", s.control, param, kFromCatalogue, 1u << s.bit)
                        .titled(Caption(s.caption));
        if (s.inverted) b.invert();
        if (Condition rule = optionRule(s.control)) b.enabledIf(std::move(rule));
        options.add(std::move(b));
    };
    for (const OptionSwitch& s : kOptions1Switches)
        addSwitch(param::PaymentOptions1, s);
    for (const OptionSwitch& s : kOptions2Switches)
        addSwitch(param::PaymentOptions2, s);
    options
        .add(sliderSwitch("iSwitchSliderX1", 0, param::PaymentOptions1, kFromCatalogue,
                          {"Tabella 1", "Tabella 2"})
                 .bit(0x10)
                 .enabledIf(priceTableInUse())
                 .titled(Caption("Tabella Prezzi")))
        .add(sliderSwitch("iSwitchSliderX1", 1, param::PaymentOptions1, kFromCatalogue,
                          {"Chip Orologio SI", "Chip Orologio NO"})
                 .bit(0x20)
                 .invert() // bit 5 set means the clock chip is there: the first position
                 .enabledIf(priceTableInUse())
                 .titled(Caption("Chip Orologio")));

    // The coin changer's limits and tubes belong to the MDB system only.
    auto mdb = d.page(Caption("MDB"), 2).enabledIf(forTypes({Mdb}));
    mdb.frame(QStringLiteral("Frame1"), Caption("Limiti"), 1)
        .add(scrollBar("HScroll11", 0, param::MaximumChange)
                 .step(100)
                 .money()
                 .valueLabel("Label11s", 0)
                 .titled(Caption("Resto massimo")))
        .add(scrollBar("HScroll11", 3, param::MaximumCoinCredit)
                 .offsetScroll()
                 .money()
                 .valueLabel("Label11s", 3)
                 .titled(Caption("Credito max monete")))
        .add(scrollBar("HScroll11", 2, param::MaximumKeyCredit)
                 .offsetScroll()
                 .money()
                 .valueLabel("Label11s", 2)
                 .titled(Caption("Credito max chiave")));
    auto minimum = mdb.frame(QStringLiteral("Frame2"), Caption("Livello Minimo Tubi"), 2);
    for (int i = 0; i < param::TubeMinimumLevelCount; ++i)
        minimum
            .add(scrollBar("HScroll6", 3 + i, param::TubeMinimumLevel + i)
                     .valueLabel("Label6s", 3 + i)
                     .titled(Caption(QStringLiteral("Tubo%1").arg(i + 1))))
            .add(toggleSwitch("SwitchX10", i, param::TubeEnables, kFromCatalogue, 1u << i)
                     .titled(Caption(" ")));
    mdb.frame(QStringLiteral("Frame3"), Caption("Livello Massimo Tubi"), 1)
        .add(controlArray(param::TubeMaximumLevelCount, scrollBar("HScroll6", 10, param::TubeMaximumLevel)
                                                            .valueLabel("Label6s", 10)
                                                            .titled(Caption("Tubo{n}"))));

    d.page(Caption("Token"), 1)
        .add(controlArray(param::TokenValueCount, scrollBar("HScroll6", 0, param::TokenValue)
                                                      .offsetScroll()
                                                      .step(100)
                                                      .money()
                                                      .valueLabel("Label6s", 0)
                                                      .titled(Caption("Token{n}"))));

    d.extraWatch = {param::ExtraCreditTimeout, param::CouplingType};
    d.loadOrder = offlineOrder();
    setup(std::move(d));
}

// The decimal point is the value AND 3, as the money displays take it; the byte may carry more.
void FrmPagamento::afterDelivery(int index, const ParamData&) {
    if (index != param::DecimalPoint && index != param::DecimalPointTwin) return;
    if (auto* slider = qobject_cast<QAbstractSlider*>(control(QStringLiteral("SlswitchX2"), 0)))
        slider->setValue(moneyDecimals());
}

} // namespace vm::editors
