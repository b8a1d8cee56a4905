#include "EditorPlaces.h"

#include "EditorBase.h"
#include "EditorRegistry.h"

#include <memory>

namespace vm::app {

const std::vector<EditorPlace>& EditorPlaces(const ProgramState& state, const Messages& messages) {
    static const std::vector<EditorPlace> places = [&] {
        std::vector<EditorPlace> found(kParamIndexCount);
        // A scratch copy offline: the windows watch nothing on the board and write nothing anywhere.
        auto scratch = std::make_unique<ProgramState>(state);
        scratch->Online = false;
        FormList forms;
        editors::EditorContext ctx{*scratch, messages, forms, nullptr};
        for (const editors::EditorEntry& entry : editors::editorEntries()) {
            std::unique_ptr<editors::EditorBase> editor(entry.create(ctx, nullptr));
            if (!editor) continue;
            for (const editors::BindingInfo& b : editor->bindingInfo())
                for (int index : {b.index, b.mirror})
                    if (index > 0 && index < kParamIndexCount && found[index].form.isEmpty())
                        found[index] = {entry.formName, b.control, b.controlIndex};
            editor->close();
        }
        return found;
    }();
    return places;
}

} // namespace vm::app
