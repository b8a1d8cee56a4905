#pragma once
// The windows of this layer: add one line per window to the list in the .cpp.

namespace vm::remote {

// Makes the windows of this layer known to the editor registry, so the main window and scripts open them by
// form name. Safe to call more than once.
void registerRemoteWindows();

} // namespace vm::remote
