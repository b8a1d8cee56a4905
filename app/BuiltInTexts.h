#pragma once
// The Italian texts compiled into the program: the reference every language file is checked against, and
// what the program shows when no installed language file can be used.

#include "Languages.h"

namespace vm::app {

const LanguageTexts& BuiltInTexts();

} // namespace vm::app
