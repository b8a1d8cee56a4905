#include "AuditEditors.h"

namespace vm::editors {

std::vector<EditorEntry> auditEditorEntries() {
    return {
        // editorEntry<FrmDeco>("FrmDeco"),
    };
}

} // namespace vm::editors
