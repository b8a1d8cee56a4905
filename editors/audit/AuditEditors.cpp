#include "AuditEditors.h"

#include "FrmBattute.h"
#include "FrmBriccoToT.h"
#include "FrmMDBaudit.h"
#include "FrmMonete.h"
#include "FrmTotali.h"

namespace vm::editors {

std::vector<EditorEntry> auditEditorEntries() {
    return {
        editorEntry<FrmTotali>("FrmTotali"),
        editorEntry<FrmMonete>("FrmMonete"),
        editorEntry<FrmBanconote>("FrmBanconote"),
        editorEntry<FrmBattute>("FrmBattute"),
        editorEntry<FrmGratis>("FrmGratis"),
        editorEntry<FrmProva>("FrmProva"),
        editorEntry<FrmBriccoToT>("FrmBriccoToT"),
        editorEntry<FrmBriccoProve>("FrmBriccoProve"),
        editorEntry<FrmBriccoGratis>("FrmBriccoGratis"),
        editorEntry<FrmMDBaudit>("FrmMDBaudit"),
    };
}

} // namespace vm::editors
