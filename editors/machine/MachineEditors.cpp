#include "MachineEditors.h"

#include "FrmConf.h"
#include "FrmConfSLAVE.h"
#include "FrmDoppiP.h"
#include "FrmDosi.h"
#include "FrmItemNumber.h"
#include "Form2.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConf>("FrmConf"),
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
        editorEntry<FrmDosi>("FrmDosi"),
        editorEntry<Form2>("Form2"),
        editorEntry<FrmDoppiP>("FrmDoppiP"),
    };
}

} // namespace vm::editors
