// The editor conventions, on a small window declared here: bindings of every kind on a few parameters.

#include "EditorTestSupport.h"

#include "Display.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace vm::editors::test {
namespace {

// Parameters of the test window (index: board address, width).
constexpr int kSpeed = 100; // 1 byte, mirror 4882, shown in a scroll bar and a number box
constexpr int kSpeedTwin = 4882;
constexpr int kFlags = 101; // 1 byte of switches, mirror 4883
constexpr int kFlagsTwin = 4883;
constexpr int kMode = 102;   // 1 byte, options and a slider, no mirror
constexpr int kLimit = 103;  // 2 bytes, Max 100 on its scroll bar
constexpr int kCredit = 104; // 2 bytes, offset scroll bar shown as money
constexpr int kTenths = 105; // 1 byte shown in tenths
constexpr int kName = 106;   // 8-byte text

class TestEditor : public EditorBase {
public:
    TestEditor(EditorContext& ctx, QWidget* parent = nullptr) : EditorBase(ctx, parent) {
        EditorDefinition definition;
        definition.formName = QStringLiteral("FrmTest");
        definition.title = Caption(5, QStringLiteral("Test"));
        definition.tabs = {Caption(6, QStringLiteral("Generale")), Caption("Altro")};
        definition.frames = {{QStringLiteral("Frame1"), Caption(7, QStringLiteral("Abilitazioni")), 0, 2}};
        definition.extraWatch = {kMode};
        definition.bindings = {
            scrollBar("HScroll1", 0, kSpeed, kSpeedTwin).range(0, 200).titled(Caption(8, "Velocità")),
            numberBox("Text1", 0, kSpeed, kSpeedTwin, 0, 200)
                .refuseZero()
                .error("Error Value or Value out of range"),
            toggleSwitch("SwitchX1", 0, kFlags, kFlagsTwin, 0x01).inFrame("Frame1"),
            toggleSwitch("SwitchX1", 1, kFlags, kFlagsTwin, 0x40).invert().inFrame("Frame1"),
            checkBox("Check1", 0, kFlags, kFlagsTwin, 0x08).inFrame("Frame1"),
            optionButton("Option1", 0, kMode, 0, 0),
            optionButton("Option1", 1, kMode, 0, 2),
            sliderSwitch("SlswitchX1", 0, kMode, 0, {"Zero", "Uno", "Due"}).onTab(1),
            comboBox("Combo1", 0, kMode, 0, {"a", "b", "c"}).values({0, 2, 5}).onTab(1),
            scrollBar("HScroll2", 0, kLimit).bytes(2).range(0, 100).onTab(1),
            scrollBar("HScroll3", 0, kCredit).offsetScroll().money().valueLabel("Label6s", 0).onTab(1),
            scrollBar("HScroll4", 0, kTenths).tenths().onTab(1),
            textBox("Text2", 0, kName).onTab(1),
        };
        setup(std::move(definition));
    }

    int deliveries = 0;
    std::vector<int> deliveredIndexes;
    bool writeInsideDelivery = false;
    using EditorBase::confirm;
    using EditorBase::setMoneyDecimals;

protected:
    void afterDelivery(int index, const ParamData&) override {
        ++deliveries;
        deliveredIndexes.push_back(index);
        // A rule that moves another control while values are shown must not write it back.
        if (writeInsideDelivery) static_cast<QScrollBar*>(control("HScroll4", 0))->setValue(77);
    }
};

class EditorBaseTest : public EditorFixture {
protected:
    EditorBaseTest() {
        fillParam(state, kSpeed, 0x200, 1);
        fillParam(state, kSpeedTwin, 0x1200, 1);
        fillParam(state, kFlags, 0x201, 1);
        fillParam(state, kFlagsTwin, 0x1201, 1);
        fillParam(state, kMode, 0x202, 1);
        fillParam(state, kLimit, 0x203, 2);
        fillParam(state, kCredit, 0x205, 2);
        fillParam(state, kTenths, 0x207, 1);
        fillParam(state, kName, 0x208, 8);
    }
    std::unique_ptr<TestEditor> open() { return std::make_unique<TestEditor>(ctx, nullptr); }
    std::uint8_t image(int address) const { return state.ConfigImage[static_cast<std::size_t>(address)]; }
    template <class W> W* get(TestEditor& e, const char* name, int i = 0) {
        auto* w = qobject_cast<W*>(e.control(QString::fromLatin1(name), i));
        EXPECT_NE(w, nullptr) << name << "(" << i << ")";
        return w;
    }
    static void focusIn(QWidget* w) {
        QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &event);
    }
    static void focusOut(QWidget* w) {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &event);
    }
};

