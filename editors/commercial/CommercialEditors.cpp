#include "CommercialEditors.h"

#include "FrmPagamento.h"
#include "FrmPrezzi.h"
#include "FrmValSoldi.h"

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries() {
    return {
        editorEntry<FrmPagamento>("FrmPagamento"),
        editorEntry<FrmValSoldi>("FrmValSoldi"),
        editorEntry<FrmPrezzi>("FrmPrezzi"),
    };
}

} // namespace vm::editors
