#pragma once
// The commercial editor windows, by form name. Add one line per window to the list in the .cpp.

#include "EditorRegistry.h"

#include <vector>

namespace vm::editors {

std::vector<EditorEntry> commercialEditorEntries();

} // namespace vm::editors
