#pragma once
// Changing one parameter from the browser or the compare window: the value is checked against the
// parameter's width (and, for texts, the characters the board can hold) and written through the image
// routines with its twin, as the editors write it. Online the link sends it; offline every open window
// shows it at once.

#include "Catalogue.h"
#include "ChangeLog.h"
#include "Delivery.h"
#include "FormList.h"
#include "ProgramState.h"

#include <QString>

namespace vm::app {

// Whether the parameter may be changed here: the configuration memory, 1 to 3 bytes or a text.
bool ParamWritable(const catalogue::ParamInfo& param);

// Writes `typed` (a decimal number, or the text) into the parameter. Returns why not, empty when written.
// With a change log the write is recorded there as made by `window`.
QString WriteParamText(ProgramState& state, const FormList& forms, const catalogue::ParamInfo& param,
                       const QString& typed, ChangeLog* log = nullptr, std::string_view window = {});
// Writes a value as the configuration image holds it (a number or the text bytes).
QString WriteParamData(ProgramState& state, const FormList& forms, const catalogue::ParamInfo& param,
                       const ParamData& value, ChangeLog* log = nullptr, std::string_view window = {});

} // namespace vm::app
