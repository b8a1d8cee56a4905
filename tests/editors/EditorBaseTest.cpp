// The editor conventions, on a small window declared here: bindings of every kind on a few parameters,
// one selection at a time, the decimal point of money values, byte fields of a wider value, show-only labels,
// the controls' own write and show hooks, and pages locked until a complete set of values has arrived.

#include "EditorTestSupport.h"

#include "Display.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

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
constexpr int kShelf = 110;  // 2 bytes: low byte and high byte in two boxes
constexpr int kShown = 111;  // shown only; 112..114 keep their text on focus, one bit of options and a slider
constexpr int kGuarded = 116; // 1 byte of switches whose write also reads kFlags
constexpr int kCommand = 117; // a command cell
constexpr int kDecimalPoint = 120;
constexpr int kDecimalTwin = 4902;
constexpr int kTable = 200;    // 32 entries, one per key, twin 4982 + key
constexpr int kKeyFlags = 240; // 32 entries of switches, twin 5022 + key

class TestEditor : public EditorBase {
public:
    TestEditor(EditorContext& ctx, QWidget* parent = nullptr) : EditorBase(ctx, parent) {
        EditorDefinition d(QStringLiteral("FrmTest"), Caption(5, QStringLiteral("Test")));
        d.extraWatch = {kMode};
        d.decimalPointParam = kDecimalPoint;
        d.decimalPointTwin = kDecimalTwin;
        auto general = d.page(Caption(6, QStringLiteral("Generale")));
        auto other = d.page(Caption("Altro"));
        general.add(scrollBar("HScroll1", 0, kSpeed, kSpeedTwin).bytes(1).range(0, 200).titled(Caption(8, "Velocità")))
            .add(numberBox("Text1", 0, kSpeed, kSpeedTwin, 0, 200).bytes(1).refuseZero().error("Error Value or Value out of range"));
        general.frame(QStringLiteral("Frame1"), Caption(7, QStringLiteral("Abilitazioni")), 2)
            .add(toggleSwitch("SwitchX1", 0, kFlags, kFlagsTwin, 0x01).bytes(1))
            .add(toggleSwitch("SwitchX1", 1, kFlags, kFlagsTwin, 0x40).bytes(1).invert())
            .add(checkBox("Check1", 0, kFlags, kFlagsTwin, 0x08).bytes(1));
        d.window()
            .add(optionButton("Option1", 0, kMode, 0, 0).bytes(1))
            .add(optionButton("Option1", 1, kMode, 0, 2).bytes(1));
        other.add(sliderSwitch("SlswitchX1", 0, kMode, 0, {"Zero", "Uno", "Due"}).bytes(1))
            .add(comboBox("Combo1", 0, kMode, 0, {"a", "b", "c"}).bytes(1).values({0, 2, 5}))
            .add(scrollBar("HScroll2", 0, kLimit, 0).bytes(2).range(0, 100))
            .add(scrollBar("HScroll3", 0, kCredit, 0).offsetScroll().money().valueLabel("Label6s", 0))
            .add(scrollBar("HScroll4", 0, kTenths, 0).bytes(1).tenths())
            .add(textBox("Text2", 0, kName, 0));
        d.window()
            .add(scrollBar("HScroll5", 0, kTable, kTable + 4782).bytes(1).perSelection())
            .add(toggleSwitch("SwitchX", 1, kKeyFlags, kKeyFlags + 4782, 0x02).bytes(1).perSelection())
            .add(numberBox("Text3", 0, kShelf, 0, 0, 255).bytes(2).field(0x00FF))
            .add(numberBox("Text3", 1, kShelf, 0, 0, 255).bytes(2).field(0xFF00))
            .add(numberBox("Text4", 0, kShown + 1, 0, 0, 9).bytes(1).keepTextOnFocus())
            .add(valueText("Label5", 0, kShown).bytes(1))
            .add(optionButton("Option2", 0, kShown + 2, 0, 0).bytes(1).bit(0x40))
            .add(optionButton("Option2", 1, kShown + 2, 0, 1).bytes(1).bit(0x40))
            .add(sliderSwitch("iSwitchSliderX1", 0, kShown + 3, 0, {"Tabella 1", "Tabella 2"}).bytes(1).bit(0x10));
        d.window()
            .add(toggleSwitch("SwitchX2", 0, kGuarded, 0, 0x01).bytes(1).reads({kFlags}))
            .add(commandButton("Command2", 0, kCommand, 7));
        setup(std::move(d));
        addButton(QStringLiteral("Command1"), 0, Caption("RESET"), page(-1), [this] { ++clicks; });
        auto* own = new QCheckBox(page(-1));
        registerControl(QStringLiteral("Check9"), 0, own);
        requireValues(own, {kMode, kLimit});
    }

