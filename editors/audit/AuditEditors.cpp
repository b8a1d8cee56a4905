#include "AuditEditors.h"

#include "FrmAllarmi.h"
#include "FrmAzione.h"
#include "FrmCancella.h"
#include "FrmDeco.h"
#include "FrmMenuRidotto.h"

namespace vm::editors {

std::vector<EditorEntry> auditEditorEntries() {
    return {
        editorEntry<FrmCancella>("FrmCancella"),
        editorEntry<FrmAzione>("FrmAzione"),
        editorEntry<FrmDeco>("FrmDeco"),
        editorEntry<FrmAllarmi>("FrmAllarmi"),
        editorEntry<FrmMenuRidotto>("FrmMenuRidotto"),
    };
}

} // namespace vm::editors
