#pragma once
// FrmBrowse: every parameter of the catalogue in one table, with a text filter, the values of a chosen
// configuration file beside them ("changed only" shows the differing ones), a double click that opens the
// editor window showing the parameter with its control focused, and values edited in place. While
// connected the rows on screen are watched, so their values come live from the board.

#include "EditorContext.h"
#include "ParamTableModel.h"
#include "WatchSet.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace vm::app {

class ParamBrowser : public QWidget, public DeliveryTarget {
    Q_OBJECT
public:
    explicit ParamBrowser(editors::EditorContext& ctx, QWidget* parent = nullptr);
    ~ParamBrowser() override;

    void deliver(int index, const ParamData& value) override;
    QTableView* table() const { return table_; }
    ParamTableModel* model() const { return model_; }
    ParamFilter* filter() const { return filter_; }

private:
    void chooseFile();
    void openEditorOf(const QModelIndex& proxyIndex);
    void scheduleWatchUpdate();
    void updateWatches();
    void releaseWatches();
    void closeEvent(QCloseEvent* event) override;

    editors::EditorContext& ctx_;
    ParamTableModel* model_;
    ParamFilter* filter_;
    QTableView* table_;
    QLineEdit* filterText_;
    QCheckBox* changedOnly_;
    QLabel* fileLabel_;
    WatchSet watch_; // the rows in view, online
    bool watchUpdateQueued_ = false;
    bool closed_ = false;
};

// Opens the editor window of a place and focuses its control (bringing its tab page to the front).
// Returns false when there is no such window.
bool OpenEditorAt(editors::MainWindowHooks& hooks, const EditorPlace& place);
// Shows a refusal or a failure of these windows in a message box.
void ShowParamError(QWidget* parent, const QString& text);
// Asks for a configuration file to compare with and reads it; false when cancelled or unreadable (the
// error is shown).
bool ChooseReferenceFile(editors::MainWindowHooks* hooks, QWidget* parent, QString& path,
                         ConfigFileData& data);

} // namespace vm::app
