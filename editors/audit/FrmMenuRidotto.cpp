#include "FrmMenuRidotto.h"

#include "Catalogue.h"
#include "ParamNames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <initializer_list>
#include <tuple>

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

const char* const kPreselectionItemTexts[] = {
    "Tipo Preselezione", "Prodotto Preselezione", "Tempo Prodotto",
    "Acqua Prodotto",    "Tempo + Prodotto",      "Acqua + Prodotto",
    "Abilitazione STOP", "Abilitazione EXTRA",    "Abilitazione FISSO"};

// The entries of one beverage, one mask each, in the order of the masks.
QStringList beverageItemTexts() {
    QStringList texts = {"Codice Bevanda",
                         "Codice Slave",
                         "Item Number",
                         "Abilitazione Bevanda",
                         "Abilitazione Topping",
                         "Abilitazione Paletta",
                         "Abilitazione Bicchiere",
                         "Abilitazione Bevanda Fredda",
                         "Abilitazione Gratis",
                         "Nome Bevanda",
                         "N° Bricchi Bevanda",
                         "Abilitazione Caffè 2",
                         "Abilitazione Amaro"};
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

// The rows of one list, declared in the order of their bits: each entry takes the next bit of the current
// mask, and after the mask's last bit bit 0 of the next mask.
class Rows {
public:
    Rows(EditorDefinition::Place place, QString list) : place_(place), list_(std::move(list)) {}

    Rows& from(int param, int bit = 0) {
        param_ = param;
        bit_ = bit;
        return *this;
    }
    Rows& add(const QString& text) {
        place_.add(listRow(list_, row_++, param_, kFromCatalogue, 1u << bit_).invert().titled(Caption(text)));
        const catalogue::ParamInfo* info = catalogue::find(param_);
        if (++bit_ == 8 * (info ? info->width : 1)) from(param_ + 1);
        return *this;
    }
    Rows& add(std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            add(QString::fromUtf8(t));
        return *this;
    }
    Rows& add(const QStringList& texts) {
        for (const QString& t : texts)
            add(t);
        return *this;
    }
    // "Preselezione {n}" .. for n = 1..count.
    Rows& numbered(const char* pattern, int count) {
        for (int n = 1; n <= count; ++n)
            add(QString::fromUtf8(pattern).replace(QLatin1String("{n}"), QString::number(n)));
        return *this;
    }

private:
    EditorDefinition::Place place_;
    QString list_;
    int row_ = 0;
    int param_ = 0;
    int bit_ = 0;
};

QString slaveList(const QString& list, int unit) {
    return list + QStringLiteral("Slave%1").arg(unit);
}

QStringList lastOf(const QStringList& texts, int count) {
    return texts.mid(texts.size() - count);
}

void menuChoice(EditorDefinition& d) {
    Rows(d.page(Caption("Scelta menù")), "ListView1")
        .from(13361)
        .add({"Opzioni", "Temperatura", "Preselezioni"})
        .from(13361, 4) // bit 3 belongs to no entry
        .add({"Dosi", "Tempi&Soglie", "ExtraTime Motors", "Sistemi di Pagamento", "Prezzi",
              "Prezzo-Selezioni", "Sconti", "Promozioni", "Azione Preventiva", "Decontatori", "Vendite",
              "Orologio", "Dati di Default", "Connessione Remota", "Item Number Freddo", "Collaudo",
              "Configurazione", "Sequenza Spirali"});
}

void options(EditorDefinition& d) {
    auto page = d.page(Caption("Opzioni"));
    Rows(page, "ListView2")
        .from(13365)
        .add({"Matricole",
              "Numero lacazione",
              "Numero cliente",
              "Lingua",
              "Curency code",
              "Set password 2",
              "Set password 1",
              "Set password 3",
              "Gestione messaggi personalizzati",
              "Opzione barra da 0 preselezioni",
              "Gestione switch porta",
              "Set EVA-DTS level",
              "Visualizzazione allarmi",
              "Sensori polveri",
              "Illuminazione porta",
              "Lampeggio a fine erogazione",
              "Tempo attiva tasto in free vend",
              "Key Free",
              "Extra tempo credito",
              "Protocollo EVA-DTS"});
    const QStringList hotUnit = {
        "Macinatura istantanea",      "Reintegro",       "Lavaggio",          "Ciclo lavaggio",
        "Erogazione senza bicchiere", "Temperatura",     "Sensore bicchieri", "Sensore caduta prodotto",
        "Zucchero espresso",          "Sempre paletta",  "Paletta dopo",      "Tipo frigo",
        "Barra dopo credito",         "Lavaggio freddo", "Sequenza spirali?", "Disabilita cassetti per PAN"};
    Rows(page, slaveList("ListView2", 1))
        .from(13368)
        .add(hotUnit)
        .from(14190)
        .add({"N° tentativi sgancio bicchiere"});
    Rows(page, slaveList("ListView2", 2)).from(13370).add(hotUnit);
    for (int unit = 3; unit <= 4; ++unit)
        Rows(page, slaveList("ListView2", unit))
            .from(13372 + unit - 3)
            .add({"Temperatura", "Sensore caduta prodotto", "Tipo frigo", "Sequenza spirali?",
                  "Disabilita cassetti per PAN"});
}

void temperature(EditorDefinition& d) {
    auto page = d.page(Caption("Temperatura"));
    const QStringList unit = {"Temperatura caldaia 1",
                              "Temperatura caldaia 2",
                              "Temperatura standby caldaia 1",
                              "Temperatura standby caldaia 2",
                              "Temperatura frigo",
                              "Temperatura vasca",
                              "Delta temperatura",
                              "Abilita codice T98",
                              "Delta sicurezza",
                              "Tempo sicurezza",
                              "Sbrina dopo",
                              "Sbrina per",
                              "Offset T"};
    Rows(page, slaveList("ListView3", 1)).from(13374).add(unit);
    Rows(page, slaveList("ListView3", 2)).from(13376).add(unit);
    Rows(page, slaveList("ListView3", 3)).from(13378).add(lastOf(unit, 8));
    Rows(page, slaveList("ListView3", 4)).from(13379).add(lastOf(unit, 8));
}

void preselections(EditorDefinition& d) {
    // The per-preselection entries follow as rows of the window's own (their bit is the selector's).
    Rows(d.page(Caption("Preselezioni")), "ListView4").from(13997).numbered("Preselezione {n}", 30);
}

void doses(EditorDefinition& d) {
    Rows(d.page(Caption("Dosi")), "ListView5").from(14044).numbered("Bevanda {n}", kBeverageCount);
}

void times(EditorDefinition& d) {
    auto page = d.page(Caption("Tempi e Soglie"));
    const QStringList hot = {"Timeout pompa",
                             "Timeout carico",
                             "Tempo pompa serbatoio treni",
                             "Timeout macinino",
                             "Timeout gruppo",
                             "Soglia macinino",
                             "Tempo erogazione caffè",
                             "Tempo lavaqggio",
                             "Tempo prelavaqggio",
                             "Tempo integro acqua",
                             "Tempo lampeggio a fine erogazione",
                             "Tempo Extra Credito",
                             "Volume Buzzer",
                             "Tempo illuminazione random",
                             "Tempo attivazione tasto"};
    const QStringList snack = {"Timeout motori spirali", "Timeout Lift",      "Tentativi cassetto",
                               "Tempo Power OFF",        "Tempo rilevamento", "Timeout sensore",
                               "Timeout motori colonne"};
    Rows(page, slaveList("ListView6", 1)).from(13976).add(hot).from(13977).add(snack);
    Rows(page, slaveList("ListView6", 2)).from(13978).add(hot).from(13979).add(snack);
    Rows(page, slaveList("ListView6", 3)).from(13980).add(snack);
    Rows(page, slaveList("ListView6", 4)).from(13981).add(snack);
}

void extraTimes(EditorDefinition& d) {
    Rows rows(d.page(Caption("ExtraTempi ")), "ListView7");
    for (int unit = 1; unit <= 4; ++unit)
        rows.from(13982 + unit - 1).add(QStringLiteral("Extra Tempo Spirale SLAVE %1").arg(unit));
}

void payment(EditorDefinition& d) {
    Rows(d.page(Caption("Sist. Pagamento")), "ListView8")
        .from(13986)
        .add({"Parametri Generali", "Linea Monete", "Linea Banconote", "Abilita Monete", "Abilita Banconte"})
        .from(13987)
        .add({"Tipo Sistema Pagamento",
              "Timeout Prezzo",
              "Timeout Credito",
              "Punto Decimale",
              "Visualizza Messaggi riga 1 e 2",
              "Abilita Tabella Prezzo",
              "Abilitazioni Multivendita",
              "Resto massimo MDB",
              "Credito massimo monete MDB",
              "Credito massimo chiave MDB",
              "Abilita CambiaMonete",
              "Ignora Exact Change",
              "Tubo X in Exact Change",
              "Abilita Resto Subito",
              "Abilita Token",
              "Abilita cambia con Token",
              "Abilita ricarica con Token",
              "Abilita No Token se Exact Change",
              "Livello minimo nei Tubi",
              "Tabella Prezzo 1..2",
              "Valori Token MDB",
              "Abilita banconote per ricarica",
              "Abilita tabella prezzi con Chip Orologio",
              "Abilita ricarica chiave MDB",
              "Disabilitazione Item Number"});
}

// "Prezzo 1-10" .. "Prezzo 41-50"
QStringList tens(const QString& what) {
    QStringList texts;
    for (int first = 1; first <= 41; first += 10)
        texts << QStringLiteral("%1 %2-%3").arg(what).arg(first).arg(first + 9);
    return texts;
}

void pricesAndDiscounts(EditorDefinition& d) {
    Rows(d.page(Caption("Prezzi& Sconti")), "ListView9")
        .from(13989)
        .add(tens("Prezzo"))
        .from(13990)
        .add({"Tutto a Prezzo 1", "Prezzi Preselezioni", "Bevanda Prezzo", "Prezzo Bricco"})
        .from(13990, 6)
        .add({"Prezzo Settore Tula A", "Prezzo Settore Tula B"})
        .from(13991)
        .add(tens("Sconto"))
        .from(13992)
        .add(tens("Sconto chiave"))
        .from(13993)
        .add({"Sconto No Bicchiere", "Sconto Fedeltà", "Ass. Preselezioni-Sconto"});
}

void promotions(EditorDefinition& d) {
    Rows(d.page(Caption("Promozioni")), "ListView10")
        .from(13994)
        .add({"Gestione Promozioni", "Gestione Promozioni con Credito", "Calendario Promozioni",
              "Happy Hour Settimanale", "Happy Hour 1-5"})
        .numbered("Inizio-Fine Promozione {n}", 4)
        .add({"Sconto Happy Hour", "Tasto Promozioni"});
}

void preventiveAction(EditorDefinition& d) {
    Rows(d.page(Caption("Az. Preventiva")), "ListView11")
        .from(13995)
        .add({"Decontatore Depuratore", "Decontatore Caldaia", "Decontatore HACCP",
              "Decontatore Elettrovalvole", "Decontatore Guarnizioni", "Decontatore Caldaia 2",
              "Decontatore macine caffè", "Decontatore filtri caffè", "Ricarica Decontatore depuratore"});
}

void decounters(EditorDefinition& d) {
    auto page = d.page(Caption("Decontatori"));
    Rows(page, "ListView16")
        .from(14020)
        .add({"Abilita Reset", "Abilita Chip Card"})
        .from(14021)
        .add({"Parametri Generali", "Valore Decontatori", "Riserva", "Ricarica"});
    // Units 1 and 2 (hot drinks): six masks each; units 3 and 4 (snacks): three masks each.
    for (int unit = 1; unit <= 2; ++unit) {
        const int first = 14022 + 6 * (unit - 1);
        Rows(page, slaveList("ListView16", unit))
            .from(first)
            .numbered("Decontatore Polvere {n}", 9)
            .add({"Decontatore Grani", "Decontatore Bicchieri", "Decontatore Settori"})
            .from(first + 2)
            .add({"Abilita Riserva Polveri", "Abilita Riserva Grani"})
            .numbered("Riserva Polvere {n}", 9)
            .add({"Riserva Grani", "Riserva Bicchieri", "Riserva Settori"})
            .from(first + 4)
            .add({"Abilita Decontatori", "Abilita Deconta Grani", "Abilita Deconta Bicchieri"})
            .numbered("Ricarica Polvere {n}", 9)
            .add({"Ricarica Grani", "Ricarica Bicchieri", "Ricarica Settori"});
    }
    for (int unit = 3; unit <= 4; ++unit) {
        const int first = 14034 + 3 * (unit - 3);
        Rows(page, slaveList("ListView16", unit))
            .from(first)
            .add({"Decontatori Settori"})
            .from(first + 1)
            .add({"Abilita Riserva", "Riserva Settori"})
            .from(first + 2)
            .add({"Abilita Decontatori", "Ricarica Settori"});
    }
}

void sales(EditorDefinition& d) {
    Rows(d.page(Caption("Vendite")), "ListView12")
        .from(14008)
        .add({"Vendite Inc.tot Caldo", "Vendite Inc. Caldo", "Vendite Inc.tot Snack", "Vendite Inc. Snack",
              "Vendite Inc.tot n.a", "Vendite Inc.tot", "Vendite Sconto", "Vendite Overpay",
              "Vendite Battute Tot. n.a", "Vendite Battute Tot.", "Vendite Battute Pagate", "Vendite Gratis",
              "Vendite Bricco", "Vendite Prova", "Vendite Preselezioni", "Vendite Monete",
              "Vendite Banconote", "Vendite Codice Vendite", "Vendite Audit Gettoniera"});
}

void clock(EditorDefinition& d) {
    Rows(d.page(Caption("Orologio")), "ListView13")
        .from(14011)
        .add({"Ora/Minuti", "Data", "Accendi/Spegni", "Lavaggi", "Debatterizza", "Tabella Prezzi"});
}

void configuration(EditorDefinition& d) {
    const char* const items[] = {"Numero Sonde Slave %1", "Abilitazione Lift Slave %1",
                                 "Programmazione Lift Cassetto Slave %1", "Braccio in Erogazione Slave %1"};
    Rows rows(d.page(Caption("Configurazione")), "ListView14");
    for (int unit = 1; unit <= 4; ++unit) {
        rows.from(14016 + unit - 1);
        for (int i = 0; i < (unit == 1 ? 4 : 3); ++i) // only unit 1 has the delivery arm
            rows.add(QString::fromUtf8(items[i]).arg(unit));
    }
}

void itemNumbers(EditorDefinition& d) {
    Rows rows(d.page(Caption("Item Number")), "ListView15");
    for (int unit = 1; unit <= 4; ++unit)
        rows.from(14012 + unit - 1).add(QStringLiteral("Item Number Slave %1").arg(unit));
}

void coinsAndNotes(EditorDefinition& d) {
    Rows(d.page(Caption("Monete& Banconote")), "ListView17")
        .from(14040)
        .numbered("Moneta {n}", 16)
        .from(14042)
        .numbered("Banconota {n}", 16);
}

// Parameters a page watches besides its rows' masks.
std::vector<int> pageExtras(int page) {
    std::vector<int> extra;
    if (page == kMenuPage) extra = {13364};
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

FrmMenuRidotto::FrmMenuRidotto(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmMenuRidotto"), Caption("Menu Ridotto"));
    // Every page is shown whatever the machine: the board keeps the bits of every entry.
    menuChoice(d);
    options(d);
    temperature(d);
    preselections(d);
    doses(d);
    times(d);
    extraTimes(d);
    payment(d);
    pricesAndDiscounts(d);
    promotions(d);
    preventiveAction(d);
    decounters(d);
    sales(d);
    clock(d);
    configuration(d);
    itemNumbers(d);
    coinsAndNotes(d);
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

FrmMenuRidotto::~FrmMenuRidotto() {
    releaseShownPage();
}

void FrmMenuRidotto::buildExtra() {
    for (int pageIndex : {kOptionsPage, kTemperaturePage, kTimesPage, kDecountersPage})
        placeSlaveTabs(pageIndex,
                       QStringLiteral("ListView%1").arg(pageIndex == kDecountersPage ? 16 : pageIndex + 1));

    std::tie(preselection_, preselectionLabel_) =
        addSelector(kPreselectionsPage, 1, Caption("Preselezione"), kPreselectionsPerMask);
    addSelectorRows(Selector::Preselection);
    std::tie(beverage_, beverageLabel_) =
        addSelector(kDosesPage, 2, Caption("Tasto Bevanda"), kBeverageCount);
    addSelectorRows(Selector::Beverage);
    for (QScrollBar* bar : {preselection_, beverage_})
        connect(bar, &QScrollBar::valueChanged, this, &FrmMenuRidotto::selectorMoved);
    connect(tabs(), &QTabWidget::currentChanged, this, &FrmMenuRidotto::watchShownPage);
    selectorMoved();
}

// A selector above its page's list: caption, scroll bar HScroll<n> and its value label Label<n>.
std::pair<QScrollBar*, QLabel*> FrmMenuRidotto::addSelector(int pageIndex, int n, const Caption& caption,
                                                            int positions) {
    auto* row = new QWidget(page(pageIndex));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QScrollBar(Qt::Horizontal, row);
    bar->setRange(0, positions - 1);
    bar->setPageStep(1);
    auto* value = new QLabel(row);
    value->setMinimumWidth(24);
    layout->addWidget(captionLabel(caption, row));
    layout->addWidget(bar, 1);
    layout->addWidget(value);
    registerControl(QStringLiteral("HScroll%1").arg(n), 0, bar);
    registerControl(QStringLiteral("Label%1").arg(n), 0, value);
    // The list follows the selector: it leaves its place in the page's grid and comes back below.
    QWidget* list = control(QStringLiteral("ListView%1").arg(pageIndex + 1), 0);
    page(pageIndex)->layout()->removeWidget(list);
    addRow(page(pageIndex), nullptr, row);
    addRow(page(pageIndex), nullptr, list);
    return {bar, value};
}

// The lists of a page's units stand on a tab container of their own, "Slave 1" to "Slave 4", below the page's
// general list.
void FrmMenuRidotto::placeSlaveTabs(int pageIndex, const QString& list) {
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

void FrmMenuRidotto::addSelectorRows(Selector selector) {
    const bool presel = selector == Selector::Preselection;
    auto* list = static_cast<QTreeWidget*>(
        control(presel ? QStringLiteral("ListView4") : QStringLiteral("ListView5"), 0));
    const QStringList texts =
        presel ? QStringList(std::begin(kPreselectionItemTexts), std::end(kPreselectionItemTexts))
               : beverageItemTexts();
    for (int entry = 0; entry < texts.size(); ++entry) {
        auto* item = new QTreeWidgetItem(list, QStringList(texts[entry]));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(0, Qt::Unchecked);
        selectorRows_.push_back({item, selector, entry});
    }
    connect(list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0) selectorRowChanged(item);
    });
}

int FrmMenuRidotto::paramOf(const SelectorRow& row) const {
    if (row.selector == Selector::Preselection) return kPreselectionItems + row.entry;
    // Beverages 1..16 have one set of masks, beverages 17..30 another.
    return (beverage_->value() < kBeveragesPerMask ? kBeverageItemsLow : kBeverageItemsHigh) + row.entry;
}

int FrmMenuRidotto::bitOf(const SelectorRow& row) const {
    if (row.selector == Selector::Preselection) return preselection_->value();
    return beverage_->value() % kBeveragesPerMask;
}

void FrmMenuRidotto::showSelectorRows() {
    LoadingScope scope(*this);
    for (const SelectorRow& row : selectorRows_) {
        const int param = paramOf(row);
        const bool arrived = hasArrived(param); // online a row waits for its mask to arrive
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
        if (arrived) flags |= Qt::ItemIsEnabled;
        if (row.item->flags() != flags) row.item->setFlags(flags);
        row.item->setToolTip(0, arrived ? QString() : waitingToolTip());
        if (!arrived) continue;
        const bool leftOut = (currentValue(param) >> bitOf(row)) & 1u;
        row.item->setCheckState(0, leftOut ? Qt::Unchecked : Qt::Checked);
    }
}

void FrmMenuRidotto::selectorRowChanged(QTreeWidgetItem* item) {
    if (isLoading() || isClosed()) return;
    const auto row = std::find_if(selectorRows_.begin(), selectorRows_.end(),
                                  [item](const SelectorRow& r) { return r.item == item; });
    if (row == selectorRows_.end()) return;
    const int param = paramOf(*row);
    if (!hasArrived(param)) return showSelectorRows();
    const std::uint32_t bit = 1u << bitOf(*row);
    std::uint32_t mask = currentValue(param) & ~bit;
    if (item->checkState(0) != Qt::Checked) mask |= bit; // left out of the reduced menu
    writeParam(param, mask);
    showSelectorRows();
}

void FrmMenuRidotto::selectorMoved() {
    preselectionLabel_->setText(QString::number(preselection_->value() + 1));
    beverageLabel_->setText(beverageKey(beverage_->value()));
    showSelectorRows();
}

void FrmMenuRidotto::afterDelivery(int index, const ParamData&) {
    const bool selectorMask =
        (index >= kPreselectionItems && index < kPreselectionItems + kPreselectionItemCount) ||
        (index >= kBeverageItemsLow && index < kBeverageItemsEnd);
    if (selectorMask) showSelectorRows();
}

void FrmMenuRidotto::formUnload() {
    releaseShownPage();
}

void FrmMenuRidotto::watchShownPage() {
    releaseShownPage();
    if (isClosed()) return;
    pageWatched_ = pageExtras(tabs()->currentIndex());
    ProgramState& state = context().state;
    state.CurrentBank = 0;
    for (int index : pageWatched_)
        state.WatchParam(index);
    forgetArrivals(pageWatched_); // online the page's masks are read again before its rows can be ticked
    showSelectorRows();
}

void FrmMenuRidotto::releaseShownPage() {
    ProgramState& state = context().state;
    state.CurrentBank = 0;
    for (int index : pageWatched_)
        state.ReleaseParam(index);
    pageWatched_.clear();
}

} // namespace vm::editors
