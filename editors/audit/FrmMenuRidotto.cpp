#include "FrmMenuRidotto.h"

#include "BitRows.h"
#include "KeySelector.h"
#include "ParamNames.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace vm::editors {

namespace {
// Pages of SSTab1 with rows of their own besides the declared ones.
constexpr int kMenuPage = 0;
constexpr int kOptionsPage = 1;
constexpr int kTemperaturePage = 2;
constexpr int kPreselectionsPage = 3;
constexpr int kDosesPage = 4;
constexpr int kTimesPage = 5;
constexpr int kDecountersPage = 11;

// Masks, one bit per preselection 1..16.
constexpr int kPreselectionItems = param::ReducedMenuPreselectionItem;
constexpr int kPreselectionItemCount = param::ReducedMenuPreselectionItemCount;
constexpr int kPreselectionsPerMask = 16;
constexpr int kBeverageItemsLow = param::ReducedMenuBeverageItemLow;   // 59 masks, one bit per beverage 1..16
constexpr int kBeverageItemsHigh = param::ReducedMenuBeverageItemHigh; // the same 59 for beverages 17..30
constexpr int kBeverageItemsEnd = kBeverageItemsHigh + param::ReducedMenuBeverageItemHighCount;
constexpr int kBeveragesPerMask = 16;
constexpr int kBeverageCount = 30;

template <typename... Texts> QStringList textList(Texts... texts) {
    return {QString::fromUtf8(texts)...};
}

// The entries of one preselection, one mask each.
const QStringList kPreselectionItemTexts = textList(
    "Tipo Preselezione", "Prodotto Preselezione", "Tempo Prodotto", "Acqua Prodotto", "Tempo + Prodotto",
    "Acqua + Prodotto", "Abilitazione STOP", "Abilitazione EXTRA", "Abilitazione FISSO");

// The entries of one beverage, one mask each, in the order of the masks.
QStringList beverageItemTexts() {
    QStringList texts = textList("Codice Bevanda", "Codice Slave", "Item Number", "Abilitazione Bevanda",
                                 "Abilitazione Topping", "Abilitazione Paletta", "Abilitazione Bicchiere",
                                 "Abilitazione Bevanda Fredda", "Abilitazione Gratis", "Nome Bevanda",
                                 "N° Bricchi Bevanda", "Abilitazione Caffè 2", "Abilitazione Amaro");
    for (int valve = 1; valve <= 3; ++valve) {
        const QString ev = QStringLiteral("%1°EV").arg(valve);
        texts << "Numero " + ev << "Dose Ritardo " + ev;
        for (int cold = 1; cold <= 6; ++cold)
            texts << QStringLiteral("Tempo Ritardo EV Fredda %1 ").arg(cold) + ev;
        texts << "Tempo Ritardo mixer " + ev;
        for (int box = 1; box <= 3; ++box)
            texts << QStringLiteral("Tempo Ritardo %1° Scatola ").arg(box) + ev;
    }
    texts << "Ton/Toff 1°,2°,3° Scatola"
          << "Tempo Zucchero Espresso";
    for (int product = 1; product <= 2; ++product)
        for (const char* item : {"N° EV Doppio Prodotto %1", "Dose Ritardo Doppio Prodotto %1",
                                 "Tempo Ritardo mixer Doppio Prodotto %1", "Ton/Toff Doppio Prodotto %1"})
            texts << QString::fromUtf8(item).arg(product);
    return texts;
}

QString slaveList(const QString& list, int unit) {
    return list + QStringLiteral("Slave%1").arg(unit);
}

void menuChoice(EditorDefinition& d) {
    BitRows(d.page(Caption("Scelta menù")), "ListView1")
        .from(param::ReducedMenuChoice)
        .add("Opzioni", "Temperatura", "Preselezioni")
        .from(param::ReducedMenuChoice, 4) // bit 3 belongs to no entry
        .add("Dosi", "Tempi&Soglie", "ExtraTime Motors", "Sistemi di Pagamento", "Prezzi", "Prezzo-Selezioni",
             "Sconti", "Promozioni", "Azione Preventiva", "Decontatori", "Vendite", "Orologio",
             "Dati di Default", "Connessione Remota", "Item Number Freddo", "Collaudo", "Configurazione",
             "Sequenza Spirali");
}

void options(EditorDefinition& d) {
    auto page = d.page(Caption("Opzioni"));
    BitRows(page, "ListView2")
        .from(param::ReducedMenuOptions)
        .add("Matricole", "Numero lacazione", "Numero cliente", "Lingua", "Curency code", "Set password 2",
             "Set password 1", "Set password 3", "Gestione messaggi personalizzati",
             "Opzione barra da 0 preselezioni", "Gestione switch porta", "Set EVA-DTS level",
             "Visualizzazione allarmi", "Sensori polveri", "Illuminazione porta",
             "Lampeggio a fine erogazione", "Tempo attiva tasto in free vend", "Key Free",
             "Extra tempo credito", "Protocollo EVA-DTS");
    const QStringList hotUnit = {
        "Macinatura istantanea",      "Reintegro",       "Lavaggio",          "Ciclo lavaggio",
        "Erogazione senza bicchiere", "Temperatura",     "Sensore bicchieri", "Sensore caduta prodotto",
        "Zucchero espresso",          "Sempre paletta",  "Paletta dopo",      "Tipo frigo",
        "Barra dopo credito",         "Lavaggio freddo", "Sequenza spirali?", "Disabilita cassetti per PAN"};
    BitRows(page, slaveList("ListView2", 1))
        .from(param::ReducedMenuOptionsSlave1)
        .add(hotUnit)
        .from(param::ReducedMenuCupReleaseRetries)
        .add("N° tentativi sgancio bicchiere");
    BitRows(page, slaveList("ListView2", 2)).from(param::ReducedMenuOptionsSlave2).add(hotUnit);
    for (int unit = 3; unit <= 4; ++unit)
        BitRows(page, slaveList("ListView2", unit))
            .from(unit == 3 ? param::ReducedMenuOptionsSlave3 : param::ReducedMenuOptionsSlave4)
            .add("Temperatura", "Sensore caduta prodotto", "Tipo frigo", "Sequenza spirali?",
                 "Disabilita cassetti per PAN");
}

void temperature(EditorDefinition& d) {
    auto page = d.page(Caption("Temperatura"));
    const QStringList unit = textList(
        "Temperatura caldaia 1", "Temperatura caldaia 2", "Temperatura standby caldaia 1",
        "Temperatura standby caldaia 2", "Temperatura frigo", "Temperatura vasca", "Delta temperatura",
        "Abilita codice T98", "Delta sicurezza", "Tempo sicurezza", "Sbrina dopo", "Sbrina per", "Offset T");
    BitRows(page, slaveList("ListView3", 1)).from(param::ReducedMenuTemperatureSlave1).add(unit);
    BitRows(page, slaveList("ListView3", 2)).from(param::ReducedMenuTemperatureSlave2).add(unit);
    BitRows(page, slaveList("ListView3", 3))
        .from(param::ReducedMenuTemperatureSlave3)
        .add(unit.mid(5)); // no boilers
    BitRows(page, slaveList("ListView3", 4))
        .from(param::ReducedMenuTemperatureSlave4)
        .add(unit.mid(5)); // no boilers
}

// The entries of the chosen preselection or beverage follow as rows of the window's own (keyed rows).
void preselectionsAndDoses(EditorDefinition& d) {
    BitRows(d.page(Caption("Preselezioni")), "ListView4")
        .from(param::ReducedMenuPreselections)
        .numbered("Preselezione {n}", 30);
    BitRows(d.page(Caption("Dosi")), "ListView5")
        .from(param::ReducedMenuBeverages)
        .numbered("Bevanda {n}", kBeverageCount);
}

void times(EditorDefinition& d) {
    auto page = d.page(Caption("Tempi e Soglie"));
    const QStringList hot = textList(
        "Timeout pompa", "Timeout carico", "Tempo pompa serbatoio treni", "Timeout macinino",
        "Timeout gruppo", "Soglia macinino", "Tempo erogazione caffè", "Tempo lavaqggio",
        "Tempo prelavaqggio", "Tempo integro acqua", "Tempo lampeggio a fine erogazione",
        "Tempo Extra Credito", "Volume Buzzer", "Tempo illuminazione random", "Tempo attivazione tasto");
    const QStringList snack =
        textList("Timeout motori spirali", "Timeout Lift", "Tentativi cassetto", "Tempo Power OFF",
                 "Tempo rilevamento", "Timeout sensore", "Timeout motori colonne");
    for (int unit = 1; unit <= 2; ++unit)
        BitRows(page, slaveList("ListView6", unit))
            .from(unit == 1 ? param::ReducedMenuTimesSlave1 : param::ReducedMenuTimesSlave2)
            .add(hot)
            .from(unit == 1 ? param::ReducedMenuSnackTimesSlave1 : param::ReducedMenuSnackTimesSlave2)
            .add(snack);
    for (int unit = 3; unit <= 4; ++unit)
        BitRows(page, slaveList("ListView6", unit))
            .from(param::ReducedMenuSnackTimesSlave3 + unit - 3)
            .add(snack);
}

void extraTimes(EditorDefinition& d) {
    BitRows rows(d.page(Caption("ExtraTempi ")), "ListView7");
    for (int unit = 1; unit <= 4; ++unit)
        rows.from(param::ReducedMenuExtraTimes + unit - 1)
            .add(QStringLiteral("Extra Tempo Spirale SLAVE %1").arg(unit));
}

void payment(EditorDefinition& d) {
    BitRows(d.page(Caption("Sist. Pagamento")), "ListView8")
        .from(param::ReducedMenuPayment)
        .add("Parametri Generali", "Linea Monete", "Linea Banconote", "Abilita Monete", "Abilita Banconte")
        .from(param::ReducedMenuPaymentSettings)
        .add("Tipo Sistema Pagamento", "Timeout Prezzo", "Timeout Credito", "Punto Decimale",
             "Visualizza Messaggi riga 1 e 2", "Abilita Tabella Prezzo", "Abilitazioni Multivendita",
             "Resto massimo MDB", "Credito massimo monete MDB", "Credito massimo chiave MDB",
             "Abilita CambiaMonete", "Ignora Exact Change", "Tubo X in Exact Change", "Abilita Resto Subito",
             "Abilita Token", "Abilita cambia con Token", "Abilita ricarica con Token",
             "Abilita No Token se Exact Change", "Livello minimo nei Tubi", "Tabella Prezzo 1..2",
             "Valori Token MDB", "Abilita banconote per ricarica", "Abilita tabella prezzi con Chip Orologio",
             "Abilita ricarica chiave MDB", "Disabilitazione Item Number");
}

// "Prezzo 1-10" .. "Prezzo 41-50"
QStringList tens(const QString& what) {
    QStringList texts;
    for (int first = 1; first <= 41; first += 10)
        texts << QStringLiteral("%1 %2-%3").arg(what).arg(first).arg(first + 9);
    return texts;
}

void pricesAndDiscounts(EditorDefinition& d) {
    BitRows(d.page(Caption("Prezzi& Sconti")), "ListView9")
        .from(param::ReducedMenuPrices)
        .add(tens("Prezzo"))
        .from(param::ReducedMenuPriceModes)
        .add("Tutto a Prezzo 1", "Prezzi Preselezioni", "Bevanda Prezzo", "Prezzo Bricco")
        .from(param::ReducedMenuPriceModes, 6)
        .add("Prezzo Settore Tula A", "Prezzo Settore Tula B")
        .from(param::ReducedMenuDiscounts)
        .add(tens("Sconto"))
        .from(param::ReducedMenuKeyDiscounts)
        .add(tens("Sconto chiave"))
        .from(param::ReducedMenuOtherDiscounts)
        .add("Sconto No Bicchiere", "Sconto Fedeltà", "Ass. Preselezioni-Sconto");
}

void promotions(EditorDefinition& d) {
    BitRows(d.page(Caption("Promozioni")), "ListView10")
        .from(param::ReducedMenuPromotions)
        .add("Gestione Promozioni", "Gestione Promozioni con Credito", "Calendario Promozioni",
             "Happy Hour Settimanale", "Happy Hour 1-5")
        .numbered("Inizio-Fine Promozione {n}", 4)
        .add("Sconto Happy Hour", "Tasto Promozioni");
}

void preventiveAction(EditorDefinition& d) {
    BitRows(d.page(Caption("Az. Preventiva")), "ListView11")
        .from(param::ReducedMenuPreventiveAction)
        .add("Decontatore Depuratore", "Decontatore Caldaia", "Decontatore HACCP",
             "Decontatore Elettrovalvole", "Decontatore Guarnizioni", "Decontatore Caldaia 2",
             "Decontatore macine caffè", "Decontatore filtri caffè", "Ricarica Decontatore depuratore");
}

void decounters(EditorDefinition& d) {
    auto page = d.page(Caption("Decontatori"));
    BitRows(page, "ListView16")
        .from(param::ReducedMenuDecounters)
        .add("Abilita Reset", "Abilita Chip Card")
        .from(param::ReducedMenuDecounters + 1)
        .add("Parametri Generali", "Valore Decontatori", "Riserva", "Ricarica");
    // Units 1 and 2 (hot drinks): two masks each of decounters, reserves and recharges; units 3 and 4
    // (snacks): one mask each.
    for (int unit = 1; unit <= 2; ++unit) {
        const int first = unit == 1 ? param::ReducedMenuDecountersSlave1 : param::ReducedMenuDecountersSlave2;
        BitRows(page, slaveList("ListView16", unit))
            .from(first)
            .numbered("Decontatore Polvere {n}", 9)
            .add("Decontatore Grani", "Decontatore Bicchieri", "Decontatore Settori")
            .from(first + 2)
            .add("Abilita Riserva Polveri", "Abilita Riserva Grani")
            .numbered("Riserva Polvere {n}", 9)
            .add("Riserva Grani", "Riserva Bicchieri", "Riserva Settori")
            .from(first + 4)
            .add("Abilita Decontatori", "Abilita Deconta Grani", "Abilita Deconta Bicchieri")
            .numbered("Ricarica Polvere {n}", 9)
            .add("Ricarica Grani", "Ricarica Bicchieri", "Ricarica Settori");
    }
    for (int unit = 3; unit <= 4; ++unit) {
        const int first =
            unit == 3 ? param::ReducedMenuSectorDecountersSlave3 : param::ReducedMenuSectorDecountersSlave4;
        BitRows(page, slaveList("ListView16", unit))
            .from(first)
            .add("Decontatori Settori")
            .from(first + 1)
            .add("Abilita Riserva", "Riserva Settori")
            .from(first + 2)
            .add("Abilita Decontatori", "Ricarica Settori");
    }
}

void sales(EditorDefinition& d) {
    BitRows(d.page(Caption("Vendite")), "ListView12")
        .from(param::ReducedMenuSales)
        .add("Vendite Inc.tot Caldo", "Vendite Inc. Caldo", "Vendite Inc.tot Snack", "Vendite Inc. Snack",
             "Vendite Inc.tot n.a", "Vendite Inc.tot", "Vendite Sconto", "Vendite Overpay",
             "Vendite Battute Tot. n.a", "Vendite Battute Tot.", "Vendite Battute Pagate", "Vendite Gratis",
             "Vendite Bricco", "Vendite Prova", "Vendite Preselezioni", "Vendite Monete", "Vendite Banconote",
             "Vendite Codice Vendite", "Vendite Audit Gettoniera");
}

void clock(EditorDefinition& d) {
    BitRows(d.page(Caption("Orologio")), "ListView13")
        .from(param::ReducedMenuClock)
        .add("Ora/Minuti", "Data", "Accendi/Spegni", "Lavaggi", "Debatterizza", "Tabella Prezzi");
}

void configuration(EditorDefinition& d) {
    const char* const items[] = {"Numero Sonde Slave %1", "Abilitazione Lift Slave %1",
                                 "Programmazione Lift Cassetto Slave %1", "Braccio in Erogazione Slave %1"};
    BitRows rows(d.page(Caption("Configurazione")), "ListView14");
    for (int unit = 1; unit <= 4; ++unit) {
        rows.from(param::ReducedMenuConfiguration + unit - 1);
        for (int i = 0; i < (unit == 1 ? 4 : 3); ++i) // only unit 1 has the delivery arm
            rows.add(QString::fromUtf8(items[i]).arg(unit));
    }
}

void itemNumbers(EditorDefinition& d) {
    BitRows rows(d.page(Caption("Item Number")), "ListView15");
    for (int unit = 1; unit <= 4; ++unit)
        rows.from(param::ReducedMenuItemNumber + unit - 1)
            .add(QStringLiteral("Item Number Slave %1").arg(unit));
}

void coinsAndNotes(EditorDefinition& d) {
    BitRows(d.page(Caption("Monete& Banconote")), "ListView17")
        .from(param::ReducedMenuCoins)
        .numbered("Moneta {n}", 16)
        .from(param::ReducedMenuBanknotes)
        .numbered("Banconota {n}", 16);
}

// Parameters a page watches besides its rows' masks.
std::vector<int> pageExtras(int page) {
    std::vector<int> extra;
    if (page == kMenuPage) extra = {param::ReducedMenuChoice + 3}; // the fourth mask has no rows
    if (page == kPreselectionsPage)
        for (int i = 0; i < kPreselectionItemCount; ++i)
            extra.push_back(kPreselectionItems + i);
    if (page == kDosesPage) {
        for (int i = kBeverageItemsLow; i < kBeverageItemsEnd; ++i)
            extra.push_back(i);
        extra.insert(extra.end(), {param::CouplingType, param::GeneralFlags});
    }
    return extra;
}
} // namespace

