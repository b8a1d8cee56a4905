#include "CommercialEditors.h"

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries() {
    return {
        // editorEntry<FrmPrezzi>("FrmPrezzi"),
    };
}

} // namespace vm::editors
