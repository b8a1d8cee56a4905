#pragma once
// The few colour states a label of a window takes. A window names the state; the colours are chosen here
// once, so that every window paints a state alike.

class QWidget;

namespace vm::editors {

enum class PaletteState {
    Normal,    // the window's own colours
    Highlight, // light yellow background: a value the user can set
    Face,      // the button face as background: a value that cannot be set now
    Chosen,    // red text (on light grey where the label fills its background): the one chosen of a row
    Other,     // blue text: the others of such a row
};

// Paints the widget in the state; nothing happens when it is in that state already. Highlight and Face fill
// the widget's background; the other states leave the filling to the widget.
void paintState(QWidget* widget, PaletteState state);

} // namespace vm::editors