    std::vector<int> deliveredIndexes;
    bool writeInsideDelivery = false;
    int clicks = 0;
    using EditorBase::confirm;
    using EditorBase::moneyDecimals;

protected:
    void afterDelivery(int index, const ParamData&) override {
        deliveredIndexes.push_back(index);
        // A rule that moves another control while values are shown must not write it back.
        if (writeInsideDelivery) static_cast<QScrollBar*>(control("HScroll4", 0))->setValue(77);
    }
};

class EditorBaseTest : public EditorFixture {
protected:
    EditorBaseTest() {
        // index, board address, width
        const int params[][3] = {{kSpeed, 0x200, 1},       {kSpeedTwin, 0x1200, 1}, {kFlags, 0x201, 1},
                                 {kFlagsTwin, 0x1201, 1},  {kMode, 0x202, 1},       {kLimit, 0x203, 2},
                                 {kCredit, 0x205, 2},      {kTenths, 0x207, 1},     {kName, 0x208, 8},
                                 {kShelf, 0x220, 2},       {kShown, 0x230, 1},      {kShown + 1, 0x231, 1},
                                 {kShown + 2, 0x232, 1},   {kShown + 3, 0x233, 1},  {kDecimalPoint, 0x100, 1},
                                 {kGuarded, 0x240, 1},     {kCommand, 0x241, 1},
                                 {kDecimalTwin, 0x1100, 1}};
        for (const auto& p : params)
            fillParam(state, p[0], p[1], p[2]);
        for (int k = 0; k < 32; ++k) {
            fillParam(state, kTable + k, 0x300 + k, 1);
            fillParam(state, kTable + 4782 + k, 0x1300 + k, 1);
            fillParam(state, kKeyFlags + k, 0x400 + k, 1);
            fillParam(state, kKeyFlags + 4782 + k, 0x1400 + k, 1);
        }
    }
    std::unique_ptr<TestEditor> open() { return std::make_unique<TestEditor>(ctx, nullptr); }
    std::unique_ptr<TestEditor> openOnline() {
        state.Online = true;
        return open();
    }
};

TEST_F(EditorBaseTest, ControlsAreBuiltByNameWithTabsFramesAndCaptions) {
    messages.set(6, "General");
    auto e = open();
    EXPECT_EQ(e->control("HScroll3", 1), nullptr);
    auto* tabs = e->findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "General"); // from the language table
    EXPECT_EQ(tabs->tabText(1), "Altro");   // literal
    EXPECT_EQ(e->windowTitle(), "Test");    // line 5 is missing: the literal stands in
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(e->control("Combo1", 0)));
    EXPECT_TRUE(e->findChild<QWidget*>("Frame1")->isAncestorOf(e->control("SwitchX1", 1)));
    EXPECT_EQ(e->valueLabel("HScroll3", 0), e->control("Label6s", 0));
    get<QPushButton>(*e, "Command1")->click();
    EXPECT_EQ(e->clicks, 1);

    // A language switch: retranslate() sets every caption again.
    messages.set(5, "Prova");
    messages.set(6, "Generale!");
    e->retranslate();
    EXPECT_EQ(e->windowTitle(), "Prova");
    EXPECT_EQ(tabs->tabText(0), "Generale!");
}

