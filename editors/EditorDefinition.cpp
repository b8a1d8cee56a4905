#include "EditorDefinition.h"

#include <algorithm>

namespace vm::editors {

EditorDefinition::Place& EditorDefinition::Place::add(Binding b) {
    b.tab = tab_;
    b.frame = frame_;
    d_->bindings.push_back(std::move(b));
    return *this;
}

EditorDefinition::Place& EditorDefinition::Place::add(std::vector<Binding> bs) {
    for (Binding& b : bs)
        add(std::move(b));
    return *this;
}

EditorDefinition::Place EditorDefinition::Place::frame(QString name, Caption frameTitle, int frameColumns) {
    d_->frames.push_back({name, std::move(frameTitle), tab_, frameColumns, {}, {}, d_->bindings.size()});
    return Place(*d_, tab_, std::move(name));
}

EditorDefinition::Place& EditorDefinition::Place::enabledIf(Condition c) {
    if (!frame_.isEmpty()) {
        const auto it = std::find_if(d_->frames.begin(), d_->frames.end(),
                                     [this](const FrameDefinition& f) { return f.name == frame_; });
        if (it != d_->frames.end()) it->enabledWhen = std::move(c);
    } else if (tab_ >= 0) {
        d_->tabs[static_cast<std::size_t>(tab_)].enabledWhen = std::move(c);
    }
    return *this;
}

EditorDefinition::Place& EditorDefinition::Place::visibleIf(Condition c) {
    const auto it = std::find_if(d_->frames.begin(), d_->frames.end(),
                                 [this](const FrameDefinition& f) { return f.name == frame_; });
    if (it != d_->frames.end()) it->visibleWhen = std::move(c);
    return *this;
}

EditorDefinition::Place EditorDefinition::page(Caption pageTitle, int pageColumns) {
    tabs.push_back({std::move(pageTitle), {}, pageColumns});
    return Place(*this, static_cast<int>(tabs.size()) - 1, {});
}

} // namespace vm::editors
