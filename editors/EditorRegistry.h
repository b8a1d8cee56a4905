#pragma once
// The editor windows the main window can open, by form name.

#include "EditorContext.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace vm::editors {

class EditorBase;

struct EditorEntry {
    QString formName; // e.g. "FrmItemNumber"
    std::function<EditorBase*(EditorContext&, QWidget* parent)> create;
};

// Every editor window that exists, machine editors first, then commercial and audit windows, then the
// windows of the layers above that registered themselves.
const std::vector<EditorEntry>& editorEntries();
// Adds the windows of a layer above this one (remote/, diagnostics); an entry whose form name is listed
// already is skipped, so registering twice is harmless.
void addEditorEntries(std::vector<EditorEntry> entries);

// A new, loaded instance of the window, or nullptr when no window of that name exists yet. The caller owns
// it and keeps one instance per window; closing it releases its parameters, deleting it finishes the job.
EditorBase* createEditor(const QString& formName, EditorContext& ctx, QWidget* parent = nullptr);

// Keeps one instance of each window for the main window: open() gives the open instance, or creates and
// loads a new one when there is none (never opened, deleted, or closed).
class EditorInstances {
public:
    // nullptr when no window of that name exists. `created` tells whether a new instance was made.
    EditorBase* open(const QString& formName, EditorContext& ctx, QWidget* parent = nullptr,
                     bool* created = nullptr);
    // The open instance, or nullptr.
    EditorBase* find(const QString& formName) const;

private:
    std::map<QString, QPointer<EditorBase>> instances_;
};

// Helper for the per-folder lists: an entry that creates `Editor` (constructor (EditorContext&, QWidget*)).
template <class Editor> EditorEntry editorEntry(const QString& formName) {
    return {formName,
            [](EditorContext& ctx, QWidget* parent) -> EditorBase* { return new Editor(ctx, parent); }};
}

} // namespace vm::editors