TEST_F(EditorBaseTest, OfflineLoadShowsTheImageInEveryControl) {
    image(0x200) = 42;
    image(0x201) = 0x09; // bits 0 and 3 set, bit 6 clear
    image(0x202) = 2;
    image(0x205) = 0x96; // 150
    image(0x207) = 123;
    for (int i = 0; i < 8; ++i)
        image(0x208 + i) = static_cast<std::uint8_t>("Caffe   "[i]);
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
    EXPECT_EQ(e->valueLabel("HScroll4", 0)->text(), QString("12") + QChar(LocaleDecimalSeparator()) + "3");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text2")->text(), "Caffe");
    // Offline loading writes nothing.
    EXPECT_EQ(image(0x200), 42);
    EXPECT_FALSE(writePending(state, kSpeed));
    // The extra parameter comes before the bound ones.
    const auto& order = e->deliveredIndexes;
    EXPECT_LT(std::find(order.begin(), order.end(), kMode), std::find(order.begin(), order.end(), kSpeed));

    // Offline the image is the truth: a delivered number is not used, and another bank changes nothing.
    e->deliver(kSpeed, 99.0);
    state.CurrentBank = 1;
    image(0x200) = 13;
    e->deliver(kSpeed, 13.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 42);
}

TEST_F(EditorBaseTest, MovingAControlWritesTheImageAndRefreshesEveryDependentControl) {
    auto e = open();
    auto other = open(); // another open window that shows the same parameter
    e->deliveredIndexes.clear();
    get<QScrollBar>(*e, "HScroll1")->setValue(150);
    EXPECT_EQ(image(0x200), 150);
    EXPECT_EQ(get<QScrollBar>(*other, "HScroll1")->value(), 150);
    EXPECT_EQ(e->valueLabel("HScroll1", 0)->text(), "150");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text1")->text(), "150"); // the other control of the parameter
    EXPECT_EQ(e->deliveredIndexes, std::vector<int>{kSpeed});   // through the refresh path
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

    // An offset scroll bar stores the value plus 32768.
    get<QScrollBar>(*e, "HScroll3")->setValue(-32768);
    EXPECT_EQ(image(0x205) | image(0x206), 0);
    get<QScrollBar>(*e, "HScroll3")->setValue(32767);
    EXPECT_EQ(image(0x205) & image(0x206), 0xFF);
}

TEST_F(EditorBaseTest, BitControlsChangeOnlyTheirBit) {
    image(0x201) = 0xB2; // 1011 0010: bit 6 clear (inverted switch on), bits 0 and 3 clear
    image(0x232) = 0x41;
    image(0x233) = 0x0F;
    auto e = open();
    EXPECT_TRUE(get<QRadioButton>(*e, "Option2", 1)->isChecked());
    EXPECT_EQ(get<SliderSwitch>(*e, "iSwitchSliderX1")->value(), 0);
    get<QRadioButton>(*e, "Option2", 0)->setChecked(true);
    EXPECT_EQ(image(0x232), 0x01);
    get<SliderSwitch>(*e, "iSwitchSliderX1")->setValue(1);
    EXPECT_EQ(image(0x233), 0x1F);
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(true);
    EXPECT_EQ(image(0x201), 0xB3);
    get<QCheckBox>(*e, "Check1")->setChecked(true);
    EXPECT_EQ(image(0x201), 0xBB);
    get<ToggleSwitch>(*e, "SwitchX1", 1)->setChecked(false); // inverted: off sets bit 6
    EXPECT_EQ(image(0x201), 0xFB);
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(false);
    EXPECT_EQ(image(0x201), 0xFA);
}

