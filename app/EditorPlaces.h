#pragma once
// Which editor window shows a parameter, and with which control: found once by creating every editor
// window offline on a scratch copy of the state and asking it for its bindings. A window that moves its
// bindings with a selection is found at its first selection.

#include "Messages.h"
#include "ProgramState.h"

#include <QString>

#include <vector>

namespace vm::app {

struct EditorPlace {
    QString form; // empty: no window shows the parameter
    QString control;
    int controlIndex = 0;
};

// By parameter index (0..kParamIndexCount-1); built on the first call and kept for the run.
const std::vector<EditorPlace>& EditorPlaces(const ProgramState& state, const Messages& messages);

} // namespace vm::app
