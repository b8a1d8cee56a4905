#pragma once
// One control of an editor window bound to one board parameter. An editor declares a table of these; the
// base builds the controls, shows delivered values in them and writes every change back. Width, text-ness,
// the twin, the range and the decimals (tenths) come from the parameter catalogue unless a binding states
// otherwise.

#include "Delivery.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vm {
class Messages;
class ProgramState;
} // namespace vm

namespace vm::editors {

class EditorBase;

// A visible text: a line of the language file, or a fixed literal used when the line is missing.
struct Caption {
    int message = 0;
    QString literal;

    Caption() = default;
    Caption(int messageNumber) : message(messageNumber) {}
    Caption(const char* text) : literal(QString::fromUtf8(text)) {}
    Caption(QString text) : literal(std::move(text)) {}
    Caption(int messageNumber, QString fallback) : message(messageNumber), literal(std::move(fallback)) {}

    QString text(const Messages& messages) const;
    bool isEmpty() const { return message == 0 && literal.isEmpty(); }
    // The caption of element i of an array: "{n}" becomes i + 1, "{i}" becomes i.
    Caption forElement(int i) const;
};

// A rule of the window, evaluated after every delivery: enabling, visibility.
using Condition = std::function<bool(const EditorBase&)>;
// Where a parameter lives for the window's current state (selection, coupling type, unit...).
using Locator = std::function<int(const EditorBase&)>;
// A control's own rule for its write, run before it: may change the value to store; false writes nothing.
using WriteHook = std::function<bool(int& stored)>;
// What follows once the control's value was written.
using WrittenHook = std::function<void(int stored)>;
// Runs once a delivered value was shown: the control's own (or its twin's), or one its write reads.
using ShowHook = std::function<void(int index, const ParamData& value)>;

enum class ControlKind {
    ScrollBar, // QScrollBar with a value label
    Toggle,    // two-position toggle switch
    CheckBox,
    Option,    // one option button of an exclusive array
    Slider,    // multi-position slider switch
    Combo,     // list of entries, the value is the entry's position
    NumberBox, // numeric text box with the Enter commit
    TextBox,   // text parameter with the Enter commit
    ValueText, // a label that only shows the value
    ListRow,   // one row of a list view with check boxes
    Command,   // a command button that writes a value into a command cell
};

// How a value label shows the stored value.
enum class LabelFormat {
    Plain,  // the value itself
    Tenths, // value / 10 with one decimal
    Money,  // value / 10^d with the window's d decimals
    None,   // no value label
};

inline constexpr int kFromCatalogue = -1;

struct Binding {
    // --- identity: the control array and index as the window names them ---
    QString control;
    int controlIndex = 0;

    // --- parameter ---
    int index = 0;                // parameter index
    int mirror = kFromCatalogue;  // twin written with it while online; 0 = none
    int width = kFromCatalogue;   // bytes 1..3; 0 = text parameter
    Locator locate;               // when set, the parameter for the window's state (index is then unused)
    int selectionStride = 0;      // per-selection parameters: index (and twin) + stride x selection

    // --- how the value is shown and stored ---
    ControlKind kind = ControlKind::ScrollBar;
    LabelFormat label = LabelFormat::Plain;
    int storedOffset = 0; // stored value = control value + storedOffset (32768 for offset scroll bars)
    // Non-zero: the control edits these bits of the parameter. Switches, options, sliders, list rows: one
    // on/off bit. Scroll bars and number boxes: a field of the value (e.g. 0xFF00, the high byte).
    unsigned bitMask = 0;
    bool inverted = false;       // bit switches: the bit is 1 when the switch is off
    int choice = 0;              // option buttons and commands: the value written
    std::vector<Caption> items;  // slider positions or combo entries
    std::vector<int> itemValues; // stored value of each position (empty: position + storedOffset)
    int min = 0;
    int max = 255;
    bool rangeStated = false; // false: the catalogue's range, when its row gives one, replaces min and max
    int largeStep = 10;

    // --- rules ---
    // Parameters besides its own whose values the control's write is built from (the window's copy of a
    // byte it rewrites, a value a rule of the write reads): online it stays disabled until each has arrived.
    std::vector<int> alsoReads;
    Condition enabledWhen; // empty: always enabled
    Condition visibleWhen; // empty: always shown
    WriteHook writeHook;
    WrittenHook writtenHook;
    ShowHook showHook;

    // --- texts and placement ---
    Caption caption;
    QString valueLabelName; // the window's name of the value label, e.g. "Label6s" (same index)
    int valueLabelIndex = -1;
    QString captionName; // the window's name of the caption label, e.g. "Label7" (index captionIndex)
    int captionIndex = -1;
    int tab = -1;  // page of the tab container SSTab1; -1 = the window itself
    QString frame; // name of a frame declared by the editor; empty = directly on the page

