#pragma once
// FrmChanges: the change log of the present configuration, newest first: when, which window and control,
// the parameter by its catalogue name, the old and the new value, and whether the board acknowledged it.
// It follows the log as edits, undos and the board's answers come.

#include "ChangeLog.h"
#include "ProgramState.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace vm::app {

class ChangesWindow : public QWidget, private ChangeLog::Listener {
    Q_OBJECT
public:
    enum Column { Time, Kind, Window, Control, Parameter, Old, New, Board, ColumnCount };

    ChangesWindow(const ProgramState& state, ChangeLog& log, QWidget* parent = nullptr);
    ~ChangesWindow() override;

    QTableWidget* table() const { return table_; }

private:
    void changeRecorded(const Change&) override { refresh(); }
    void changeAcknowledged(const Change&) override { refresh(); }
    void logStarted(int) override { refresh(); }
    void refresh();

    const ProgramState& state_;
    ChangeLog& log_;
    QLabel* status_;
    QTableWidget* table_;
};

} // namespace vm::app
