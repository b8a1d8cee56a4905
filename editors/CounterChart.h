#pragma once
// A bar chart of a view's counters: one bar per counter, updated as each value arrives.

#include <QStringList>
#include <QtCharts/QChartView>

#include <map>

class QBarSet;
class QValueAxis;

namespace vm::editors {

class CounterChart : public QChartView {
    Q_OBJECT
public:
    // One bar per category, all at 0 until their values arrive.
    CounterChart(const QString& title, const QStringList& categories, QWidget* parent = nullptr);

    void setValue(int bar, double value);
    double value(int bar) const;
    int count() const;

    // Places the chart right of the rows of a page or frame laid out by the editor base, over all its rows.
    static CounterChart* besideRows(QWidget* container, const QString& title, const QStringList& categories);

private:
    QBarSet* set_ = nullptr;
    QValueAxis* axis_ = nullptr;
};

// Which bar of which chart shows a parameter; a delivered value goes to all of them.
class ChartBars {
public:
    void add(int index, CounterChart* chart, int bar) { bars_.emplace(index, Bar{chart, bar}); }
    void show(int index, double value) const {
        const auto [first, last] = bars_.equal_range(index);
        for (auto it = first; it != last; ++it)
            it->second.chart->setValue(it->second.bar, value);
    }

private:
    struct Bar {
        CounterChart* chart;
        int bar;
    };
    std::multimap<int, Bar> bars_;
};

} // namespace vm::editors