    // --- text boxes ---
    Caption errorText;        // shown when a typed value is out of range (and when not numeric, unless below)
    Caption notNumericText;   // shown when a typed value is not a number; empty = errorText
    bool nonZero = false;     // 0 is refused
    bool emptyOnFocus = true; // false: the box keeps its text on focus and on leaving
    unsigned commitMask = 0;  // non-zero: the typed value is ANDed with it before writing
    bool confirmFirst = false; // commands: ask "Are you sure?" with the caption as title

    // --- fluent modifiers, so tables read as one line per control ---
    // clang-format off
    Binding& withMirror(int m) { mirror = m; return *this; }
    Binding& noMirror() { mirror = 0; return *this; }
    Binding& bytes(int w) { width = w; return *this; }
    Binding& range(int lo, int hi) { min = lo; max = hi; rangeStated = true; return *this; }
    Binding& step(int large) { largeStep = large; return *this; }
    Binding& tenths() { label = LabelFormat::Tenths; return *this; }
    Binding& money() { label = LabelFormat::Money; return *this; }
    Binding& noLabel() { label = LabelFormat::None; return *this; }
    // A 2-byte scroll bar of range -32768..32767 whose stored value is the scroll value + 32768.
    Binding& offsetScroll() { width = 2; storedOffset = 32768; range(-32768, 32767); return *this; }
    Binding& offsetBy(int k) { storedOffset = k; return *this; }
    Binding& bit(unsigned mask) { bitMask = mask; return *this; }
    Binding& invert() { inverted = true; return *this; }
    Binding& values(std::vector<int> v) { itemValues = std::move(v); return *this; }
    Binding& titled(Caption c) { caption = std::move(c); return *this; }
    Binding& onTab(int t) { tab = t; return *this; }
    Binding& inFrame(QString f) { frame = std::move(f); return *this; }
    Binding& valueLabel(QString name, int labelIndex) { valueLabelName = std::move(name); valueLabelIndex = labelIndex; return *this; }
    Binding& error(Caption c) { errorText = std::move(c); return *this; }
    Binding& notNumeric(Caption c) { notNumericText = std::move(c); return *this; }
    Binding& refuseZero() { nonZero = true; return *this; }
    Binding& maskWith(unsigned m) { commitMask = m; return *this; }
    Binding& field(unsigned mask) { bitMask = mask; return *this; }
    Binding& perSelection(int stride = 1) { selectionStride = stride; return *this; }
    Binding& at(Locator l) { locate = std::move(l); return *this; }
    Binding& captionLabel(QString name, int labelIndex) { captionName = std::move(name); captionIndex = labelIndex; return *this; }
    Binding& keepTextOnFocus() { emptyOnFocus = false; return *this; }
    Binding& enabledIf(Condition c) { enabledWhen = std::move(c); return *this; }
    Binding& visibleIf(Condition c) { visibleWhen = std::move(c); return *this; }
    Binding& reads(std::vector<int> params) { alsoReads = std::move(params); return *this; }
    Binding& confirmed() { confirmFirst = true; return *this; }
    Binding& onWrite(WriteHook h) { writeHook = std::move(h); return *this; }
    Binding& afterWrite(WrittenHook h) { writtenHook = std::move(h); return *this; }
    Binding& onShow(ShowHook h) { showHook = std::move(h); return *this; }
    // clang-format on

    bool isBit() const { return bitMask != 0; }
    bool isSwitch() const; // a control that edits one on/off bit
    // The stored value for a control value, and back.
    int storedFromControl(int controlValue) const;
    int controlFromStored(int stored) const;
};

// --- one factory per kind of control ---
Binding scrollBar(QString control, int controlIndex, int index, int mirror = kFromCatalogue);
// A two-position switch: with a bit mask it edits that bit, without one it stores 0 or 1.
Binding toggleSwitch(QString control, int controlIndex, int index, int mirror = kFromCatalogue,
                     unsigned bitMask = 0);
Binding checkBox(QString control, int controlIndex, int index, int mirror = kFromCatalogue, unsigned bitMask = 0);
Binding optionButton(QString control, int controlIndex, int index, int mirror, int choice);
Binding sliderSwitch(QString control, int controlIndex, int index, int mirror, std::vector<Caption> positions);
Binding comboBox(QString control, int controlIndex, int index, int mirror, std::vector<Caption> entries);
Binding numberBox(QString control, int controlIndex, int index, int mirror, int min, int max);
Binding textBox(QString control, int controlIndex, int index, int mirror = kFromCatalogue);
// A label that shows the value (plain, tenths or money) and writes nothing.
Binding valueText(QString control, int controlIndex, int index);
// A row of the list view `control` with a check box: the row's bit of the parameter.
Binding listRow(QString control, int row, int index, int mirror, unsigned bitMask);
// A command button: a click writes `value` into the command cell `index` (no twin).
Binding commandButton(QString control, int controlIndex, int index, int value);

// An array of `count` controls in one line: element i has control index first.controlIndex + i, parameter
// first.index + i, twin first.mirror + i (when stated) and caption first.caption.forElement(i).
std::vector<Binding> controlArray(int count, const Binding& first);

} // namespace vm::editors
