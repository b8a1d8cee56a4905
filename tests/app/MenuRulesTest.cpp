// The enabling rules and the menu captions, apart from any window.

#include "MenuRules.h"
#include "MenuTree.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vm::app {
namespace {

struct Switchboard {
    std::map<std::string, bool> entries;
    MenuSwitch set() {
        return [this](std::string_view e, bool on) { entries[std::string(e)] = on; };
    }
    // Each entry has been set to `on`.
    void expect(const std::vector<std::string>& names, bool on) const {
        for (const std::string& e : names) {
            ASSERT_TRUE(entries.contains(e)) << e;
            EXPECT_EQ(entries.at(e), on) << e;
        }
    }
};

TEST(MenuRules, EnableMenuFollowsTheUnitsAndTheConnection) {
    ProgramState state;
    Switchboard s;
    EnableMenu(s.set(), state);
    s.expect({"smnuTempi", "SmnuExTempi", "smnuSet"}, false); // no coupled units
    state.SlaveType4 = 5;                                     // any unit counts
    EnableMenu(s.set(), state);
    s.expect({"smnuTempi", "SmnuExTempi", "smnuSet", "Smuload", "SmuNew"}, true);
    s.expect({"smnuDati", "smnuGrafico", "smnuInOut", "smnuAllarmi", "smuDec"}, false); // offline

    state.Online = true;
    state.SlaveType1 = 1;
    EnableMenu(s.set(), state);
    s.expect({"smnuDati", "smnuGrafico", "smnuInOut", "smnuAllarmi", "smuDec"}, true);
    s.expect({"Smuload", "SmuNew"}, false);

    state.SlaveType1 = 7; // a unit of type 7 has no input/output test
    EnableMenu(s.set(), state);
    s.expect({"smnuInOut"}, false);
    s.expect({"smnuAllarmi"}, true);

}

TEST(MenuTree, NamesAreUniqueAndParentsComeFirst) {
    std::map<std::string_view, bool> seen; // name -> is a submenu
    for (const MenuEntry& e : MenuEntries()) {
        EXPECT_FALSE(seen.contains(e.name)) << e.name;
        if (!e.parent.empty()) {
            ASSERT_TRUE(seen.contains(e.parent)) << e.name << " before " << e.parent;
            EXPECT_TRUE(seen[e.parent]) << e.parent << " is no submenu";
        }
        seen[e.name] = e.submenu;
    }
    EXPECT_EQ(FindMenuEntry("nothing"), nullptr);
}

TEST(MenuTree, CaptionsAreBuiltFromTheLanguageLines) {
    Messages m;
    for (auto [line, text] : {std::pair{3, "&Tempi/Dosi"},
                              {399, "Settori"},
                              {299, "Monete"},
                              {303, "Banconote"},
                              {20, "&Totali "},
                              {23, "Bricco"},
                              {50, "&Configurazione "},
                              {441, "Grafica"},
                              {1, "&Datei"}})
        m.set(line, text);
    auto caption = [&](const char* entry) { return MenuCaption(*FindMenuEntry(entry), m); };
    EXPECT_EQ(caption("SmnuExTempi"), "Extra &Tempi Settori");
    EXPECT_EQ(caption("MnuValSoldi"), "Monete && Banconote");
    EXPECT_EQ(caption("ssmnuBricco1"), "&Totali Bricco");
    EXPECT_EQ(caption("SmnuConfGraf"), "&Configurazione Grafica");
    EXPECT_EQ(caption("mnuTempiDosi"), "&Tempi/Dosi");
    EXPECT_EQ(caption("mnuFile"), "&Datei");
    EXPECT_EQ(caption("smnuGSM"), "&ModemGSM"); // fixed entries keep their design caption
    // A times line without "/" is taken whole.
    m.set(3, "Zeiten");
    EXPECT_EQ(caption("SmnuExTempi"), "Extra Zeiten Settori");
}

} // namespace
} // namespace vm::app
