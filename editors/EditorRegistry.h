#pragma once
// The editor windows the main window can open, by form name.

#include "EditorContext.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace vm::editors {

class EditorBase;

struct EditorEntry {
    QString formName; // e.g. "FrmItemNumber"
    std::function<EditorBase*(EditorContext&, QWidget* parent)> create;
};

// Every editor window that exists, machine editors first, then commercial and audit windows.
const std::vector<EditorEntry>& editorEntries();

// A new, loaded instance of the window, or nullptr when no window of that name exists yet. The caller owns
// it and keeps one instance per window; closing it releases its parameters, deleting it finishes the job.
EditorBase* createEditor(const QString& formName, EditorContext& ctx, QWidget* parent = nullptr);

// Helper for the per-folder lists: an entry that creates `Editor` (constructor (EditorContext&, QWidget*)).
template <class Editor> EditorEntry editorEntry(const QString& formName) {
    return {formName,
            [](EditorContext& ctx, QWidget* parent) -> EditorBase* { return new Editor(ctx, parent); }};
}

} // namespace vm::editors
