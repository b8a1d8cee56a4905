#include "CommercialEditors.h"

#include "FrmAssBricco.h"
#include "FrmAssPSS.h"
#include "FrmBricco.h"
#include "FrmMessCust1.h"
#include "FrmOrologio.h"
#include "FrmPagamento.h"
#include "FrmPassword.h"
#include "FrmPrezzi.h"
#include "FrmPromo.h"
#include "FrmProUni.h"
#include "FrmSconti.h"
#include "FrmValSoldi.h"

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries() {
    return {
        editorEntry<FrmPagamento>("FrmPagamento"),
        editorEntry<FrmValSoldi>("FrmValSoldi"),
        editorEntry<FrmPrezzi>("FrmPrezzi"),
        editorEntry<FrmOrologio>("FrmOrologio"),
        editorEntry<FrmPassword>("FrmPassword"),
        editorEntry<FrmAssBricco>("FrmAssBricco"),
        editorEntry<FrmAssPSS>("FrmAssPSS"),
        editorEntry<FrmBricco>("FrmBricco"),
        editorEntry<FrmMessCust1>("FrmMessCust1"),
        // editorEntry<FrmPrezzi>("FrmPrezzi"),
        editorEntry<FrmSconti>("FrmSconti"),
        editorEntry<FrmScontiCh>("FrmScontiCh"),
        editorEntry<FrmPromo>("FrmPromo"),
        editorEntry<FrmProUni>("FrmProUni"),
    };
}

} // namespace vm::editors
