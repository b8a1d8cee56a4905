// The parts of the base that the larger windows lean on: one selection at a time, the decimal point of
// money values, waiting for a complete set of values, byte fields of a wider value and show-only labels.

#include "EditorTestSupport.h"

#include "Display.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace vm::editors::test {
namespace {

constexpr int kDecimalPoint = 1823;
constexpr int kDecimalTwin = 6605;
constexpr int kPrice = 8471;    // 2 bytes, offset scroll shown as money, twin 8521
constexpr int kTable = 1457;    // 32 entries, one per key, twin 6239 + key
constexpr int kKeyFlags = 1649; // 32 entries of switches
constexpr int kShelf = 1991;    // 2 bytes: low byte and high byte in two boxes
constexpr int kShown = 1844;    // shown only

class FeatureEditor : public EditorBase {
public:
    FeatureEditor(EditorContext& ctx, QWidget* parent = nullptr) : EditorBase(ctx, parent) {
        EditorDefinition definition;
        definition.formName = QStringLiteral("FrmFeatures");
        definition.decimalPointParam = kDecimalPoint;
        definition.decimalPointTwin = kDecimalTwin;
        definition.bindings = {
            scrollBar("HScroll1", 0, kPrice, kPrice + 50).offsetScroll().money(),
            scrollBar("HScroll2", 0, kTable, 6239).perSelection(),
            toggleSwitch("SwitchX", 1, kKeyFlags, 6431, 0x02).perSelection(),
            numberBox("Text1", 0, kShelf, 0, 0, 255).bytes(2).field(0x00FF),
            numberBox("Text1", 1, kShelf, 0, 0, 255).bytes(2).field(0xFF00),
            numberBox("Text3", 0, kShown + 1, 0, 0, 9).keepTextOnFocus(),
            valueText("Label5", 0, kShown),
            optionButton("Option1", 0, kShown + 2, 0, 0).bit(0x40),
            optionButton("Option1", 1, kShown + 2, 0, 1).bit(0x40),
            sliderSwitch("iSwitchSliderX1", 0, kShown + 3, 0, {"Tabella 1", "Tabella 2"}).bit(0x10),
        };
        setup(std::move(definition));
        addButton(QStringLiteral("Command1"), 0, Caption("RESET"), page(-1), [this] { ++clicks; });
    }
    int clicks = 0;
    int waitsDone = 0;
    using EditorBase::addButton;
    using EditorBase::moneyDecimals;

protected:
    void waitingDone() override { ++waitsDone; }
};

class EditorFeaturesTest : public EditorFixture {
protected:
    EditorFeaturesTest() {
        fillParam(state, kDecimalPoint, 0x100, 1);
        fillParam(state, kDecimalTwin, 0x1100, 1);
        fillParam(state, kPrice, 0x102, 2);
        fillParam(state, kPrice + 50, 0x1102, 2);
        for (int k = 0; k < 32; ++k) {
            fillParam(state, kTable + k, 0x200 + k, 1);
            fillParam(state, 6239 + k, 0x1200 + k, 1);
            fillParam(state, kKeyFlags + k, 0x300 + k, 1);
            fillParam(state, 6431 + k, 0x1300 + k, 1);
        }
        fillParam(state, kShelf, 0x400, 2);
        fillParam(state, kShown, 0x410, 1);
        fillParam(state, kShown + 1, 0x411, 1);
        fillParam(state, kShown + 2, 0x412, 1);
        fillParam(state, kShown + 3, 0x413, 1);
    }
    std::uint8_t& image(int address) { return state.ConfigImage[static_cast<std::size_t>(address)]; }
    template <class W> W* get(EditorBase& e, const char* name, int i = 0) {
        return qobject_cast<W*>(e.control(QString::fromLatin1(name), i));
    }
};

TEST_F(EditorFeaturesTest, TheDecimalPointIsLoadedFirstAndReformatsMoney) {
    image(0x100) = 2;
    image(0x102) = 150;
    FeatureEditor e(ctx);
    EXPECT_EQ(e.moneyDecimals(), 2);
    EXPECT_EQ(e.valueLabel("HScroll1", 0)->text(), QString::fromStdString(FormatDecimals(1.5, 2)));

    state.Online = true;
    e.deliver(kDecimalTwin, 7.0); // 7 AND 3 = 3
    EXPECT_EQ(e.moneyDecimals(), 3);
    EXPECT_EQ(e.valueLabel("HScroll1", 0)->text(), QString::fromStdString(FormatDecimals(0.15, 3)));
}

TEST_F(EditorFeaturesTest, ASelectionMovesThePerSelectionBindings) {
    image(0x200 + 5) = 40;
    image(0x300 + 5) = 0x05;
    FeatureEditor e(ctx);
    e.setSelection(5);
    EXPECT_EQ(get<QScrollBar>(e, "HScroll2")->value(), 40);
    EXPECT_FALSE(get<ToggleSwitch>(e, "SwitchX", 1)->isChecked());
    get<ToggleSwitch>(e, "SwitchX", 1)->setChecked(true);
    EXPECT_EQ(image(0x300 + 5), 0x07); // bits 0 and 2 of key 5 kept
    EXPECT_EQ(image(0x300), 0);        // key 0 untouched
    get<QScrollBar>(e, "HScroll2")->setValue(41);
    EXPECT_EQ(image(0x205), 41);
    EXPECT_EQ(e.bindingInfo()[1].index, kTable + 5);
    EXPECT_EQ(e.bindingInfo()[1].mirror, 6239 + 5);
}

TEST_F(EditorFeaturesTest, ASelectionOnlineMovesTheWatchesAndTheTwins) {
    state.Online = true;
    {
        FeatureEditor e(ctx);
        EXPECT_EQ(watchCount(state, kTable), 1);
        e.setSelection(3);
        EXPECT_EQ(watchCount(state, kTable), 0);
        EXPECT_EQ(watchCount(state, kTable + 3), 1);
        EXPECT_EQ(watchCount(state, kPrice), 1); // not per selection: watched throughout
        EXPECT_FALSE(get<QScrollBar>(e, "HScroll2")->isEnabled());
        e.deliver(kTable, 9.0); // a late value of the old key changes nothing
        EXPECT_FALSE(get<QScrollBar>(e, "HScroll2")->isEnabled());
        e.deliver(kTable + 3, 9.0);
        get<QScrollBar>(e, "HScroll2")->setValue(10);
        EXPECT_TRUE(writePending(state, kTable + 3));
        EXPECT_TRUE(writePending(state, 6239 + 3));
        EXPECT_FALSE(writePending(state, kTable));
    }
    EXPECT_EQ(watchCount(state, kTable + 3), 0);
    EXPECT_EQ(watchCount(state, kPrice), 0);
    EXPECT_EQ(watchCount(state, kDecimalPoint), 0);
}

TEST_F(EditorFeaturesTest, ByteFieldsOfAWordKeepTheOtherByte) {
    image(0x400) = 3;
    image(0x401) = 7;
    FeatureEditor e(ctx);
    EXPECT_EQ(get<CommitLineEdit>(e, "Text1", 0)->text(), "3");
    EXPECT_EQ(get<CommitLineEdit>(e, "Text1", 1)->text(), "7");
    auto* high = get<CommitLineEdit>(e, "Text1", 1);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(high, &in);
    QTest::keyClicks(high, "9");
    QTest::keyClick(high, Qt::Key_Return);
    settle();
    EXPECT_EQ(image(0x400), 3);
    EXPECT_EQ(image(0x401), 9);
    EXPECT_EQ(get<CommitLineEdit>(e, "Text1", 0)->text(), "3");
}

TEST_F(EditorFeaturesTest, BoxesThatKeepTheirTextAndShowOnlyLabels) {
    image(0x410) = 4;
    image(0x411) = 6;
    FeatureEditor e(ctx);
    EXPECT_EQ(get<QLabel>(e, "Label5")->text(), "4");
    auto* box = get<CommitLineEdit>(e, "Text3");
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &in);
    EXPECT_EQ(box->text(), "6");
    QTest::keyClick(box, Qt::Key_End); // focus by Tab selects the text; type after it
    QTest::keyClicks(box, "2");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
    EXPECT_EQ(box->text(), "62"); // typed text stays, nothing written
    EXPECT_EQ(image(0x411), 6);
}

