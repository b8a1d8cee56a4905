#pragma once
// The one write of a parameter that every edit takes, whether a window's control, an undo or a reset makes
// it: recorded in the change log with the value it replaces, stored through the image routine of its width
// with the twin (online the cell is marked for the board), and offline shown at once in every open window.

#include "Delivery.h"
#include "EditorContext.h"

#include <string_view>

namespace vm::editors {

struct ValueWrite {
    int index = 0;
    int mirror = 0; // the twin written with it; 0 = none
    int width = 1;  // 1..3 bytes; 0 = a text
    ParamData value;
};

// The value a write of `width` bytes (0: the text) would replace: the image's offline, the cell's online.
ParamData ValueBefore(const ProgramState& state, int index, int width);

// `writer` is the window that made the change (the image routine refreshes it first), or null. Returns false
// when nothing was written (no such parameter, or a value of the wrong kind).
bool WriteValue(EditorContext& ctx, const ValueWrite& write, std::string_view window, DeliveryTarget* writer);

} // namespace vm::editors
