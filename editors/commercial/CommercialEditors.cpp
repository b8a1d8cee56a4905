#include "CommercialEditors.h"

#include "FrmAssBricco.h"
#include "FrmAssPSS.h"
#include "FrmBricco.h"
#include "FrmMessCust1.h"
#include "FrmOrologio.h"
#include "FrmPassword.h"

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries() {
    return {
        editorEntry<FrmOrologio>("FrmOrologio"),
        editorEntry<FrmPassword>("FrmPassword"),
        editorEntry<FrmAssBricco>("FrmAssBricco"),
        editorEntry<FrmAssPSS>("FrmAssPSS"),
        editorEntry<FrmBricco>("FrmBricco"),
        editorEntry<FrmMessCust1>("FrmMessCust1"),
    };
}

} // namespace vm::editors
