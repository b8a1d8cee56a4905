#pragma once
// The declaration of an editor window: its pages, frames and the bindings they hold, and the window-level
// options. A window's constructor fills one of these, then hands it to the base.
//
//     EditorDefinition d("FrmTempi", Caption("Tempi e Soglie"));
//     auto unit1 = d.page(Caption("Slave 1")).enabledIf(slaveTypeIn(1, 1, 7));
//     unit1.frame("Frame3", Caption("TEMPI"), 2).add(controlArray(8, scrollBar("HScrollEV1", 0, 128)));

#include "Binding.h"

#include <vector>

namespace vm::editors {

struct PageDefinition {
    Caption title;
    Condition enabledWhen; // empty: always enabled
    int columns = 1;       // controls side by side directly on the page
};

struct FrameDefinition {
    QString name; // e.g. "Frame1"
    Caption title;
    int tab = -1; // page of SSTab1, -1 = the window itself
    int columns = 1;
    Condition enabledWhen;
    Condition visibleWhen;
    std::size_t firstBinding = 0; // bindings declared before it: the frame stands after their rows
};

class EditorDefinition {
public:
    EditorDefinition() = default;
    EditorDefinition(QString form, Caption windowTitle) : formName(std::move(form)), title(std::move(windowTitle)) {}

    // A page, a frame or the window itself: bindings added to it are placed there.
    class Place {
    public:
        Place& add(Binding b);
        Place& add(std::vector<Binding> bs);
        // A frame inside this place (frames stay one level deep: a frame in a frame goes to the page).
        Place frame(QString name, Caption title, int columns = 1);
        // Rules of the page or frame this place is.
        Place& enabledIf(Condition c);
        Place& visibleIf(Condition c);
        int tab() const { return tab_; }

    private:
        friend class EditorDefinition;
        Place(EditorDefinition& d, int tab, QString frame) : d_(&d), tab_(tab), frame_(std::move(frame)) {}
        EditorDefinition* d_;
        int tab_;
        QString frame_;
    };

    Place window() { return Place(*this, -1, {}); }
    // A new page of the tab container SSTab1.
    Place page(Caption title, int pageColumns = 1);

    QString formName;
    Caption title;
    std::vector<PageDefinition> tabs; // pages of SSTab1; empty = no tab container
    std::vector<FrameDefinition> frames;
    int columns = 1; // controls side by side directly on the window
    std::vector<Binding> bindings;
    // Parameters watched besides the bound ones (read by rules, e.g. 1844), watched and loaded first.
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
    // A view of the board's live counters: the configuration holds none, so offline nothing is loaded and
    // the labels stay empty.
    bool liveOnly = false;
};

} // namespace vm::editors