TEST_F(EditorBaseTest, BitSwitchesOnlineBuildOnTheirOwnUnconfirmedWrites) {
    auto e = openOnline();
    e->deliver(kFlags, 128.0);
    get<ToggleSwitch>(*e, "SwitchX1", 0)->setChecked(true);
    // No reply from the board yet: the second switch still keeps the first one's bit.
    get<QCheckBox>(*e, "Check1")->setChecked(true);
    EXPECT_EQ(state.ParamValue(kFlags, 0), 0x89);
    EXPECT_EQ(state.ParamValue(kFlagsTwin, 0), 0x89);
}

// Online a control is usable once every value its write reads has arrived: its own and those it declares,
// and a window's own control the values it was given. Until then its tool tip says why.
TEST_F(EditorBaseTest, OnlineAControlWaitsForEveryValueItsWriteReads) {
    auto e = openOnline();
    auto* guarded = get<ToggleSwitch>(*e, "SwitchX2");
    auto* own = get<QCheckBox>(*e, "Check9");
    for (QWidget* w : {static_cast<QWidget*>(guarded), static_cast<QWidget*>(own)}) {
        EXPECT_FALSE(w->isEnabled());
        EXPECT_TRUE(w->toolTip().startsWith(EditorBase::waitingToolTip())) << w->toolTip().toStdString();
    }
    e->deliver(kGuarded, 240.0);
    EXPECT_FALSE(guarded->isEnabled()); // kFlags is still on the way
    e->deliver(kFlags, 8.0);
    EXPECT_TRUE(guarded->isEnabled());
    EXPECT_EQ(guarded->toolTip().toStdString(), "enable byte 3, unit 3 (parameter 116)\nRange: off or on (bit 0)");
    e->deliver(kMode, 1.0);
    EXPECT_FALSE(own->isEnabled());
    e->deliver(kLimit, 5.0);
    EXPECT_TRUE(own->isEnabled());
    guarded->setChecked(true);
    EXPECT_EQ(state.ParamValue(kGuarded, 0), 0xF1);
}