TEST_F(EditorBaseTest, ControlsAreBuiltByNameWithTabsFramesAndCaptions) {
    messages.set(6, "General");
    auto e = open();
    EXPECT_EQ(e->formName(), "FrmTest");
    EXPECT_EQ(e->control("HScroll1", 0)->objectName(), "HScroll1_0");
    EXPECT_EQ(e->control("HScroll3", 1), nullptr);
    auto* tabs = e->findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "General"); // from the language table
    EXPECT_EQ(tabs->tabText(1), "Altro");   // literal
    EXPECT_EQ(e->windowTitle(), "Test");    // line 5 is missing: the literal stands in
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(e->control("Combo1", 0)));
    EXPECT_TRUE(e->findChild<QWidget*>("Frame1")->isAncestorOf(e->control("SwitchX1", 1)));
    EXPECT_EQ(e->valueLabel("HScroll3", 0), e->control("Label6s", 0));
    EXPECT_EQ(get<SliderSwitch>(*e, "SlswitchX1")->positions(), (QStringList{"Zero", "Uno", "Due"}));

    // A language switch: retranslate() sets every caption again.
    messages.set(5, "Prova");
    messages.set(6, "Generale!");
    e->retranslate();
    EXPECT_EQ(e->windowTitle(), "Prova");
    EXPECT_EQ(tabs->tabText(0), "Generale!");

    const auto info = e->bindingInfo();
    ASSERT_EQ(info.size(), 13u);
    EXPECT_EQ(info[0].index, kSpeed);
    EXPECT_EQ(info[0].mirror, kSpeedTwin);
    EXPECT_EQ(info[9].width, 2);
    EXPECT_EQ(info[12].width, 0);
}

TEST_F(EditorBaseTest, OfflineLoadShowsTheImageInEveryControl) {
    state.ConfigImage[0x200] = 42;
    state.ConfigImage[0x201] = 0x09; // bits 0 and 3 set, bit 6 clear
    state.ConfigImage[0x202] = 2;
    state.ConfigImage[0x205] = 0x96; // 150
    state.ConfigImage[0x207] = 123;
    for (int i = 0; i < 8; ++i)
        state.ConfigImage[0x208 + i] = static_cast<std::uint8_t>("Caffe   "[i]);
    auto e = open();

    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 42);
    EXPECT_EQ(e->valueLabel("HScroll1", 0)->text(), "42");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text1")->text(), "42");
    EXPECT_TRUE(get<ToggleSwitch>(*e, "SwitchX1", 0)->isChecked());
    EXPECT_TRUE(get<ToggleSwitch>(*e, "SwitchX1", 1)->isChecked()); // inverted: bit 6 clear means on
    EXPECT_TRUE(get<QCheckBox>(*e, "Check1")->isChecked());
    EXPECT_TRUE(get<QRadioButton>(*e, "Option1", 1)->isChecked());
    EXPECT_FALSE(get<QRadioButton>(*e, "Option1", 0)->isChecked());
    EXPECT_EQ(get<SliderSwitch>(*e, "SlswitchX1")->value(), 2);
    EXPECT_EQ(get<QComboBox>(*e, "Combo1")->currentIndex(), 1); // stored 2 is the second entry
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll3")->value(), 150 - 32768);
    EXPECT_EQ(e->valueLabel("HScroll4", 0)->text(), QString::fromStdString(FormatDecimals(12.3, 1)));
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text2")->text(), "Caffe");
    // Offline loading writes nothing.
    EXPECT_EQ(image(0x200), 42);
    EXPECT_FALSE(writePending(state, kSpeed));
    // The extra parameter comes first, then the bound ones in table order.
    EXPECT_EQ(e->deliveredIndexes.front(), kMode);
}

