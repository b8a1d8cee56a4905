#include "FrmMDBaudit.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
struct AuditValue {
    const char* caption;
    bool money;
};
constexpr AuditValue kValues[] = {
    {"Importo inserito nei tubi ", true}, {"Importo audit 2", true},
    {"Importo audit 3", true},            {"Importo audit 4", true},
    {"Importo audit 5", true},            {"Importo audit 6", true},
    {"Importo sconto con chiave", true},  {"Contatore Vendite con chiave", false},
    {"Importo vendite con Token", true},  {"Contatore Vendite con Token", false},
    {"Totale Overpay con Token", false},  {"Importo Monete in Cassa", true},
    {"Totale Importo Banconote", false},  {"Contatore Token 1", false},
    {"Contatore Token 2", false},         {"Contatore Token 3", false},
};
} // namespace

// No "cancella dati MDB" button: the board has no command that clears the MDB values alone, and a button
// that looks as if it cleared them while requesting nothing would mislead.
FrmMDBaudit::FrmMDBaudit(EditorContext& ctx, QWidget* parent) : AuditView(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmMDBaudit"), Caption("MDB audit"));
    d.decimalPointParam = kDecimalPoint;
    d.decimalPointTwin = kDecimalPointTwin;
    int i = 0;
    for (const AuditValue& v : kValues) {
        Binding b =
            valueText("Label2", i, param::MdbAudit + i).titled(Caption(v.caption)).captionLabel("Label1", i);
        if (v.money) b.money();
        d.window().add(std::move(b));
        ++i;
    }
    setupView(std::move(d));
}

} // namespace vm::editors