QString FrmMenuRidotto::beverageKey(int beverage) {
    // Six keys a row; on the keyboard the columns are numbered 0, 3, 1, 4, 2, 5 from the left.
    static constexpr int kColumn[] = {0, 3, 1, 4, 2, 5};
    return QString::number((beverage / 6 + 1) * 10 + kColumn[beverage % 6]);
}

FrmMenuRidotto::FrmMenuRidotto(EditorContext& ctx, QWidget* parent)
    : EditorBase(ctx, parent), pageWatch_(ctx.state) {
    EditorDefinition d(QStringLiteral("FrmMenuRidotto"), Caption("Menu Ridotto"));
    // Every page is shown whatever the machine: the board keeps the bits of every entry.
    for (const auto declarePages : {menuChoice, options, temperature, preselectionsAndDoses, times,
                                    extraTimes, payment, pricesAndDiscounts, promotions, preventiveAction,
                                    decounters, sales, clock, configuration, itemNumbers, coinsAndNotes})
        declarePages(d);
    // The board link polls the shown page only; a page change releases the previous page's masks.
    d.watchVisibleTab = true;
    // Offline every mask is shown from the image, also those of the window's own rows.
    for (const Binding& b : d.bindings)
        d.loadOrder.push_back(b.index);
    for (int page : {kMenuPage, kPreselectionsPage, kDosesPage})
        for (int index : pageExtras(page))
            d.loadOrder.push_back(index);
    setup(std::move(d));
    stretchLists();
    watchShownPage();
}

