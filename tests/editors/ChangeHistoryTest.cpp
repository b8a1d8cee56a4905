// The record of a visit in a window: every edit logged and undone through the edits' own write path, an undo
// the board does not acknowledge, and the factory settings (marks, tool tips, resets) of a window's controls.

#include "EditorTestSupport.h"

#include "Catalogue.h"
#include "EditHistory.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

namespace vm::editors::test {
namespace {

// Catalogue parameters with their factory settings: "probe minimum, unit 1" (3, default 0, mirror 4785),
// "enable byte 1, unit 1" (6, default 0, mirror 4788), "unit type, unit 1" (4779, no default) and "decimal
// point" (1823, default 2).
constexpr int kProbe = 3, kProbeMirror = 4785, kEnable = 6, kEnableMirror = 4788, kUnitType = 4779,
              kPoint = 1823;

class VisitEditor : public EditorBase {
public:
    explicit VisitEditor(EditorContext& ctx) : EditorBase(ctx, nullptr) {
        EditorDefinition d(QStringLiteral("FrmVisit"), Caption("Visit"));
        d.window()
            .add(scrollBar("HScroll1", 0, kProbe).titled(Caption("Minimo")))
            .add(toggleSwitch("SwitchX1", 0, kEnable, kFromCatalogue, 0x01).titled(Caption("Uno")))
            .add(toggleSwitch("SwitchX1", 1, kEnable, kFromCatalogue, 0x04).titled(Caption("Tre")))
            .add(scrollBar("HScroll2", 0, kUnitType).range(0, 15).titled(Caption("Tipo")));
        // A switch without a caption of its own: its frame's title carries the mark.
        d.window()
            .frame("Frame1", Caption("Punto"))
            .add(sliderSwitch("Slider1", 0, kPoint, 0,
                              {Caption("0"), Caption("1"), Caption("2"), Caption("3")}));
        setup(std::move(d));
    }
};

QAction* entry(QWidget* w, const char* name) {
    for (QAction* a : w->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

class ChangeHistoryTest : public EditorFixture {
protected:
    ChangeHistoryTest() {
        for (int index : {kProbe, kProbeMirror, kEnable, kEnableMirror, kUnitType, kPoint}) {
            const catalogue::ParamInfo* info = catalogue::find(index);
            fillParam(state, index, info->address, info->width);
        }
        history.setAcknowledgeLimitMs(30);
    }
    int stored(int index) { return image(catalogue::find(index)->address); }
    // The board answers the writes: the link sends every marked cell and delivers what it wrote.
    void boardAnswers() {
        for (int index : {kProbe, kProbeMirror, kEnable, kEnableMirror}) {
            ParamCell& cell = state.cell(index, 0);
            if (!cell.has(WritePending)) continue;
            cell.at(CellPos::Status) = static_cast<std::uint8_t>((cell.status() & ~WritePending) | Valid);
            forms.deliverToAll(index, state.ParamValue(index, 0));
        }
    }

    // As the main window links them: the log hears the board's deliveries and the editors' writes.
    EditorContext& withLog() {
        ctx.changes = &log;
        forms.setListener(&log);
        return ctx;
    }

    ChangeLog log{state};
    EditHistory history{withLog()};
};

TEST_F(ChangeHistoryTest, EditsInTheLogAreUndoneAndRedoneThroughTheImageAndShownInTheWindow) {
    VisitEditor e(ctx);
    auto* bar = get<QScrollBar>(e, "HScroll1");
    bar->setValue(40);
    get<ToggleSwitch>(e, "SwitchX1", 1)->click(); // bit 0x04
    bar->setValue(55);
    ASSERT_EQ(log.changes().size(), 3u);
    EXPECT_EQ(log.changes()[0].control, "HScroll1(0)");
    EXPECT_EQ(log.changes()[0].before, ParamData(0.0));
    EXPECT_EQ(log.changes()[2].before, ParamData(40.0));
    EXPECT_EQ(log.changes()[1].after, ParamData(4.0));
    EXPECT_EQ(history.stack().count(), 3);

    history.undo();
    history.undo();
    EXPECT_EQ(stored(kProbe), 40);
    EXPECT_EQ(stored(kProbeMirror), 40); // the image keeps the mirror with its parameter
    EXPECT_EQ(stored(kEnable), 0);
    EXPECT_EQ(bar->value(), 40);
    EXPECT_FALSE(get<ToggleSwitch>(e, "SwitchX1", 1)->isChecked());
    history.redo();
    EXPECT_EQ(stored(kEnable), 4);
    EXPECT_TRUE(get<ToggleSwitch>(e, "SwitchX1", 1)->isChecked());
    ASSERT_EQ(log.changes().size(), 6u); // the undos and the redo are in the log too
    EXPECT_EQ(log.changes()[3].kind, ChangeKind::Undo);
    EXPECT_EQ(log.changes()[3].after, ParamData(40.0));
    EXPECT_EQ(log.changes()[5].kind, ChangeKind::Redo);
    EXPECT_EQ(history.stack().index(), 2); // they are no new edits

    // A new edit drops what was undone and not redone.
    bar->setValue(41);
    EXPECT_EQ(history.stack().count(), 3);
    EXPECT_FALSE(history.stack().canRedo());
}

TEST_F(ChangeHistoryTest, AnUndoTheBoardDoesNotAcknowledgeSaysSoAndStaysToBeUndone) {
    state.Online = true;
    VisitEditor e(ctx);
    state.cell(kProbe, 0).at(CellPos::Value) = 7; // the board's value arrives
    state.cell(kProbe, 0).at(CellPos::Status) |= Valid;
    forms.deliverToAll(kProbe, 7.0);
    auto* bar = get<QScrollBar>(e, "HScroll1");
    bar->setValue(9);
    boardAnswers();
    EXPECT_EQ(log.changes()[0].before, ParamData(7.0));
    EXPECT_EQ(log.changes()[0].state, ChangeState::Acknowledged);

    history.undo(); // the board says nothing
    EXPECT_EQ(state.ParamValue(kProbe, 0), 7);
    QTest::qWait(80);
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_TRUE(
        boxes.requests[0].text.contains("has not acknowledged the undo of probe minimum, unit 1 (FrmVisit)"))
        << boxes.requests[0].text.toStdString();
    EXPECT_TRUE(history.stack().canUndo());
    EXPECT_EQ(state.ParamValue(kProbe, 0), 9); // the edit is in place again

    history.undo();
    boardAnswers();
    QTest::qWait(80);
    EXPECT_EQ(boxes.requests.size(), 1u);
    EXPECT_FALSE(history.stack().canUndo());
    EXPECT_EQ(bar->value(), 7);
}

TEST_F(ChangeHistoryTest, ControlsShowTheirDefaultAndAWindowResetTouchesOnlyItsSettingsWithDefaults) {
    state.ConfigImage[static_cast<std::size_t>(catalogue::find(kUnitType)->address)] = 3;
    VisitEditor e(ctx);
    auto* bar = get<QScrollBar>(e, "HScroll1");
    QLabel* caption = nullptr;
    for (auto* label : e.findChildren<QLabel*>())
        if (label->text().startsWith("Minimo")) caption = label;
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), "Minimo");
    QAction* reset = entry(bar, "resetToDefault");
    ASSERT_NE(reset, nullptr);
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_EQ(entry(get<QScrollBar>(e, "HScroll2"), "resetToDefault"), nullptr); // a unit type has no default
    EXPECT_EQ(get<QScrollBar>(e, "HScroll2")->toolTip().toStdString(),
              "unit type, unit 1 (parameter 4779)\nRange: 0..15\nThe type code of the coupled unit (low nibble).");

    bar->setValue(12);
    EXPECT_EQ(caption->text(), "Minimo \u2022");
    EXPECT_EQ(bar->toolTip().toStdString(), "probe minimum, unit 1 (parameter 3)\nRange: 0..255\nDefault: 0");
    EXPECT_TRUE(reset->isEnabled());
    e.retranslate(); // the captions are set again: the mark stays
    EXPECT_EQ(caption->text(), "Minimo \u2022");
    get<ToggleSwitch>(e, "SwitchX1", 1)->click();
    EXPECT_EQ(get<ToggleSwitch>(e, "SwitchX1", 1)->toolTip().toStdString(),
              "enable byte 1, unit 1 (parameter 6)\nRange: off or on (bit 2)\nDefault: off");
    EXPECT_EQ(get<ToggleSwitch>(e, "SwitchX1", 0)->toolTip().toStdString(), // its own bit is at its default
              "enable byte 1, unit 1 (parameter 6)\nRange: off or on (bit 0)");

    // The image's decimal point is 0, its default 2.
    auto* frame = e.findChild<QGroupBox*>("Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Punto \u2022");
    get<SliderSwitch>(e, "Slider1")->setValue(2);
    EXPECT_EQ(frame->title(), "Punto");

    reset->trigger();
    EXPECT_EQ(stored(kProbe), 0);
    EXPECT_EQ(caption->text(), "Minimo");
    EXPECT_EQ(bar->toolTip().toStdString(), "probe minimum, unit 1 (parameter 3)\nRange: 0..255");
    bar->setValue(12);

    QAction* resetWindow = entry(&e, "resetWindowToDefaults");
    ASSERT_NE(resetWindow, nullptr);
    boxes.answer = MessageAnswer::No;
    resetWindow->trigger();
    ASSERT_EQ(boxes.requests.size(), 1u);
    const QString asked = boxes.requests[0].text;
    EXPECT_TRUE(asked.contains("probe minimum, unit 1 (3): 12 \u2192 0")) << asked.toStdString();
    EXPECT_TRUE(asked.contains("enable byte 1, unit 1 (6): on \u2192 off")) << asked.toStdString();
    EXPECT_FALSE(asked.contains("unit type")) << asked.toStdString();
    EXPECT_EQ(stored(kProbe), 12); // answered No

    const std::size_t before = log.changes().size();
    boxes.answer = MessageAnswer::Yes;
    resetWindow->trigger();
    EXPECT_EQ(stored(kProbe), 0);
    EXPECT_EQ(stored(kEnable), 0);
    EXPECT_EQ(stored(kUnitType), 3);
    ASSERT_EQ(log.changes().size(), before + 2);
    EXPECT_EQ(log.changes()[before].edit, log.changes()[before + 1].edit); // one edit, one undo
    history.undo();
    EXPECT_EQ(stored(kProbe), 12);
    EXPECT_EQ(stored(kEnable), 4);
}

} // namespace
} // namespace vm::editors::test
