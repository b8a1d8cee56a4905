#include "EditorTexts.h"

namespace vm::editors {

void EditorTexts::add(const Caption& c, std::function<void(const QString&)> setter) {
    setter(text(c));
    texts_.emplace_back(c, std::move(setter));
}

void EditorTexts::apply() const {
    for (const auto& [caption, set] : texts_)
        set(text(caption));
}

} // namespace vm::editors
