#pragma once
// One adapter per kind of control: it creates the control, shows a stored value in it and reads the value
// the user chose. The base picks the adapter of a binding's kind in one place (adapterFor) and does
// everything else (watching, delivery, the Loading guard, writing) the same way for every kind.

#include "Binding.h"

#include <QString>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QObject;
class QWidget;

namespace vm::editors {

class EditorTexts;

// A bound control as the window holds it.
struct BoundControl {
    Binding binding;          // width and twin already taken from the catalogue
    QWidget* widget = nullptr;
    QLabel* label = nullptr;  // scroll bars: the value label
    QLabel* caption = nullptr; // the caption beside the control, if any
    int row = -1;             // list rows: the row of the list view
    std::optional<double> lastStored;
    bool ready = true;        // every value its write reads is known (online: arrived from the board)
    QString toolTip;          // what the window adds to the tool tip while the control is ready (its default)
    QString facts;            // the parameter's name, index, range, unit and help: the start of every tip
    bool differs = false;     // its value is another than the parameter's default
    QAction* reset = nullptr; // "Reset to default" in its context menu
    int param = 0;            // parameter and twin for the window's current state
    int twin = 0;
};

// What a delivery shows: the stored value (a field of it for field bindings), whether the binding's bit is
// on, the text of text parameters, and the window's money decimals.
struct Shown {
    double stored = 0;
    bool bitOn = false;
    QString text;
    int decimals = 0;
};

// What a control needs from its window while it is built.
struct AdapterEnv {
    EditorTexts& texts;
    std::function<bool()> loading; // true while delivered values are shown
    int flashMs = 150;             // green flash of the text-box commit
};

class ControlAdapter {
public:
    virtual ~ControlAdapter() = default;
    // Creates the control in `container` (and the value label of scroll bars).
    virtual QWidget* create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const = 0;
    virtual void show(BoundControl& bc, const Shown& value) const = 0;
    // The value the user chose: the on state (0/1) of bit switches, otherwise the control value;
    // nothing when the change writes nothing (a deselected option, a label).
    virtual std::optional<int> read(const BoundControl& bc) const = 0;
    // Calls `changed` when the user changes the control (with the typed text of text boxes).
    virtual void onUserChange(BoundControl& bc, QObject* context,
                              std::function<void(const QString& typed)> changed) const = 0;
    // Lets the user act on the control or not; `toolTip` says why not, or is the control's own tip.
    virtual void setUsable(BoundControl& bc, bool usable, const QString& toolTip) const;
    // Only the tool tip, and the one the user sees.
    virtual void showToolTip(BoundControl& bc, const QString& toolTip) const;
    virtual QString shownToolTip(const BoundControl& bc) const;
};

const ControlAdapter& adapterFor(ControlKind kind);

} // namespace vm::editors