// The lists take the height of their page.
void FrmMenuRidotto::stretchLists() {
    for (int t = 0; t < tabs()->count(); ++t) {
        auto* grid = qobject_cast<QGridLayout*>(page(t)->layout());
        for (int r = 0; grid && r < grid->rowCount(); ++r) {
            const QLayoutItem* item = grid->itemAtPosition(r, 1);
            const QWidget* w = item ? item->widget() : nullptr;
            grid->setRowStretch(
                r, qobject_cast<const QTreeWidget*>(w) || qobject_cast<const QTabWidget*>(w) ? 1 : 0);
        }
    }
}

void FrmMenuRidotto::buildExtra() {
    for (int pageIndex : {kOptionsPage, kTemperaturePage, kTimesPage, kDecountersPage})
        placeSlaveTabs(pageIndex);

    const auto write = [this](int param, std::uint32_t value) { writeParam(param, value); };
    // The entries of the chosen preselection: one mask per entry, one bit per preselection.
    preselection_ =
        addSelector(kPreselectionsPage, 1, Caption("Preselezione"), {0, kPreselectionsPerMask - 1},
                    [](int key) { return QString::number(key + 1); });
    preselectionRows_ = new KeyedBitRows(
        *this, list(kPreselectionsPage), kPreselectionItemTexts,
        [this](int entry) { return std::pair(kPreselectionItems + entry, preselection_->key()); }, write);
    // The entries of the chosen beverage: beverages 1..16 have one set of masks, beverages 17..30 another.
    beverage_ = addSelector(kDosesPage, 2, Caption("Tasto Bevanda"), {0, kBeverageCount - 1}, &beverageKey);
    beverageRows_ = new KeyedBitRows(
        *this, list(kDosesPage), beverageItemTexts(),
        [this](int entry) {
            const int key = beverage_->key();
            return std::pair((key < kBeveragesPerMask ? kBeverageItemsLow : kBeverageItemsHigh) + entry,
                             key % kBeveragesPerMask);
        },
        write);
    connect(tabs(), &QTabWidget::currentChanged, this, &FrmMenuRidotto::watchShownPage);
    showKeyedRows();
}

