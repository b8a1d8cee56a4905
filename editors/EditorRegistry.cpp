#include "EditorRegistry.h"

#include "EditorBase.h"
#include "audit/AuditEditors.h"
#include "commercial/CommercialEditors.h"
#include "machine/MachineEditors.h"

#include <algorithm>

namespace vm::editors {

namespace {
std::vector<EditorEntry>& registry() {
    static std::vector<EditorEntry> entries = [] {
        std::vector<EditorEntry> all = machineEditorEntries();
        for (auto* more : {&commercialEditorEntries, &auditEditorEntries}) {
            std::vector<EditorEntry> part = more();
            all.insert(all.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
        }
        return all;
    }();
    return entries;
}
} // namespace

const std::vector<EditorEntry>& editorEntries() {
    return registry();
}

void addEditorEntries(std::vector<EditorEntry> entries) {
    for (EditorEntry& entry : entries) {
        const bool listed = std::any_of(registry().begin(), registry().end(),
                                        [&](const EditorEntry& e) { return e.formName == entry.formName; });
        if (!listed) registry().push_back(std::move(entry));
    }
}

EditorBase* createEditor(const QString& formName, EditorContext& ctx, QWidget* parent) {
    for (const EditorEntry& entry : editorEntries())
        if (entry.formName.compare(formName, Qt::CaseInsensitive) == 0) return entry.create(ctx, parent);
    return nullptr;
}

EditorBase* EditorInstances::find(const QString& formName) const {
    const auto it = instances_.find(formName.toLower());
    if (it == instances_.end() || it->second.isNull() || it->second->isClosed()) return nullptr;
    return it->second.data();
}

EditorBase* EditorInstances::open(const QString& formName, EditorContext& ctx, QWidget* parent,
                                  bool* created) {
    if (created) *created = false;
    if (EditorBase* existing = find(formName)) return existing;
    QPointer<EditorBase>& slot = instances_[formName.toLower()];
    if (slot) slot->deleteLater(); // closed but not yet deleted by its owner
    EditorBase* editor = createEditor(formName, ctx, parent);
    slot = editor;
    if (created) *created = editor != nullptr;
    return editor;
}

} // namespace vm::editors
