#include "RemoteWindows.h"

#include "EditorRegistry.h"
#include "FrmConfGrafico.h"
#include "FrmDevelopment.h"
#include "FrmGSM.h"
#include "FrmGrafico.h"
#include "FrmInOut.h"

namespace vm::remote {

void registerRemoteWindows() {
    editors::addEditorEntries({
        editors::editorEntry<FrmGSM>("FrmGSM"),
        editors::editorEntry<FrmGrafico>("FrmGrafico"),
        editors::editorEntry<FrmConfGrafico>("frmConfGrafico"),
        editors::editorEntry<FrmInOut>("FrmInOut"),
        editors::editorEntry<FrmDevelopment>("FrmDevelopment"),
    });
}

} // namespace vm::remote
