#include "AuditEditors.h"

#include "FrmAllarmi.h"
#include "FrmAzione.h"
#include "FrmCancella.h"
#include "FrmDeco.h"

namespace vm::editors {

std::vector<EditorEntry> auditEditorEntries() {
    return {
        editorEntry<FrmCancella>("FrmCancella"),
        editorEntry<FrmAzione>("FrmAzione"),
        editorEntry<FrmDeco>("FrmDeco"),
        editorEntry<FrmAllarmi>("FrmAllarmi"),
    };
}

} // namespace vm::editors