QTreeWidget* FrmMenuRidotto::list(int pageIndex) const {
    return static_cast<QTreeWidget*>(control(QStringLiteral("ListView%1").arg(pageIndex + 1), 0));
}

// A key selector above its page's list: caption, scroll bar HScroll<n> and its value label Label<n>.
KeySelector* FrmMenuRidotto::addSelector(int pageIndex, int n, const Caption& caption,
                                         KeySelector::Range range, KeySelector::KeyText keyText) {
    auto* selector = new KeySelector(
        page(pageIndex), range, [this](int) { showKeyedRows(); }, std::move(keyText));
    registerControl(QStringLiteral("HScroll%1").arg(n), 0, selector->bar());
    registerControl(QStringLiteral("Label%1").arg(n), 0, selector->label());
    // The list follows the selector: it leaves its place in the page's grid and comes back below.
    page(pageIndex)->layout()->removeWidget(list(pageIndex));
    addRow(page(pageIndex), nullptr, selector->inRow(captionLabel(caption)));
    addRow(page(pageIndex), nullptr, list(pageIndex));
    return selector;
}

// The lists of a page's units stand on a tab container of their own, "Slave 1" to "Slave 4", below the page's
// general list.
void FrmMenuRidotto::placeSlaveTabs(int pageIndex) {
    const QString list = QStringLiteral("ListView%1").arg(pageIndex == kDecountersPage ? 16 : pageIndex + 1);
    QWidget* container = page(pageIndex);
    auto* units = new QTabWidget(container);
    units->setObjectName(QStringLiteral("SSTab%1Slaves").arg(pageIndex + 1));
    for (int unit = 1; unit <= 4; ++unit) {
        QWidget* unitList = control(slaveList(list, unit), 0);
        const int tab = units->addTab(unitList, QString()); // takes the list off the page's grid
        addText(Caption(QStringLiteral("Slave %1").arg(unit)),
                [units, tab](const QString& s) { units->setTabText(tab, s); });
    }
    addRow(container, nullptr, units);
}

void FrmMenuRidotto::showKeyedRows() {
    for (KeyedBitRows* rows : {preselectionRows_, beverageRows_})
        if (rows) rows->show();
}

void FrmMenuRidotto::afterDelivery(int index, const ParamData&) {
    const bool keyedMask =
        (index >= kPreselectionItems && index < kPreselectionItems + kPreselectionItemCount) ||
        (index >= kBeverageItemsLow && index < kBeverageItemsEnd);
    if (keyedMask) showKeyedRows();
}

void FrmMenuRidotto::formUnload() {
    pageWatch_.release();
}

void FrmMenuRidotto::watchShownPage() {
    if (isClosed()) return pageWatch_.release();
    pageWatch_.replace(pageExtras(tabs()->currentIndex()));
    // Online the page's masks are read again before its rows can be ticked.
    forgetArrivals(pageWatch_.params());
    showKeyedRows();
}

} // namespace vm::editors
