#pragma once
// FrmCompare: the open configuration, or the board while connected, against a configuration file: only
// the parameters that differ, by index, name and the window that shows them, with the value here and in
// the file. A double click on a row (or Take) takes the file's value of the selected rows, Take all of
// every row; the values are written as the editors write them. Connected, the board's memory is read
// first (and again with Read board), so that the comparison is the board's.

#include "EditorContext.h"
#include "ParamTableModel.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTableView;

namespace vm::app {

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the board's memory into the configuration image and then calls back (ok, why not).
    using BoardRead = std::function<void(std::function<void(bool, const QString&)>)>;

    CompareWindow(editors::EditorContext& ctx, BoardRead readBoard, QWidget* parent = nullptr);

    QTableView* table() const { return table_; }

private:
    void chooseFile();
    void readBoard();
    void take(const QList<int>& sourceRows);
    void refresh();

    editors::EditorContext& ctx_;
    BoardRead readBoard_;
    ParamTableModel* model_;
    ParamFilter* filter_;
    QTableView* table_;
    QLabel* status_;
    QPushButton* takeButton_;
    QPushButton* takeAllButton_;
    QPushButton* readButton_;
    bool reading_ = false;
};

} // namespace vm::app
