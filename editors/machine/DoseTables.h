#pragma once
// Where the dose recipe of the drink selections lives. Every setting is a table of 32 entries, one per
// selection, tables 32 parameters apart. Each of the three doses has 29 tables: 17 from its first base and
// 12 from its second base, which follows the first (17 x 32 further on), so table t of dose d is simply
// first base + 32 t.

#include "ParamNames.h"

namespace vm::editors::doses {

inline constexpr int kSelections = 32;
inline constexpr int kStride = 32;
inline constexpr int kDoses = 3;
inline constexpr int kFirstTables = 17;
inline constexpr int kSecondTables = 12;
inline constexpr int kTables = kFirstTables + kSecondTables;
inline constexpr int kFirstBase[kDoses] = {param::Dose1, param::Dose2, param::Dose3};

// The tables the test buttons run and the calibration file lists: valve, doser and mixer time.
inline constexpr int kValveTable = 5, kDoserTable = 9, kMixerTable = 13;
// The measured calibration of dose d of a selection (one entry per selection).
inline constexpr int kCalibration[kDoses] = {param::SelectionSetting1, param::SelectionSetting2,
                                             param::SelectionSetting3};

// The board's command cells of the dose tests: the command, and the value it works on (the board puts
// its measurement there when the test has ended and the command cell is back to 0).
inline constexpr int kTestCommand = param::DoseTestCommand;
inline constexpr int kTestValue = param::DoseTestValue;

constexpr int doseParam(int dose, int table, int selection) {
    return kFirstBase[dose] + kStride * table + selection;
}

} // namespace vm::editors::doses
