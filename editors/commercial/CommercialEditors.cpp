#include "CommercialEditors.h"

#include "FrmProUni.h"
#include "FrmPromo.h"
#include "FrmSconti.h"

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries() {
    return {
        // editorEntry<FrmPrezzi>("FrmPrezzi"),
        editorEntry<FrmSconti>("FrmSconti"),
        editorEntry<FrmScontiCh>("FrmScontiCh"),
        editorEntry<FrmPromo>("FrmPromo"),
        editorEntry<FrmProUni>("FrmProUni"),
    };
}

} // namespace vm::editors