// A command button comes back when the board acknowledged its write, not when the frame was sent.
TEST_F(EditorBaseTest, ACommandButtonIsHeldUntilTheBoardAcknowledges) {
    auto e = openOnline();
    auto* button = get<QPushButton>(*e, "Command2");
    button->click();
    EXPECT_TRUE(writePending(state, kCommand));
    EXPECT_FALSE(button->isEnabled());
    state.cell(kCommand, 0).at(CellPos::Status) &= static_cast<std::uint8_t>(~WritePending); // the frame left
    settle();
    EXPECT_FALSE(button->isEnabled());
    e->deliver(kCommand, 7.0); // the acknowledged value
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(EditorBaseTest, OnlineDeliveriesShowEveryValueAndNeverWriteBack) {
    auto e = openOnline();
    e->writeInsideDelivery = true;
    forms.deliverToAll(kSpeed, 99.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 99);
    // The same value again still refreshes every control.
    e->valueLabel("HScroll1", 0)->setText("stale");
    get<CommitLineEdit>(*e, "Text1")->setText("stale");
    forms.deliverToAll(kSpeed, 99.0);
    EXPECT_EQ(e->valueLabel("HScroll1", 0)->text(), "99");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text1")->text(), "99");
    // Above its Max a scroll bar shows Max, its label the number.
    e->deliver(kLimit, 300.0);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll2")->value(), 100);
    EXPECT_EQ(e->valueLabel("HScroll2", 0)->text(), "300");
    e->deliver(kFlags, 255.0);
    e->deliver(kMode, 5.0);
    e->deliver(kCredit, 1000.0);
    for (int index : {kSpeed, kSpeedTwin, kFlags, kFlagsTwin, kMode, kLimit, kCredit, kTenths})
        EXPECT_FALSE(writePending(state, index)) << index;
    EXPECT_EQ(image(0x200), 0);
    EXPECT_EQ(image(0x207), 0); // HScroll4 was moved by the rule while Loading was set
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll4")->value(), 77);
    EXPECT_FALSE(e->isLoading());
}

TEST_F(EditorBaseTest, EnterCommitsNumbersAfterTheFlashAndTextsAsText) {
    EditorBase::setCommitFlashMs(20);
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text1");
    type(box, "180");
    EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kGreen);
    EXPECT_EQ(image(0x200), 0); // not before the flash is over
    QTRY_COMPARE(image(0x200), 180);
    EXPECT_NE(box->backgroundColour(), CommitLineEdit::kGreen);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll1")->value(), 180);
    focus(box, QEvent::FocusOut);
    EXPECT_EQ(box->text(), "180");

    // Enter then Tab within the flash: the value is committed, not lost.
    type(box, "42");
    focus(box, QEvent::FocusOut);
    EXPECT_EQ(image(0x200), 42);
    EXPECT_EQ(box->text(), "42");

    type(get<CommitLineEdit>(*e, "Text2"), "Te", Qt::Key_Enter);
    QTRY_COMPARE(image(0x208), 'T');
    EXPECT_EQ(image(0x209), 'e');
    EXPECT_EQ(image(0x20A), ' ');
    EXPECT_TRUE(boxes.requests.empty());

    // A character the board cannot hold is refused, not changed into another one.
    auto* text = get<CommitLineEdit>(*e, "Text2");
    focus(text, QEvent::FocusIn);
    text->insert(QStringLiteral("Caffè")); // typed with a keyboard layout that has the letter
    QTest::keyClick(text, Qt::Key_Enter);
    QTRY_COMPARE(boxes.requests.size(), 1u);
    EXPECT_TRUE(boxes.requests[0].text.contains(QStringLiteral("\"è\""))) << boxes.requests[0].text.toStdString();
    EXPECT_EQ(image(0x208), 'T');
}

TEST_F(EditorBaseTest, ABoxLeftWithoutEnterOrWithABadValueShowsItsLastCommittedText) {
    image(0x200) = 7;
    auto e = open();
    auto* box = get<CommitLineEdit>(*e, "Text1");
    focus(box, QEvent::FocusIn);
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kWhite);
    QTest::keyClicks(box, "77");
    focus(box, QEvent::FocusOut);
    settle();
    EXPECT_EQ(box->text(), "7");
    EXPECT_EQ(image(0x200), 7);
    EXPECT_TRUE(boxes.requests.empty());

    // Enter with a bad value: the error, and nothing written.
    for (const char* typed : {"abc", "201", "-3", "0"}) {
        boxes.requests.clear();
        type(box, typed);
        settle();
        ASSERT_EQ(boxes.requests.size(), 1u) << typed;
        EXPECT_EQ(boxes.requests[0].text, "Error Value or Value out of range");
        EXPECT_EQ(boxes.requests[0].icon, MessageIcon::Critical);
        EXPECT_EQ(box->backgroundColour(), CommitLineEdit::kRed) << typed;
        EXPECT_EQ(image(0x200), 7) << typed;
        focus(box, QEvent::FocusOut);
        EXPECT_EQ(box->text(), "7");
    }
}