TEST_F(EditorBaseTest, MovingAControlWritesTheImageAndRefreshesEveryDependentControl) {
    auto e = open();
    e->deliveries = 0;
    get<QScrollBar>(*e, "HScroll1")->setValue(150);
    EXPECT_EQ(image(0x200), 150);
    EXPECT_EQ(e->valueLabel("HScroll1", 0)->text(), "150");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text1")->text(), "150"); // the other control of the parameter
    EXPECT_EQ(e->deliveries, 1);                                // through the refresh path
    EXPECT_FALSE(writePending(state, kSpeed));                  // offline: the image only

    // A slider and a combo of the same parameter follow the option buttons.
    get<QRadioButton>(*e, "Option1", 1)->setChecked(true);
    EXPECT_EQ(image(0x202), 2);
    EXPECT_EQ(get<SliderSwitch>(*e, "SlswitchX1")->value(), 2);
    EXPECT_EQ(get<QComboBox>(*e, "Combo1")->currentIndex(), 1);
    get<QComboBox>(*e, "Combo1")->setCurrentIndex(2);
    EXPECT_EQ(image(0x202), 5);
    EXPECT_FALSE(get<QRadioButton>(*e, "Option1", 1)->isChecked()); // 5 matches no option
    EXPECT_FALSE(get<QRadioButton>(*e, "Option1", 0)->isChecked());
    get<SliderSwitch>(*e, "SlswitchX1")->setValue(0);
    EXPECT_EQ(image(0x202), 0);
    EXPECT_TRUE(get<QRadioButton>(*e, "Option1", 0)->isChecked());
}

TEST_F(EditorBaseTest, BitSwitchesShareTheWindowCopyOfTheByte) {
    state.ConfigImage[0x201] = 0xB2; // 1011 0010: bit 6 clear (inverted switch on), bits 0 and 3 clear
    auto e = open();
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(true);
    EXPECT_EQ(image(0x201), 0xB3); // only bit 0 added
    get<QCheckBox>(*e, "Check1")->setChecked(true);
    EXPECT_EQ(image(0x201), 0xBB);
    get<ToggleSwitch>(*e, "SwitchX1", 1)->setChecked(false); // inverted: off sets bit 6
    EXPECT_EQ(image(0x201), 0xFB);
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(false);
    EXPECT_EQ(image(0x201), 0xFA);
}

TEST_F(EditorBaseTest, BitSwitchesOnlineBuildOnTheirOwnUnconfirmedWrites) {
    state.Online = true;
    auto e = open();
    e->deliver(kFlags, 128.0);
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(true);
    // No reply from the board yet: the second switch still keeps the first one's bit.
    get<QCheckBox>(*e, "Check1")->setChecked(true);
    EXPECT_EQ(state.ParamValue(kFlags, 0), 0x89);
    EXPECT_EQ(state.ParamValue(kFlagsTwin, 0), 0x89);
}

TEST_F(EditorBaseTest, DeliveringTheSameIndexTwiceUpdatesBothTimes) {
    state.Online = true;
    auto e = open();
    e->deliver(kSpeed, 30.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 30);
    e->valueLabel("HScroll1", 0)->setText("stale");
    get<CommitLineEdit>(*e, "Text1")->setText("stale");
    e->deliver(kSpeed, 30.0);
    EXPECT_EQ(e->valueLabel("HScroll1", 0)->text(), "30");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text1")->text(), "30");
    EXPECT_EQ(std::count(e->deliveredIndexes.begin(), e->deliveredIndexes.end(), kSpeed), 2);
    // Through the open-form list, as the link delivers.
    forms.deliverToAll(kSpeed, 31.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 31);
}

TEST_F(EditorBaseTest, ADeliveryNeverWritesBack) {
    state.Online = true;
    auto e = open();
    e->writeInsideDelivery = true;
    e->deliver(kSpeed, 99.0);
    e->deliver(kFlags, 255.0);
    e->deliver(kMode, 5.0);
    e->deliver(kCredit, 1000.0);
    for (int index : {kSpeed, kSpeedTwin, kFlags, kFlagsTwin, kMode, kCredit, kTenths})
        EXPECT_FALSE(writePending(state, index)) << index;
    EXPECT_EQ(image(0x200), 0);
    EXPECT_EQ(image(0x207), 0); // HScroll4 was moved by the rule while Loading was set
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll4")->value(), 77);
    EXPECT_FALSE(e->isLoading());
}

