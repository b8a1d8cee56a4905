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
    bool on(const std::string& e) const { return entries.at(e); }
    bool touched(const std::string& e) const { return entries.contains(e); }
};

TEST(MenuRules, DisableMenuLeavesFileAndConnectionEntriesAlone) {
    Switchboard s;
    DisableMenu(s.set());
    for (const char* e :
         {"mnuConfigura", "mnuTempiDosi", "mnuVending", "mnuOpzioni", "mnuTemperatura", "mnuOrologio",
          "mnuTest", "mnuLingue", "mnuVer", "Smusave", "mnuWL", "mnuCom", "MnuItem"})
        EXPECT_FALSE(s.on(e)) << e;
    EXPECT_EQ(s.entries.size(), 13u);
    EXPECT_FALSE(s.touched("mnuFile"));
    EXPECT_FALSE(s.touched("mnuGSM"));
}

TEST(MenuRules, EnableMenuWithoutCoupledUnitsDisablesTimesAndSet) {
    ProgramState state;
    Switchboard s;
    EnableMenu(s.set(), state);
    EXPECT_FALSE(s.on("smnuTempi"));
    EXPECT_FALSE(s.on("SmnuExTempi"));
    EXPECT_FALSE(s.on("smnuSet"));

    state.SlaveType4 = 5; // any unit counts
    EnableMenu(s.set(), state);
    EXPECT_TRUE(s.on("smnuTempi"));
    EXPECT_TRUE(s.on("SmnuExTempi"));
    EXPECT_TRUE(s.on("smnuSet"));
}

TEST(MenuRules, EnableMenuOfflineAndOnline) {
    ProgramState state;
    state.SlaveType1 = 1;
    Switchboard s;
    EnableMenu(s.set(), state);
    for (const char* e : {"smnuDati", "smnuGrafico", "smnuInOut", "smnuAllarmi", "smuDec"})
        EXPECT_FALSE(s.on(e)) << e;
    EXPECT_TRUE(s.on("Smuload"));
    EXPECT_TRUE(s.on("SmuNew"));
    EXPECT_TRUE(s.on("Smusave"));
    for (const char* e :
         {"mnuConfigura", "mnuVending", "SmuSconti", "mnuLingue", "mnuGSM", "mnuCom", "MnuItem"})
        EXPECT_TRUE(s.on(e)) << e;

    state.Online = true;
    EnableMenu(s.set(), state);
    for (const char* e : {"smnuDati", "smnuGrafico", "smnuInOut", "smnuAllarmi", "smuDec"})
        EXPECT_TRUE(s.on(e)) << e;
    EXPECT_FALSE(s.on("Smuload"));
    EXPECT_FALSE(s.on("SmuNew"));

    state.SlaveType1 = 7; // a unit of type 7 has no input/output test
    EnableMenu(s.set(), state);
    EXPECT_FALSE(s.on("smnuInOut"));
    EXPECT_TRUE(s.on("smnuAllarmi"));
}

TEST(MenuRules, FirstUnitCodeSwitchesTheDrinkEntries) {
    const std::vector<std::string> drinks = {"smnuDosi", "smnuPreselez", "smnuDP", "smuPrezBr", "smnuAzione"};
    for (int code : {1, 2}) {
        Switchboard s;
        ApplyUnit1Menus(s.set(), code);
        EXPECT_EQ(s.entries.size(), 5u);
        for (const auto& e : drinks)
            EXPECT_TRUE(s.on(e)) << code << e;
    }
    for (int code : {3, 4, 5, 6}) {
        Switchboard s;
        ApplyUnit1Menus(s.set(), code);
        EXPECT_EQ(s.entries.size(), 6u);
        for (const auto& e : drinks)
            EXPECT_FALSE(s.on(e));
        EXPECT_FALSE(s.on("SmnuConfGraf"));
    }
    Switchboard seven;
    ApplyUnit1Menus(seven.set(), 7);
    EXPECT_EQ(seven.entries.size(), 10u);
    for (const char* e : {"smnuInOut", "smuDec", "SmuPromo", "mnuPrePreSc", "SmnuConfGraf"})
        EXPECT_FALSE(seven.on(e));
    for (int code : {0, 8, 15}) {
        Switchboard s;
        ApplyUnit1Menus(s.set(), code);
        EXPECT_TRUE(s.entries.empty()) << code;
    }
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
    EXPECT_NE(FindMenuEntry("ssmnuBricco4"), nullptr);
    EXPECT_EQ(FindMenuEntry("nothing"), nullptr);
}

TEST(MenuTree, CaptionsAreBuiltFromTheLanguageLines) {
    Messages m;
    m.set(3, "&Tempi/Dosi");
    m.set(399, "Settori");
    m.set(299, "Monete");
    m.set(303, "Banconote");
    m.set(20, "&Totali ");
    m.set(23, "Bricco");
    m.set(50, "&Configurazione ");
    m.set(441, "Grafica");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("SmnuExTempi"), m), "Extra &Tempi Settori");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("MnuValSoldi"), m), "Monete && Banconote");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("ssmnuBricco1"), m), "&Totali Bricco");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("SmnuConfGraf"), m), "&Configurazione Grafica");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("mnuTempiDosi"), m), "&Tempi/Dosi");
    // Fixed entries keep their design caption whatever the language says.
    m.set(1, "&Datei");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("smnuGSM"), m), "&ModemGSM");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("mnuFile"), m), "&Datei");
    // A times line without "/" is taken whole.
    m.set(3, "Zeiten");
    EXPECT_EQ(MenuCaption(*FindMenuEntry("SmnuExTempi"), m), "Extra Zeiten Settori");
}

} // namespace
} // namespace vm::app
