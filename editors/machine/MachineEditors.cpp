#include "MachineEditors.h"

#include "FrmConf.h"
#include "FrmConfSLAVE.h"
#include "FrmExTempo.h"
#include "FrmItemNumber.h"
#include "FrmTemperatura.h"
#include "FrmTempi.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConf>("FrmConf"),
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
        editorEntry<FrmTempi>("FrmTempi"),
        editorEntry<FrmExTempo>("FrmExTempo"),
        editorEntry<FrmTemperatura>("FrmTemperatura"),
    };
}

} // namespace vm::editors