TEST_F(EditorBaseTest, ConnectedControlsWaitForAValueThenWriteTheParameterAndItsMirror) {
    fillParam(state, kMode + 4782, 0x1202, 1); // a twin that the window does not name
    auto e = openOnline();
    EXPECT_FALSE(e->control("HScroll1", 0)->isEnabled());
    e->deliver(kSpeed, 10.0);
    EXPECT_TRUE(e->control("HScroll1", 0)->isEnabled());
    EXPECT_FALSE(e->control("HScroll2", 0)->isEnabled());
    get<QScrollBar>(*e, "HScroll1")->setValue(60);
    EXPECT_TRUE(writePending(state, kSpeed));
    EXPECT_TRUE(writePending(state, kSpeedTwin));
    EXPECT_EQ(state.ParamValue(kSpeedTwin, 0), 60);
    EXPECT_EQ(image(0x200), 60);

    // Mirror 0: only the parameter itself.
    e->deliver(kMode, 0.0);
    get<SliderSwitch>(*e, "SlswitchX1")->setValue(1);
    EXPECT_TRUE(writePending(state, kMode));
    EXPECT_FALSE(writePending(state, kMode + 4782));
    EXPECT_FALSE(writePending(state, 0));

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
            EXPECT_EQ(watchCount(state, index), 1) << index; // once, although several controls show it
        auto second = open();
        EXPECT_EQ(watchCount(state, kSpeed), 2);
        second->close();
        second->close(); // a second close releases nothing more
        EXPECT_EQ(watchCount(state, kSpeed), 1);
        EXPECT_EQ(forms.forms().size(), 1u);
        // A closed window gets no more values.
        second->deliveredIndexes.clear();
        forms.deliverToAll(kSpeed, 3.0);
        EXPECT_TRUE(second->deliveredIndexes.empty());
    } // the first one is destroyed without a close event
    for (int index : shown) {
        EXPECT_EQ(watchCount(state, index), 0) << index;
        EXPECT_FALSE(state.cell(index, 0).has(Watched)) << index;
    }
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
}

TEST_F(EditorBaseTest, TheDecimalPointIsLoadedFirstAndReformatsMoney) {
    image(0x100) = 2;
    image(0x205) = 150;
    auto e = open();
    EXPECT_EQ(e->moneyDecimals(), 2);
    EXPECT_EQ(e->valueLabel("HScroll3", 0)->text(), QString("1") + QChar(LocaleDecimalSeparator()) + "50");
    state.Online = true;
    e->deliver(kDecimalTwin, 7.0); // 7 AND 3 = 3
    EXPECT_EQ(e->moneyDecimals(), 3);
    EXPECT_EQ(e->valueLabel("HScroll3", 0)->text(), QString("0") + QChar(LocaleDecimalSeparator()) + "150");
}

TEST_F(EditorBaseTest, ASelectionMovesThePerSelectionBindings) {
    image(0x300 + 5) = 40;
    image(0x400 + 5) = 0x05;
    auto e = open();
    e->setSelection(5);
    EXPECT_EQ(get<QScrollBar>(*e, "HScroll5")->value(), 40);
    EXPECT_FALSE(get<ToggleSwitch>(*e, "SwitchX", 1)->isChecked());
    get<ToggleSwitch>(*e, "SwitchX", 1)->setChecked(true);
    EXPECT_EQ(image(0x400 + 5), 0x07); // bits 0 and 2 of key 5 kept
    EXPECT_EQ(image(0x400), 0);        // key 0 untouched
    get<QScrollBar>(*e, "HScroll5")->setValue(41);
    EXPECT_EQ(image(0x305), 41);
}

TEST_F(EditorBaseTest, ASelectionOnlineMovesTheWatchesAndTheTwins) {
    {
        auto e = openOnline();
        EXPECT_EQ(watchCount(state, kTable), 1);
        e->setSelection(3);
        EXPECT_EQ(watchCount(state, kTable), 0);
        EXPECT_EQ(watchCount(state, kTable + 3), 1);
        EXPECT_EQ(watchCount(state, kSpeed), 1); // not per selection: watched throughout
        EXPECT_FALSE(get<QScrollBar>(*e, "HScroll5")->isEnabled());
        e->deliver(kTable, 9.0); // a late value of the old key changes nothing
        EXPECT_FALSE(get<QScrollBar>(*e, "HScroll5")->isEnabled());
        e->deliver(kTable + 3, 9.0);
        get<QScrollBar>(*e, "HScroll5")->setValue(10);
        EXPECT_TRUE(writePending(state, kTable + 3));
        EXPECT_TRUE(writePending(state, kTable + 4782 + 3));
        EXPECT_FALSE(writePending(state, kTable));
    }
    for (int index : {kTable + 3, kSpeed, kDecimalPoint})
        EXPECT_EQ(watchCount(state, index), 0) << index;
}

