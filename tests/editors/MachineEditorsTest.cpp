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
    std::uint8_t image(int address) const { return state.ConfigImage[static_cast<std::size_t>(address)]; }
    static void choose(EditorBase& e, int machine) {
        static_cast<IndexComboBox*>(e.control("Combo1", 0))->setCurrentIndex(machine);
    }
    static QCheckBox* check(EditorBase& e, int i) { return static_cast<QCheckBox*>(e.control("Check1", i)); }
    static QString slot(EditorBase& e, int i) { return static_cast<QLabel*>(e.control("Label2", i))->text(); }
};

TEST_F(FrmConfSLAVETest, OpeningLocksNewAndWaitsForAMachine) {
    auto e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(state.SoftwareRelease, 4);
    EXPECT_EQ(hooks.calls, QStringList{"SmuNew off"});
    EXPECT_FALSE(e->control("Command1", 0)->isEnabled());
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(check(*e, i)->isEnabled());
    EXPECT_EQ(slot(*e, 0), " SF0482B ");
    e->close();
    EXPECT_EQ(hooks.calls.last(), "SmuNew on");
}

TEST_F(FrmConfSLAVETest, EachMachineSetsItsSlotsAndImageBytes) {
    auto e = open();
    state.ConfigImage[0x70B] = 0x21;
    state.ConfigImage[0x70C] = 0x03;
    choose(*e, 3); // DUR 700
    EXPECT_EQ(image(0x700), 2);
    EXPECT_EQ(image(0x70C), 16);
    EXPECT_EQ(image(0x70B), 0x21); // 1855 is left as it was
    EXPECT_EQ(static_cast<QLabel*>(e->control("Label11", 0))->text(), "DUR 700");
    EXPECT_EQ((QStringList{slot(*e, 1), slot(*e, 2), slot(*e, 3), slot(*e, 4)}),
              (QStringList{" CALDO ", " TULA A ", " TULA B ", " NESSUNA "}));
    EXPECT_EQ((std::array{state.SlaveType1, state.SlaveType2, state.SlaveType3, state.SlaveType4}),
              (std::array<std::uint8_t, 4>{1, 3, 4, 0}));
    EXPECT_EQ(image(0), 1);
    EXPECT_EQ(image(2), 4);
    EXPECT_EQ(state.UnitCodes[1], 3);
    EXPECT_FALSE(check(*e, 3)->isEnabled()); // the empty slot cannot be ticked
    EXPECT_TRUE(e->control("Command1", 0)->isEnabled());

    choose(*e, 2); // DUR 400
    EXPECT_EQ(image(0x700), 2);
    EXPECT_EQ(image(0x70B), 128);
    EXPECT_EQ(image(0x70C), 16);

    choose(*e, 1); // KTR 600: two snack units
    EXPECT_EQ(image(0x700), 4);
    EXPECT_EQ(state.CouplingType, 4);
    EXPECT_EQ(slot(*e, 1), " TULA A ");
    EXPECT_EQ(slot(*e, 3), " NESSUNA ");
    EXPECT_EQ(state.SlaveType3, 0);
    EXPECT_EQ(image(2), 0);

    choose(*e, 0); // KTR 921
    EXPECT_EQ(image(0x700), 3);
}

TEST_F(FrmConfSLAVETest, ClearingAndTickingASlot) {
    auto e = open();
    choose(*e, 0);
    check(*e, 2)->setChecked(false);
    EXPECT_EQ(state.SlaveType3, 0);
    EXPECT_EQ(image(2), 0);
    EXPECT_EQ(state.UnitCodes[2], 0);
    EXPECT_EQ(state.SlaveType2, 3); // the others stay
    check(*e, 2)->setChecked(true);
    EXPECT_EQ(state.SlaveType3, 4);
    EXPECT_EQ(image(2), 4);
}

TEST_F(FrmConfSLAVETest, Command1RefreshesTheMenusAndCloses) {
    auto e = open();
    e->show();
    choose(*e, 0);
    static_cast<QPushButton*>(e->control("Command1", 0))->click();
    EXPECT_EQ(hooks.calls, (QStringList{"SmuNew off", "disableMenus", "enableMenus", "SmuNew on"}));
    EXPECT_FALSE(e->isVisible());
    EXPECT_TRUE(forms.forms().empty());
}

TEST_F(FrmConfSLAVETest, Command1ClosesTheSubWindowThatHoldsIt) {
    QMdiArea area;
    EditorBase* e = createEditor(QStringLiteral("FrmConfSLAVE"), ctx);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(e);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    sub->show();
    choose(*e, 2);
    static_cast<QPushButton*>(e->control("Command1", 0))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_TRUE(forms.forms().empty());
    EXPECT_EQ(hooks.calls.last(), "SmuNew on");
}

TEST_F(FrmConfSLAVETest, DestroyedWithoutCloseStillUnlocksTheMenu) {
    open().reset();
    EXPECT_EQ(hooks.calls, (QStringList{"SmuNew off", "SmuNew on"}));
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
    int addressOf(int index) const { return state.cell(index, 0).boardAddress(); }
};

TEST_F(FrmItemNumberTest, ScrollBarsWriteTheirSpiralParameters) {
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
        EXPECT_EQ(state.ConfigImage[static_cast<std::size_t>(addressOf(c.index))], value) << c.index;
    }
    EXPECT_EQ(bar(4, 56), nullptr); // unit 4 has 56 spirals
    EXPECT_EQ(bar(3, 70), nullptr);
    EXPECT_EQ(e->bindingInfo().size(), 3u * 70u + 56u);
    EXPECT_EQ(e->findChild<QTabWidget*>("SSTab1")->count(), 4);
}

TEST_F(FrmItemNumberTest, SpiralsAreLabelledByTrayAndPlace) {
    auto e = std::make_unique<FrmItemNumber>(ctx);
    QStringList captions;
    for (QLabel* label : e->findChildren<QLabel*>())
        if (label->text().startsWith("Spirale")) captions << label->text();
    EXPECT_EQ(captions.count("Spirale 11"), 4);
    EXPECT_EQ(captions.count("Spirale 18"), 4);
    EXPECT_EQ(captions.count("Spirale 21"), 4);
    EXPECT_EQ(captions.count("Spirale 78"), 4);
    EXPECT_EQ(captions.count("Spirale 81"), 3); // the second range: units 1 to 3
    EXPECT_EQ(captions.count("Spirale 96"), 3);
    EXPECT_EQ(captions.count("Spirale 19"), 0);
    EXPECT_EQ(captions.size(), 3 * 70 + 56);
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
        auto* bar = static_cast<QScrollBar*>(e->control("HScroll2", 56));
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
