#pragma once
// Every visible text of a window with the caption it comes from, so that retranslate can set them all
// again from the language table.

#include "Binding.h"

#include <functional>
#include <utility>
#include <vector>

namespace vm::editors {

class EditorTexts {
public:
    explicit EditorTexts(const Messages& messages) : messages_(messages) {}

    // Sets the text at once and again at every apply().
    void add(const Caption& c, std::function<void(const QString&)> setter);
    void apply() const;
    QString text(const Caption& c) const { return c.text(messages_); }

private:
    const Messages& messages_;
    std::vector<std::pair<Caption, std::function<void(const QString&)>>> texts_;
};

} // namespace vm::editors
