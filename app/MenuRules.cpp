#include "MenuRules.h"

#include <initializer_list>

namespace vm::app {

namespace {
void setAll(const MenuSwitch& set, std::initializer_list<std::string_view> entries, bool enabled) {
    for (std::string_view entry : entries)
        set(entry, enabled);
}
} // namespace

void StartupEnabling(const MenuSwitch& set) {
    setAll(set, {"SmuNew", "SmnuDevelopment", "smnuConfigura"}, true);
}

void DisableMenu(const MenuSwitch& set) {
    setAll(set,
           {"mnuConfigura", "mnuTempiDosi", "mnuVending", "mnuOpzioni", "mnuTemperatura", "mnuOrologio",
            "mnuTest", "mnuLingue", "mnuVer", "Smusave", "mnuWL", "mnuCom", "MnuItem"},
           false);
}

void EnableMenu(const MenuSwitch& set, const ProgramState& state) {
    // A configuration without coupled units has no times, extra times or temperature set.
    const bool anyUnit =
        state.SlaveType1 != 0 || state.SlaveType2 != 0 || state.SlaveType3 != 0 || state.SlaveType4 != 0;
    setAll(set, {"SmnuExTempi", "smnuSet", "smnuTempi"}, anyUnit);

    if (state.Online) {
        setAll(set, {"smnuDati", "smnuGrafico", "smnuAllarmi", "smuDec"}, true);
        setAll(set, {"Smuload", "SmuNew"}, false);
        set("smnuInOut", state.SlaveType1 != 7);
    } else {
        setAll(set, {"smnuDati", "smnuGrafico", "smnuInOut", "smnuAllarmi", "smuDec"}, false);
        setAll(set, {"Smuload", "SmuNew"}, true);
    }
    set("Smusave", true);
    setAll(set,
           {"mnuConfigura", "mnuTempiDosi", "mnuVending", "SmuSconti", "mnuOpzioni", "mnuTemperatura",
            "mnuOrologio", "mnuTest", "mnuLingue", "mnuWL", "mnuVer", "mnuGSM", "mnuCom", "MnuItem"},
           true);
}

void ApplyUnit1Menus(const MenuSwitch& set, int unitCode) {
    const std::initializer_list<std::string_view> kDrinkEntries = {"smnuDosi", "smnuPreselez", "smnuDP", "smnuProUni",
                                                                   "smuPrezBr", "smnuAzione"};
    switch (unitCode) {
    case 1:
    case 2:
        setAll(set, kDrinkEntries, true);
        break;
    case 3:
    case 4:
    case 5:
    case 6:
        setAll(set, kDrinkEntries, false);
        set("SmnuConfGraf", false);
        break;
    case 7:
        setAll(set, kDrinkEntries, false);
        setAll(set, {"SmnuConfGraf", "smnuInOut", "smuDec", "SmuPromo", "mnuPrePreSc"}, false);
        break;
    default:
        break;
    }
}

} // namespace vm::app
