#include "CommercialEditors.h"

#include "FrmAssBricco.h"
#include "FrmAssPSS.h"
#include "FrmBricco.h"
#include "FrmMessCust1.h"
#include "FrmOrologio.h"
#include "FrmPagamento.h"
#include "FrmPassword.h"
#include "FrmPrezzi.h"
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
    };
}

} // namespace vm::editors
