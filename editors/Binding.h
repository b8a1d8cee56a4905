#pragma once
// One control of an editor window bound to one board parameter. An editor declares a table of these; the
// base builds the controls, shows delivered values in them and writes every change back.

#include <QString>
#include <QStringList>

#include <vector>

namespace vm {
class Messages;
}

namespace vm::editors {

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
};

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
};

// How a scroll bar's value label shows the stored value.
enum class LabelFormat {
    Plain,  // the value itself
    Tenths, // value / 10 with one decimal
    Money,  // value / 10^d with the window's d decimals
    None,   // no value label
};

struct Binding {
    // --- identity: the control array and index as the window names them ---
    QString control;
    int controlIndex = 0;

    // --- parameter ---
    int index = 0;  // parameter index
    int mirror = 0; // twin parameter written together with it while online; 0 = none
    int width = 1;  // bytes 1..3; 0 = text parameter

    // --- how the value is shown and stored ---
    ControlKind kind = ControlKind::ScrollBar;
    LabelFormat label = LabelFormat::Plain;
    int storedOffset = 0; // stored value = control value + storedOffset (32768 for offset scroll bars)
    // Non-zero: the control edits these bits of the parameter. Switches, options and sliders: one on/off bit
    // (bit switches). Scroll bars and number boxes: a field of the value (e.g. 0xFF00, the high byte).
    unsigned bitMask = 0;
    bool inverted = false;       // bit switches: the bit is 1 when the switch is off
    int choice = 0;              // option buttons: the value stored when this button is chosen
    std::vector<Caption> items;  // slider positions or combo entries
    std::vector<int> itemValues; // stored value of each position (empty: position + storedOffset)
    int min = 0;
    int max = 255;
    int largeStep = 10;
    // Per-selection parameters: the index (and a non-zero mirror) move by stride x the window's selection.
    int selectionStride = 0;

    // --- texts and placement ---
    Caption caption;
    QString valueLabelName; // the description's name of the value label, e.g. "Label6s" (same index)
    int valueLabelIndex = -1;
    int tab = -1;  // page of the tab container SSTab1; -1 = the window itself
    QString frame; // name of a frame declared by the editor; empty = directly on the page

    // --- text boxes ---
    Caption errorText;        // shown when a typed value is out of range (and when not numeric, unless below)
    Caption notNumericText;   // shown when a typed value is not a number; empty = errorText
    bool nonZero = false;     // 0 is refused
    bool emptyOnFocus = true; // false: the box keeps its text on focus and on leaving
    unsigned commitMask = 0;  // non-zero: the typed value is ANDed with it before writing

    // --- fluent modifiers, so tables read as one line per control ---
    // clang-format off
    Binding& withMirror(int m) { mirror = m; return *this; }
    Binding& bytes(int w) { width = w; return *this; }
    Binding& range(int lo, int hi) { min = lo; max = hi; return *this; }
    Binding& step(int large) { largeStep = large; return *this; }
    Binding& tenths() { label = LabelFormat::Tenths; return *this; }
    Binding& money() { label = LabelFormat::Money; return *this; }
    Binding& noLabel() { label = LabelFormat::None; return *this; }
    // A 2-byte scroll bar of range -32768..32767 whose stored value is the scroll value + 32768.
    Binding& offsetScroll() { width = 2; storedOffset = 32768; min = -32768; max = 32767; return *this; }
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
    Binding& keepTextOnFocus() { emptyOnFocus = false; return *this; }
    // clang-format on

    bool isBit() const { return bitMask != 0; }
    // The stored value for a control value, and back.
    int storedFromControl(int controlValue) const;
    int controlFromStored(int stored) const;
};

// --- one factory per kind of control ---
Binding scrollBar(QString control, int controlIndex, int index, int mirror = 0);
// A two-position switch: with a bit mask it edits that bit, without one it stores 0 or 1.
Binding toggleSwitch(QString control, int controlIndex, int index, int mirror = 0, unsigned bitMask = 0);
Binding checkBox(QString control, int controlIndex, int index, int mirror = 0, unsigned bitMask = 0);
Binding optionButton(QString control, int controlIndex, int index, int mirror, int choice);
Binding sliderSwitch(QString control, int controlIndex, int index, int mirror,
                     std::vector<Caption> positions);
Binding comboBox(QString control, int controlIndex, int index, int mirror, std::vector<Caption> entries);
Binding numberBox(QString control, int controlIndex, int index, int mirror, int min, int max);
Binding textBox(QString control, int controlIndex, int index, int mirror = 0);
// A label that shows the value (plain, tenths or money) and writes nothing.
Binding valueText(QString control, int controlIndex, int index);

// A tab page of the tab container SSTab1 and a titled frame; bindings name them.
struct FrameDefinition {
    QString name; // e.g. "Frame1"
    Caption title;
    int tab = -1;
    int columns = 1; // controls side by side in the frame
};

struct EditorDefinition {
    QString formName; // e.g. "FrmItemNumber"
    Caption title;
    std::vector<Caption> tabs; // pages of SSTab1; empty = no tab container
    std::vector<FrameDefinition> frames;
    int columns = 1; // controls side by side directly on a page
    std::vector<Binding> bindings;
    // Parameters watched besides the bound ones (read by rules, e.g. 1844), watched first.
    std::vector<int> extraWatch;
    // The decimal-point parameter of money values (and its twin): each delivery sets the window's decimals
    // (value AND 3) and re-formats the money labels; offline it is loaded first.
    int decimalPointParam = 0;
    int decimalPointTwin = 0;
    // Offline loading order; empty = extraWatch then the bound parameters in table order.
    std::vector<int> loadOrder;
    // Online, watch only the parameters of the visible page of SSTab1 (and those outside the pages), so
    // that the link polls what is shown; a page change moves the watches.
    bool watchVisibleTab = false;
    // Watch the twins of the bound parameters too (windows that show a value delivered under its twin).
    bool watchMirrors = false;
    // While online, a bound control stays disabled until its parameter has been delivered once.
    bool disableUntilDelivered = true;
};

} // namespace vm::editors
