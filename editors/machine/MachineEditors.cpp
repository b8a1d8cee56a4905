#include "MachineEditors.h"

#include "FrmConf.h"
#include "FrmConfSLAVE.h"
#include "FrmItemNumber.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConf>("FrmConf"),
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
    };
}

} // namespace vm::editors
