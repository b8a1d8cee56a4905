#include "RemoteWindows.h"

#include "EditorRegistry.h"
#include "FrmGSM.h"

namespace vm::remote {

void registerRemoteWindows() {
    editors::addEditorEntries({
        editors::editorEntry<FrmGSM>("FrmGSM"),
    });
}

} // namespace vm::remote