TEST_F(EditorBaseTest, ByteFieldsOfAWordKeepTheOtherByte) {
    image(0x220) = 3;
    image(0x221) = 7;
    auto e = open();
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text3", 0)->text(), "3");
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text3", 1)->text(), "7");
    type(get<CommitLineEdit>(*e, "Text3", 1), "9");
    settle();
    EXPECT_EQ(image(0x220), 3);
    EXPECT_EQ(image(0x221), 9);
    EXPECT_EQ(get<CommitLineEdit>(*e, "Text3", 0)->text(), "3");
}

TEST_F(EditorBaseTest, BoxesThatKeepTheirTextAndShowOnlyLabels) {
    image(0x230) = 4;
    image(0x231) = 6;
    auto e = open();
    EXPECT_EQ(get<QLabel>(*e, "Label5")->text(), "4");
    auto* box = get<CommitLineEdit>(*e, "Text4");
    focus(box, QEvent::FocusIn);
    EXPECT_EQ(box->text(), "6");
    QTest::keyClick(box, Qt::Key_End); // focus by Tab selects the text; type after it
    QTest::keyClicks(box, "2");
    focus(box, QEvent::FocusOut);
    EXPECT_EQ(box->text(), "62"); // typed text stays, nothing written
    EXPECT_EQ(image(0x231), 6);
}

// A window whose scroll bar carries its own rules: values above 50 are refused, the others stored doubled,
// each write noted afterwards, and every value the bar shows or its write reads reported.
class HookedEditor : public EditorBase {
public:
    HookedEditor(EditorContext& ctx) : EditorBase(ctx, nullptr) {
        EditorDefinition d(QStringLiteral("FrmHooks"), Caption("Hooks"));
        d.extraWatch = {kMode};
        d.page(Caption("Uno"))
            .add(scrollBar("HScroll1", 0, kSpeed, kSpeedTwin)
                     .bytes(1)
                     .reads({kMode})
                     .onWrite([](int& stored) {
                         if (stored > 50) return false;
                         stored *= 2;
                         return true;
                     })
                     .afterWrite([this](int stored) { written.push_back(stored); })
                     .onShow([this](int index, const ParamData& value) {
                         shown.emplace_back(index, std::get<double>(value));
                     }));
        d.page(Caption("Due")).add(scrollBar("HScroll2", 0, kLimit, 0).bytes(2).range(0, 100));
        setup(std::move(d));
    }
    QTabWidget* pages() const { return findChild<QTabWidget*>(); }
    std::vector<int> written;
    std::vector<std::pair<int, double>> shown;
};

TEST_F(EditorBaseTest, AControlsOwnHooksRefuseOrChangeItsWriteAndHearItsValues) {
    image(0x200) = 7;
    image(0x202) = 3;
    HookedEditor e(ctx);
    using Shown = std::vector<std::pair<int, double>>;
    EXPECT_EQ(e.shown, (Shown{{kMode, 3.0}, {kSpeed, 7.0}}));
    auto* bar = get<QScrollBar>(e, "HScroll1");
    bar->setValue(60); // refused: nothing written, nothing noted
    EXPECT_EQ(image(0x200), 7);
    EXPECT_TRUE(e.written.empty());
    bar->setValue(20);
    EXPECT_EQ(image(0x200), 40);
    EXPECT_EQ(e.written, std::vector<int>{40});
    EXPECT_EQ(e.shown.back(), std::pair(kSpeed, 40.0)); // the image's refresh reaches the hook too
    EXPECT_EQ(bar->value(), 40);

    // Online its twin's delivery is heard as well; a parameter it neither shows nor reads is not.
    state.Online = true;
    HookedEditor online(ctx);
    online.deliver(kSpeedTwin, 9.0);
    online.deliver(kLimit, 5.0);
    EXPECT_EQ(online.shown.back(), std::pair(kSpeedTwin, 9.0));
}

