#include "AuditEditors.h"

#include "FrmAllarmi.h"
#include "FrmAzione.h"
#include "FrmBattute.h"
#include "FrmBriccoToT.h"
#include "FrmCancella.h"
#include "FrmDeco.h"
#include "FrmMDBaudit.h"
#include "FrmMenuRidotto.h"
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
        editorEntry<FrmCancella>("FrmCancella"),
        editorEntry<FrmAzione>("FrmAzione"),
        editorEntry<FrmDeco>("FrmDeco"),
        editorEntry<FrmAllarmi>("FrmAllarmi"),
        editorEntry<FrmMenuRidotto>("FrmMenuRidotto"),
    };
}

} // namespace vm::editors
