#pragma once
// Reads a set of the board's values once, as an open window would: watches them, takes each as the link
// delivers it (or at once when another window keeps it read), and calls back when all have arrived or the
// time is up; then it releases them and deletes itself.

#include "Delivery.h"
#include "FormList.h"
#include "ProgramState.h"
#include "WatchSet.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

namespace vm::app {

class CounterRead : public QObject, public DeliveryTarget {
    Q_OBJECT
public:
    // The values that arrived, in the order asked for.
    using Done = std::function<void(const std::vector<std::pair<int, double>>& values)>;

    CounterRead(ProgramState& state, FormList& forms, std::vector<int> params, int limitMs, Done done,
                QObject* parent = nullptr);
    ~CounterRead() override;

    void deliver(int index, const ParamData& value) override;

private:
    void finish();

    ProgramState& state_;
    FormList& forms_;
    std::vector<int> params_;
    WatchSet watch_; // released at the end, or when the read is dropped unfinished
    std::map<int, double> values_;
    Done done_;
    QTimer limit_;
    bool finished_ = false;
};

} // namespace vm::app
