#pragma once
// What the commands take from the parameter catalogue: names, twins and the configuration-memory parameters.

#include "ConfigView.h"

#include <string>
#include <vector>

namespace vm::cli {

// The catalogue name of a parameter, or "?" for an index the catalogue does not know.
std::string ParamName(int index);
// The twin that receives the same value on every live write (0: none).
int ParamMirror(int index);
// The configuration-memory parameters of the catalogue, in index order.
std::vector<ViewParam> ConfigMemoryParams();

} // namespace vm::cli
