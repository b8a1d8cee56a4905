#include "MenuTree.h"

#include <array>

namespace vm::app {

namespace {
using S = CaptionSource;

// clang-format off
constexpr std::array kEntries = {
    MenuEntry{"mnuFile", "", "&File", S::Line, 1, 0, "", true},
    MenuEntry{"SmuNew", "mnuFile", "&New File", S::Fixed, 0, 0, ""},
    MenuEntry{"Smuload", "mnuFile", "&Load File", S::Fixed, 0, 0, "", false, false, true},
    MenuEntry{"Smusave", "mnuFile", "&Save", S::Fixed, 0, 0, "", false, true},
    MenuEntry{"SmnuCompare", "mnuFile", "Co&mpare with File...", S::Fixed, 0, 0, "FrmCompare"},
    MenuEntry{"SmnuReport", "mnuFile", "Service &report...", S::Fixed, 0, 0, ""},
    MenuEntry{"SmnuWrite", "mnuFile", "&Write Board", S::Fixed, 0, 0, "", false, true, true},
    MenuEntry{"SmuConnect", "mnuFile", "Connect", S::Fixed, 0, 0, "", false, false, true},
    MenuEntry{"smnuExit", "mnuFile", "&Exit", S::Line, 2, 0, ""},

    MenuEntry{"mnuEdit", "", "&Edit", S::Fixed, 0, 0, "", true},
    MenuEntry{"mnuUndo", "mnuEdit", "&Undo", S::Fixed, 0, 0, "", false, true},
    MenuEntry{"mnuRedo", "mnuEdit", "&Redo", S::Fixed, 0, 0, "", false, true, true},
    MenuEntry{"mnuChanges", "mnuEdit", "&Changes", S::Fixed, 0, 0, "FrmChanges"},

    MenuEntry{"mnuConfigura", "", "&Configurazione", S::Line, 50, 0, "", true, true},
    MenuEntry{"smnuConfigura", "mnuConfigura", "&Configura Macchina", S::Line, 51, 0, "FrmConf"},
    MenuEntry{"SmnuRid", "mnuConfigura", "&Menu Ridotto", S::Line, 52, 0, "FrmMenuRidotto"},
    MenuEntry{"SmnuConfGraf", "mnuConfigura", "&Configurazione Grafica", S::Joined, 50, 441, "frmConfGrafico"},
    MenuEntry{"SmnuDevelopment", "mnuConfigura", "&Development", S::Fixed, 0, 0, "FrmDevelopment", false, true},

    MenuEntry{"mnuTempiDosi", "", "&Tempi/Dosi", S::Line, 3, 0, "", true, true},
    MenuEntry{"smnuTempi", "mnuTempiDosi", "&Tempi", S::Line, 4, 0, "FrmTempi"},
    MenuEntry{"SmnuExTempi", "mnuTempiDosi", "&Extra Tempi Settori", S::ExtraTimes, 3, 399, "FrmExTempo"},
    MenuEntry{"smnuDosi", "mnuTempiDosi", "&Dosi", S::Line, 5, 0, "FrmDosi"},
    MenuEntry{"smnuPreselez", "mnuTempiDosi", "&Preselezioni", S::Line, 6, 0, "FrmPresel"},
    MenuEntry{"smnuDP", "mnuTempiDosi", "&Doppi Prodotti", S::Line, 8, 0, "FrmDoppiP"},
    MenuEntry{"smnuProUni", "mnuTempiDosi", "Prodotti &Unici", S::Fixed, 0, 0, "FrmProUni"},

    MenuEntry{"mnuVending", "", "&Vending", S::Line, 9, 0, "", true, true},
    MenuEntry{"smnuPagamento", "mnuVending", "&Sist. di pagamento", S::Line, 10, 0, "FrmPagamento"},
    MenuEntry{"MnuValSoldi", "mnuVending", "&Monete&Banconote", S::Ampersand, 299, 303, "FrmValSoldi"},
    MenuEntry{"smnuPrezzi", "mnuVending", "&Prezzi", S::Line, 11, 0, "", true},
    MenuEntry{"ssmnuImposta", "smnuPrezzi", "&Impostazione prezzi", S::Line, 12, 0, "FrmPrezzi"},
    MenuEntry{"ssmnuPrsett", "smnuPrezzi", "&Associazione prezzi Sel/Sett", S::Line, 13, 0, "FrmAssPSS"},
    MenuEntry{"smuPrezBr", "mnuVending", "&Associazione prezzi bricco", S::Line, 14, 0, "FrmAssBricco"},
    MenuEntry{"mnuPrePreSc", "mnuVending", "&Preselezioni Prezzi-Sconti", S::Line, 54, 0, "FrmPrePreSc"},
    MenuEntry{"SmuSconti", "mnuVending", "&Sconti ", S::Line, 15, 0, "", true},
    MenuEntry{"ssmnuSconti", "SmuSconti", "&Impostazione sconti", S::Line, 15, 0, "FrmSconti"},
    MenuEntry{"ssmnuScontiCh", "SmuSconti", "&Impostazione sconti chiave", S::Line, 16, 0, "FrmScontiCh"},
    MenuEntry{"SmuPromo", "mnuVending", "&Promozioni", S::Line, 18, 0, "FrmPromo"},
    MenuEntry{"smnuDati", "mnuVending", "&Dati di vendita", S::Line, 19, 0, "", true},
    MenuEntry{"ssmnuTotali", "smnuDati", "&Totali", S::Line, 20, 0, "FrmTotali"},
    MenuEntry{"ssmnuBattute", "smnuDati", "&Battute", S::Line, 21, 0, "FrmBattute"},
    MenuEntry{"ssmnuGratis", "smnuDati", "&Gratis", S::Line, 22, 0, "FrmGratis"},
    MenuEntry{"ssmnuBricco", "smnuDati", "&Bricco", S::Line, 23, 0, "", true},
    MenuEntry{"ssmnuBricco1", "ssmnuBricco", "&Totali Bricco", S::Joined, 20, 23, "FrmBriccoToT"},
    MenuEntry{"ssmnuBricco2", "ssmnuBricco", "&Bricco", S::Line, 23, 0, "FrmBricco"},
    MenuEntry{"ssmnuBricco3", "ssmnuBricco", "&Bricco Gratis", S::Joined, 23, 22, "FrmBriccoGratis"},
    MenuEntry{"ssmnuBricco4", "ssmnuBricco", "&Test Bricco", S::Joined, 24, 23, "FrmBriccoProve"},
    MenuEntry{"ssmnuProva", "smnuDati", "&Prova", S::Line, 24, 0, "FrmProva"},
    MenuEntry{"ssmnuMonete", "smnuDati", "&Monete", S::Line, 25, 0, "FrmMonete"},
    MenuEntry{"ssmnuBanconote", "smnuDati", "&Banconote", S::Line, 26, 0, "FrmBanconote"},
    MenuEntry{"ssmnuMDBaudit", "smnuDati", "&MDB Audit", S::Line, 27, 0, "FrmMDBaudit"},
    MenuEntry{"ssmnuEvaDts", "smnuDati", "&Export EVA-DTS...", S::Fixed, 0, 0, ""},
    MenuEntry{"ssmnuCancella", "smnuDati", "&Cancella", S::Line, 28, 0, "FrmCancella"},

    MenuEntry{"mnuOpzioni", "", "&Opzioni", S::Line, 29, 0, "", true, true},
    MenuEntry{"smnuOpzioni", "mnuOpzioni", "&Opzioni", S::Line, 29, 0, "FrmOpzioni"},
    MenuEntry{"smnuMessaggiC", "mnuOpzioni", "&Messaggi Custom", S::Line, 30, 0, "FrmMessCust1"},
    MenuEntry{"smnuAzione", "mnuOpzioni", "&Azione Prev", S::Line, 31, 0, "FrmAzione"},
    MenuEntry{"smuDec", "mnuOpzioni", "&Decontatori", S::Line, 32, 0, "FrmDeco"},
    MenuEntry{"smnuPassword", "mnuOpzioni", "&Password", S::Line, 33, 0, "FrmPassword"},

    MenuEntry{"mnuTemperatura", "", "&Temperatura", S::Line, 34, 0, "", true, true},
    MenuEntry{"smnuSet", "mnuTemperatura", "&Set", S::Line, 35, 0, "FrmTemperatura"},
    MenuEntry{"smnuGrafico", "mnuTemperatura", "&Grafico", S::Line, 36, 0, "FrmGrafico"},

    MenuEntry{"mnuOrologio", "", "&Orologio", S::Line, 37, 0, "FrmOrologio", false, true},

    MenuEntry{"mnuTest", "", "&Test", S::Line, 38, 0, "", true, true},
    MenuEntry{"smnuInOut", "mnuTest", "&In/Out", S::Line, 39, 0, "FrmInOut"},
    MenuEntry{"smnuAllarmi", "mnuTest", "&Allarmi", S::Line, 40, 0, "FrmAllarmi"},

    MenuEntry{"mnuGSM", "", "&Connessione Remota", S::Line, 53, 0, "", true},
    MenuEntry{"smnuGSM", "mnuGSM", "&ModemGSM", S::Fixed, 0, 0, "FrmGSM"},

    MenuEntry{"MnuItem", "", "&Item Number", S::Fixed, 0, 0, "FrmItemNumber", false, true},
    MenuEntry{"mnuLingue", "", "&Lingue", S::Line, 41, 0, "", true},
    MenuEntry{"mnuWL", "", "&Windows", S::Line, 42, 0, "", true},
    MenuEntry{"mnuBrowse", "mnuWL", "&Parameters", S::Fixed, 0, 0, "FrmBrowse"},
    MenuEntry{"mnuCom", "", "&Com", S::Fixed, 0, 0, "", true},
    MenuEntry{"mnuVer", "", "?", S::Fixed, 0, 0, "FrmInfo"},
};
// clang-format on
} // namespace

std::span<const MenuEntry> MenuEntries() {
    return kEntries;
}

const MenuEntry* FindMenuEntry(std::string_view name) {
    for (const MenuEntry& entry : kEntries)
        if (entry.name == name) return &entry;
    return nullptr;
}

std::string MenuCaption(const MenuEntry& entry, const Messages& messages) {
    switch (entry.source) {
    case CaptionSource::Fixed:
        return std::string(entry.design);
    case CaptionSource::Line:
        return messages(entry.line);
    case CaptionSource::Joined:
        return messages(entry.line) + messages(entry.line2);
    case CaptionSource::ExtraTimes: {
        const std::string& times = messages(entry.line);
        return "Extra " + times.substr(0, times.find('/')) + " " + messages(entry.line2);
    }
    case CaptionSource::Ampersand:
        return messages(entry.line) + " && " + messages(entry.line2);
    }
    return std::string(entry.design);
}

} // namespace vm::app
