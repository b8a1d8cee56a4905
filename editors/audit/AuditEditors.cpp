#include "AuditEditors.h"

#include "FrmMenuRidotto.h"

namespace vm::editors {

std::vector<EditorEntry> auditEditorEntries() {
    return {
        // editorEntry<FrmDeco>("FrmDeco"),
        editorEntry<FrmMenuRidotto>("FrmMenuRidotto"),
    };
}

} // namespace vm::editors
