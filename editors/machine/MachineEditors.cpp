#include "MachineEditors.h"

#include "Form2.h"
#include "FrmConf.h"
#include "FrmConfSLAVE.h"
#include "FrmDoppiP.h"
#include "FrmDosi.h"
#include "FrmExTempo.h"
#include "FrmItemNumber.h"
#include "FrmOpzioni.h"
#include "FrmPrePreSc.h"
#include "FrmPresel.h"
#include "FrmTemperatura.h"
#include "FrmTempi.h"

namespace vm::editors {

std::vector<EditorEntry> machineEditorEntries() {
    return {
        editorEntry<FrmConf>("FrmConf"),
        editorEntry<FrmConfSLAVE>("FrmConfSLAVE"),
        editorEntry<FrmItemNumber>("FrmItemNumber"),
        editorEntry<FrmPresel>("FrmPresel"),
        editorEntry<FrmPrePreSc>("FrmPrePreSc"),
        editorEntry<FrmOpzioni>("FrmOpzioni"),
        editorEntry<FrmTempi>("FrmTempi"),
        editorEntry<FrmExTempo>("FrmExTempo"),
        editorEntry<FrmTemperatura>("FrmTemperatura"),
        editorEntry<FrmDosi>("FrmDosi"),
        editorEntry<Form2>("Form2"),
        editorEntry<FrmDoppiP>("FrmDoppiP"),
    };
}

} // namespace vm::editors
