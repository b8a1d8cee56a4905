#pragma once
// The live monitor: the technician picks parameters by index or by name and watches their values come in
// from the board, with the time each last changed. Watching starts and stops from the window.

#include "EditorBase.h"
#include "WatchSet.h"

#include <QString>
#include <QTime>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace vm::remote {

class FrmInOut : public editors::EditorBase {
    Q_OBJECT
public:
    FrmInOut(editors::EditorContext& ctx, QWidget* parent = nullptr);

    // The parameter a text names: an index, or a name (a whole name, or a part of only one name).
    // Empty with `why` set when it names none or several.
    static std::optional<int> lookUp(const QString& text, QString& why);

    void addParameter(const QString& text);
    void start();
    void stop();
    bool running() const { return running_; }

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    struct Row {
        int index;
        std::optional<ParamData> value;
    };
    void watchRow(const Row& row);
    void refreshOnce();
    void showRunning();

    std::vector<Row> rows_;
    bool running_ = false;
    QLineEdit* entry_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    WatchSet rowWatch_; // the rows' parameters while the monitor runs
};

} // namespace vm::remote
