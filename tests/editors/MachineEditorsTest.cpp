// The coupled-units set-up window and the item numbers window.

#include "EditorTestSupport.h"

#include "EditorRegistry.h"
#include "machine/FrmConfSLAVE.h"
#include "machine/FrmItemNumber.h"
#include "widgets/IndexComboBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

namespace vm::editors::test {
namespace {

class FrmConfSLAVETest : public EditorFixture {
protected:
    FrmConfSLAVETest() {
        fillParam(state, 1844, 0x700, 1);
        fillParam(state, 1855, 0x70B, 1);
        fillParam(state, 1856, 0x70C, 1);
    }
    std::unique_ptr<EditorBase> open() {
        return std::unique_ptr<EditorBase>(createEditor(QStringLiteral("FrmConfSLAVE"), ctx));
    }
    static void choose(EditorBase& e, int machine) {
        get<IndexComboBox>(e, "Combo1")->setCurrentIndex(machine);
    }
    static QCheckBox* check(EditorBase& e, int i) { return get<QCheckBox>(e, "Check1", i); }
    static QStringList units(EditorBase& e) {
        QStringList captions;
        for (int i = 1; i <= 4; ++i)
            captions << get<QLabel>(e, "Label2", i)->text();
        return captions;
    }
    std::array<std::uint8_t, 4> types() const {
        return {state.SlaveType1, state.SlaveType2, state.SlaveType3, state.SlaveType4};
    }
};

TEST_F(FrmConfSLAVETest, OpeningLocksNewAndWaitsForAMachine) {
    auto e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(state.SoftwareRelease, 4);
    EXPECT_EQ(hooks.calls, QStringList{"SmuNew off"});
    EXPECT_FALSE(e->control("Command1", 0)->isEnabled());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(check(*e, i)->isEnabled());
    EXPECT_EQ(get<QLabel>(*e, "Label2", 0)->text(), " SF0482B ");
    e->close();
    EXPECT_EQ(hooks.calls.last(), "SmuNew on");
    open().reset(); // destroyed without a close event: unlocked all the same
    EXPECT_EQ(hooks.calls.last(), "SmuNew on");
}

TEST_F(FrmConfSLAVETest, EachMachineSetsItsUnitsAndImageBytes) {
    auto e = open();
    image(0x70B) = 0x21;
    image(0x70C) = 0x03;
    choose(*e, 3); // DUR 700
    EXPECT_EQ(image(0x700), 2);
    EXPECT_EQ(image(0x70C), 16);
    EXPECT_EQ(image(0x70B), 0x21); // 1855 is left as it was
    EXPECT_EQ(get<QLabel>(*e, "Label11")->text(), "DUR 700");
    EXPECT_EQ(units(*e), (QStringList{" CALDO ", " TULA A ", " TULA B ", " NESSUNA "}));
    EXPECT_EQ(types(), (std::array<std::uint8_t, 4>{1, 3, 4, 0}));
    EXPECT_EQ(image(0), 1);
    EXPECT_EQ(image(2), 4);
    EXPECT_EQ(state.UnitCodes[1], 3);
    EXPECT_FALSE(check(*e, 3)->isEnabled()); // the empty unit cannot be ticked
    EXPECT_TRUE(e->control("Command1", 0)->isEnabled());

    choose(*e, 2); // DUR 400
    EXPECT_EQ(image(0x700), 2);
    EXPECT_EQ(image(0x70B), 128);
    EXPECT_EQ(image(0x70C), 16);

    choose(*e, 1); // KTR 600: two snack units
    EXPECT_EQ(image(0x700), 4);
    EXPECT_EQ(state.CouplingType, 4);
    EXPECT_EQ(units(*e)[0], " TULA A ");
    EXPECT_EQ(units(*e)[2], " NESSUNA ");
    EXPECT_EQ(state.SlaveType3, 0);
    EXPECT_EQ(image(2), 0);

    choose(*e, 0); // KTR 921
    EXPECT_EQ(image(0x700), 3);
    // Clearing a unit and ticking it again.
    check(*e, 2)->setChecked(false);
    EXPECT_EQ(types()[2], 0);
    EXPECT_EQ(image(2), 0);
    EXPECT_EQ(state.UnitCodes[2], 0);
    EXPECT_EQ(types()[1], 3); // the others stay
    check(*e, 2)->setChecked(true);
    EXPECT_EQ(types()[2], 4);
    EXPECT_EQ(image(2), 4);
}

TEST_F(FrmConfSLAVETest, Command1RefreshesTheMenusAndClosesTheSubWindowThatHoldsIt) {
    QMdiArea area;
    EditorBase* e = createEditor(QStringLiteral("FrmConfSLAVE"), ctx);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(e);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    sub->show();
    choose(*e, 2);
    get<QPushButton>(*e, "Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_TRUE(forms.forms().empty());
    EXPECT_EQ(hooks.calls, (QStringList{"SmuNew off", "disableMenus", "enableMenus", "SmuNew on"}));
}

class FrmItemNumberTest : public EditorFixture {
protected:
    FrmItemNumberTest() {
        // Every spiral parameter gets its own board address.
        int address = 0x3000;
        for (int unit = 1; unit <= 4; ++unit)
            for (int spiral = 0; spiral < FrmItemNumber::spiralCount(unit); ++spiral)
                fillParam(state, FrmItemNumber::spiralParam(unit, spiral), address++, 1);
    }
};

TEST_F(FrmItemNumberTest, ScrollBarsWriteTheirSpiralParametersAndAreLabelledByTrayAndPlace) {
    auto e = std::unique_ptr<EditorBase>(createEditor(QStringLiteral("FrmItemNumber"), ctx));
    ASSERT_NE(e, nullptr);
    auto bar = [&](int unit, int spiral) {
        return static_cast<QScrollBar*>(e->control(QStringLiteral("HScroll%1").arg(unit), spiral));
    };
    const struct {
        int unit, spiral, index;
    } cases[] = {{2, 56, 13696}, {1, 0, 12602},  {1, 55, 12657}, {1, 56, 13682}, {1, 69, 13695},
                 {3, 56, 13710}, {3, 69, 13723}, {4, 0, 12770},  {4, 55, 12825}};
    int value = 1;
    for (const auto& c : cases) {
        ASSERT_NE(bar(c.unit, c.spiral), nullptr) << c.unit << "/" << c.spiral;
        bar(c.unit, c.spiral)->setValue(++value);
        EXPECT_EQ(image(state.cell(c.index, 0).boardAddress()), value) << c.index;
    }
    EXPECT_EQ(bar(4, 56), nullptr); // unit 4 has 56 spirals
    EXPECT_EQ(bar(3, 70), nullptr);
    EXPECT_EQ(e->findChild<QTabWidget*>("SSTab1")->count(), 4);

    QStringList captions;
    for (QLabel* label : e->findChildren<QLabel*>())
        if (label->text().startsWith("Spirale")) captions << label->text();
    EXPECT_EQ(captions.size(), 3 * 70 + 56);
    // Trays 1..7 with places 1..8 on every unit, then places from 81 up to 96 on units 1 to 3; no place 9.
    for (auto [caption, count] : {std::pair{"Spirale 11", 4},
                                  {"Spirale 18", 4},
                                  {"Spirale 21", 4},
                                  {"Spirale 78", 4},
                                  {"Spirale 81", 3},
                                  {"Spirale 96", 3},
                                  {"Spirale 19", 0}})
        EXPECT_EQ(captions.count(caption), count) << caption;
}

TEST_F(FrmItemNumberTest, ConnectedItWatchesTheShownUnitAndWritesWithoutMirror) {
    state.Online = true;
    {
        auto e = std::make_unique<FrmItemNumber>(ctx);
        EXPECT_EQ(watchCount(state, 12602), 1);
        EXPECT_EQ(watchCount(state, 13695), 1);
        EXPECT_EQ(watchCount(state, 13696), 0); // unit 2 is not shown yet
        e->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        EXPECT_EQ(watchCount(state, 12602), 0);
        EXPECT_EQ(watchCount(state, 13696), 1);
        auto* bar = get<QScrollBar>(*e, "HScroll2", 56);
        EXPECT_FALSE(bar->isEnabled());
        e->deliver(13696, 9.0);
        EXPECT_TRUE(bar->isEnabled());
        EXPECT_EQ(bar->value(), 9);
        bar->setValue(12);
        EXPECT_TRUE(writePending(state, 13696));
        EXPECT_EQ(state.ParamValue(13696, 0), 12);
        EXPECT_FALSE(writePending(state, 13696 + 4782));
        e->close();
        e->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2); // a closed window watches nothing more
    }
    for (int unit = 1; unit <= 4; ++unit)
        for (int spiral = 0; spiral < FrmItemNumber::spiralCount(unit); ++spiral)
            ASSERT_EQ(watchCount(state, FrmItemNumber::spiralParam(unit, spiral)), 0);
}

} // namespace
} // namespace vm::editors::test