TEST_F(EditorBaseTest, OfflineTheImageIsTheTruthAndABankOtherThanZeroChangesNothing) {
    state.ConfigImage[0x200] = 12;
    auto e = open();
    e->deliver(kSpeed, 99.0); // offline the delivered number is not used
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 12);
    state.CurrentBank = 1;
    state.ConfigImage[0x200] = 13;
    e->deliver(kSpeed, 13.0);
    state.CurrentBank = 0;
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 12);
}

TEST_F(EditorBaseTest, ScrollValueAboveMaxShowsMaxOnTheBarAndTheNumberInTheLabel) {
    state.Online = true;
    auto e = open();
    e->deliver(kLimit, 300.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll2")->value(), 100);
    EXPECT_EQ(e->valueLabel("HScroll2", 0)->text(), "300");
    EXPECT_FALSE(writePending(state, kLimit));
}

TEST_F(EditorBaseTest, OffsetScrollBarsStoreTheValuePlus32768AndShowMoney) {
    auto e = open();
    e->setMoneyDecimals(2);
    auto* bar = get<QScrollBar>(*e, "HScroll3");
    bar->setValue(-32768);
    EXPECT_EQ(image(0x205), 0);
    EXPECT_EQ(image(0x206), 0);
    bar->setValue(32767);
    EXPECT_EQ(image(0x205), 0xFF);
    EXPECT_EQ(image(0x206), 0xFF);
    bar->setValue(150 - 32768);
    EXPECT_EQ(e->valueLabel("HScroll3", 0)->text(), QString::fromStdString(FormatDecimals(1.5, 2)));
    e->setMoneyDecimals(0); // a new decimal point re-formats the money labels
    EXPECT_EQ(e->valueLabel("HScroll3", 0)->text(), "150");
}

TEST_F(EditorBaseTest, TextBoxLeftWithTabShowsItsLastCommittedText) {
    state.ConfigImage[0x200] = 25;
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text1");
    focusIn(box);
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kWhite);
    QTest::keyClicks(box, "77");
    EXPECT_EQ(box->text(), "77");
    focusOut(box);
    settle();
    EXPECT_EQ(box->text(), "25");
    EXPECT_EQ(image(0x200), 25);
}

TEST_F(EditorBaseTest, EnterCommitsAfterTheFlashAndWritesTheValue) {
    EditorBase::setCommitFlashMs(20);
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text1");
    focusIn(box);
    QTest::keyClicks(box, "180");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kGreen);
    EXPECT_EQ(image(0x200), 0); // not before the flash is over
    QTRY_COMPARE(image(0x200), 180);
    EXPECT_NE(box->backgroundColour(), CommitLineEdit::kGreen);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 180);
    focusOut(box);
    EXPECT_EQ(box->text(), "180");
    EXPECT_TRUE(boxes.requests.empty());
}

TEST_F(EditorBaseTest, EnterWithABadValueShowsTheErrorAndWritesNothing) {
    state.ConfigImage[0x200] = 7;
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text1");
    for (const char* typed : {"abc", "201", "-3", "0"}) {
        boxes.requests.clear();
        focusIn(box);
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        settle();
        ASSERT_EQ(boxes.requests.size(), 1u) << typed;
        EXPECT_EQ(boxes.requests[0].text, "Error Value or Value out of range");
        EXPECT_EQ(boxes.requests[0].icon, MessageIcon::Critical);
        EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kRed) << typed;
        EXPECT_EQ(image(0x200), 7) << typed;
        focusOut(box);
        EXPECT_EQ(box->text(), "7");
    }
}

TEST_F(EditorBaseTest, TextParametersAreCommittedAsText) {
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text2");
    focusIn(box);
    QTest::keyClicks(box, "Te");
    QTest::keyClick(box, Qt::Key_Enter);
    settle();
    EXPECT_EQ(image(0x208), 'T');
    EXPECT_EQ(image(0x209), 'e');
    EXPECT_EQ(image(0x20A), ' ');
    EXPECT_EQ(box->lastCommitted(), "Te");
}

