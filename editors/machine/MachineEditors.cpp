#include "MachineEditors.h"

#include "FrmConf.h"
#include "FrmConfSLAVE.h"
#include "FrmItemNumber.h"
#include "FrmOpzioni.h"
#include "FrmPrePreSc.h"
#include "FrmPresel.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConf>("FrmConf"),
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
        editorEntry<FrmPresel>("FrmPresel"),
        editorEntry<FrmPrePreSc>("FrmPrePreSc"),
        editorEntry<FrmOpzioni>("FrmOpzioni"),
    };
}

} // namespace vm::editors