TEST_F(EditorFeaturesTest, OptionsAndSlidersCanEditOneBit) {
    image(0x412) = 0x41;
    image(0x413) = 0x0F;
    FeatureEditor e(ctx);
    EXPECT_TRUE(get<QRadioButton>(e, "Option1", 1)->isChecked());
    EXPECT_EQ(get<SliderSwitch>(e, "iSwitchSliderX1")->value(), 0);
    get<QRadioButton>(e, "Option1", 0)->setChecked(true);
    EXPECT_EQ(image(0x412), 0x01);
    get<SliderSwitch>(e, "iSwitchSliderX1")->setValue(1);
    EXPECT_EQ(image(0x413), 0x1F);
    EXPECT_EQ(get<SliderSwitch>(e, "iSwitchSliderX1")->positions(), (QStringList{"Tabella 1", "Tabella 2"}));
}

TEST_F(EditorFeaturesTest, WaitingCountsOnlineDeliveriesUntilTheExpectedNumber) {
    state.Online = true;
    FeatureEditor e(ctx);
    e.startWaiting(3);
    e.deliver(kPrice, 1.0);
    e.deliver(kTable, 1.0);
    EXPECT_TRUE(e.waiting());
    EXPECT_EQ(e.deliveredCount(), 2);
    e.deliver(kTable, 2.0);
    EXPECT_FALSE(e.waiting());
    EXPECT_EQ(e.waitsDone, 1);
    e.deliver(kTable, 3.0);
    EXPECT_EQ(e.waitsDone, 1);
}

TEST_F(EditorFeaturesTest, ButtonsAreNamedAndRunTheirAction) {
    FeatureEditor e(ctx);
    auto* button = get<QPushButton>(e, "Command1");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "RESET");
    button->click();
    EXPECT_EQ(e.clicks, 1);
}

} // namespace
} // namespace vm::editors::test