TEST_F(EditorBaseTest, ConnectedWritesTheParameterAndItsMirror) {
    state.Online = true;
    fillParam(state, kMode + 4782, 0x1202, 1); // a twin that the window does not name
    auto e = open();
    e->deliver(kSpeed, 10.0);
    get<QScrollBar>(*e, "HScroll1")->setValue(60);
    EXPECT_TRUE(writePending(state, kSpeed));
    EXPECT_TRUE(writePending(state, kSpeedTwin));
    EXPECT_EQ(state.ParamValue(kSpeedTwin, 0), 60);
    EXPECT_EQ(image(0x200), 60);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 60);

    // Mirror 0: only the parameter itself.
    e->deliver(kMode, 0.0);
    get<SliderSwitch>(*e, "SlswitchX1")->setValue(1);
    EXPECT_TRUE(writePending(state, kMode));
    EXPECT_FALSE(writePending(state, kMode + 4782));
    EXPECT_FALSE(writePending(state, 0));
}

TEST_F(EditorBaseTest, ConnectedControlsWaitForTheirFirstValue) {
    state.Online = true;
    auto e = open();
    EXPECT_FALSE(e->control("HScroll1", 0)->isEnabled());
    e->deliver(kSpeed, 5.0);
    EXPECT_TRUE(e->control("HScroll1", 0)->isEnabled());
    EXPECT_FALSE(e->control("HScroll2", 0)->isEnabled());
    // The twin delivers the same value.
    e->deliver(kFlagsTwin, 1.0);
    EXPECT_TRUE(get<ToggleSwitch>(*e, "SwitchX1", 0)->isChecked());
}

TEST_F(EditorBaseTest, WatchesOnOpenAndReleasesOnCloseOrDestruction) {
    state.Online = true;
    const std::vector<int> shown = {kSpeed, kFlags, kMode, kLimit, kCredit, kTenths, kName};
    {
        auto e = open();
        for (int index : shown)
            EXPECT_EQ(watchCount(state, index), 1) << index;
        EXPECT_EQ(e->watchedParams().size(), shown.size()); // each once, although several controls show it
        EXPECT_EQ(forms.forms().size(), 1u);
        auto second = open();
        EXPECT_EQ(watchCount(state, kSpeed), 2);
        second->close();
        EXPECT_EQ(watchCount(state, kSpeed), 1);
        second->close(); // a second close releases nothing more
        EXPECT_EQ(watchCount(state, kSpeed), 1);
        EXPECT_EQ(forms.forms().size(), 1u);
        // A closed window gets no more values.
        forms.deliverToAll(kSpeed, 3.0);
        EXPECT_EQ(second->deliveries, 0);
    } // the first one is destroyed without a close event
    for (int index : shown)
        EXPECT_EQ(watchCount(state, index), 0) << index;
    for (int index : shown)
        EXPECT_FALSE(state.cell(index, 0).has(Watched)) << index;
    EXPECT_TRUE(forms.forms().empty());
}

TEST_F(EditorBaseTest, ConfirmationAsksWithTheButtonTitle) {
    auto e = open();
    boxes.answer = MessageAnswer::No;
    EXPECT_FALSE(e->confirm("Reset Prodotti Uguali"));
    boxes.answer = MessageAnswer::Yes;
    EXPECT_TRUE(e->confirm("Reset Prodotti Uguali"));
    ASSERT_EQ(boxes.requests.size(), 2u);
    EXPECT_EQ(boxes.requests[0].text, "      Are you sure?");
    EXPECT_EQ(boxes.requests[0].title, "Reset Prodotti Uguali");
    EXPECT_EQ(boxes.requests[0].buttons, MessageButtons::YesNo);
}

TEST(CenterForm1, PlacesTheWindowWithTheTwipsOffsets) {
    // Top: 600 x 0.85 / 2 - 100 + 100 twips (6.7 px); left: 450 - 150 - 80 twips (5.3 px).
    EXPECT_EQ(centerForm1Position({900, 600}, {300, 200}), QPoint(295, 162));
    EXPECT_EQ(centerForm1Position({200, 100}, {600, 500}), QPoint(0, 0));
}

TEST_F(EditorBaseTest, CenterForm1UsesTheMainWindowSize) {
    auto e = open();
    e->resize(400, 300);
    e->CenterForm1();
    EXPECT_EQ(e->pos(), centerForm1Position(hooks.mainWindowSize(), {400, 300}));
}

} // namespace
} // namespace vm::editors::test