TEST_F(EditorBaseTest, PagesLockedUntilDeliveredUnlockAtTheLastOfThem) {
    state.Online = true;
    HookedEditor e(ctx);
    e.lockPagesUntilDelivered(3);
    EXPECT_TRUE(e.pagesLocked());
    EXPECT_FALSE(e.pages()->isTabEnabled(0));
    EXPECT_FALSE(e.pages()->isTabEnabled(1));
    e.deliver(kSpeed, 1.0);
    e.deliver(kLimit, 1.0);
    EXPECT_FALSE(e.pages()->isTabEnabled(1));
    e.deliver(kLimit, 2.0);
    EXPECT_FALSE(e.pagesLocked());
    EXPECT_TRUE(e.pages()->isTabEnabled(0));
    EXPECT_TRUE(e.pages()->isTabEnabled(1));

    // Offline the image holds every value: nothing is locked.
    state.Online = false;
    HookedEditor offline(ctx);
    offline.lockPagesUntilDelivered(3);
    EXPECT_FALSE(offline.pagesLocked());
    EXPECT_TRUE(offline.pages()->isTabEnabled(1));
}

// A control that states no range takes the catalogue's, and tenths when its row gives one decimal; what a
// window states stays, and a parameter without a range keeps 0..255.
class CatalogueRangeEditor : public EditorBase {
public:
    CatalogueRangeEditor(EditorContext& ctx) : EditorBase(ctx, nullptr) {
        EditorDefinition d(QStringLiteral("FrmRanges"), Caption("Ranges"));
        d.window()
            .add(scrollBar("HScroll1", 0, 1821))               // price timeout: 20..250, tenths
            .add(scrollBar("HScroll1", 1, 1822).range(5, 100)) // credit timeout: 0..180, stated otherwise
            .add(scrollBar("HScroll1", 2, 1833).noLabel())     // tube 3 minimum level: 1..20
            .add(scrollBar("HScroll1", 3, 1824));              // no range in the catalogue
        setup(std::move(d));
    }
};

TEST_F(EditorFixture, BindingsTakeRangeAndTenthsFromTheCatalogue) {
    for (int index : {1821, 1822, 1824, 1833})
        fillParam(state, index, index - 1127, 1); // 1821 lies at board address 694
    image(694) = 35;
    CatalogueRangeEditor e(ctx);
    const auto range = [&](int i) {
        auto* bar = get<QScrollBar>(e, "HScroll1", i);
        return std::pair(bar->minimum(), bar->maximum());
    };
    EXPECT_EQ(range(0), std::pair(20, 250));
    EXPECT_EQ(e.valueLabel("HScroll1", 0)->text(), QString("3") + QChar(LocaleDecimalSeparator()) + "5");
    EXPECT_EQ(range(1), std::pair(5, 100));
    EXPECT_EQ(range(2), std::pair(1, 20));
    EXPECT_EQ(range(3), std::pair(0, 255));
    EXPECT_EQ(e.valueLabel("HScroll1", 2), nullptr);
}

TEST(CenterForm1, PlacesTheWindowWithTheTwipsOffsets) {
    // Top: 600 x 0.85 / 2 - 100 + 100 twips (6.7 px); left: 450 - 150 - 80 twips (5.3 px).
    EXPECT_EQ(centerForm1Position({900, 600}, {300, 200}), QPoint(295, 162));
    EXPECT_EQ(centerForm1Position({200, 100}, {600, 500}), QPoint(0, 0));
}

} // namespace
} // namespace vm::editors::test
