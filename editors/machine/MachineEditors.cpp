#include "MachineEditors.h"

#include "FrmConfSLAVE.h"
#include "FrmItemNumber.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
    };
}

} // namespace vm::editors
