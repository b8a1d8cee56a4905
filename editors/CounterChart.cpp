#include "CounterChart.h"

#include <QFont>
#include <QGridLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace vm::editors {

// The view is built on its chart: a view made without one makes a default chart that it would not free.
CounterChart::CounterChart(const QString& title, const QStringList& categories, QWidget* parent)
    : QChartView(new QChart, parent), set_(new QBarSet(title)), axis_(new QValueAxis) {
    for (qsizetype i = 0; i < categories.size(); ++i)
        set_->append(0);
    auto* series = new QBarSeries;
    series->append(set_);
    QChart* chart = this->chart();
    chart->addSeries(series);
    chart->legend()->hide();
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    // Upright numbers side by side would overlap with 70 bars; turned, they fit in full.
    names->setLabelsAngle(-90);
    names->setTruncateLabels(false);
    QFont small = names->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    names->setLabelsFont(small);
    chart->addAxis(names, Qt::AlignBottom);
    series->attachAxis(names);
    axis_->setLabelFormat(QStringLiteral("%.0f"));
    axis_->setRange(0, 5);
    axis_->setTickCount(6);
    chart->addAxis(axis_, Qt::AlignLeft);
    series->attachAxis(axis_);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(380, 300);
}

// The scale runs to the next multiple of five above the highest bar, so the six ticks fall on whole counts.
void CounterChart::setValue(int bar, double value) {
    if (bar < 0 || bar >= set_->count()) return;
    set_->replace(bar, value);
    double highest = 0;
    for (int i = 0; i < set_->count(); ++i)
        highest = std::max(highest, set_->at(i));
    axis_->setRange(0, std::max(5.0, std::ceil(highest / 5) * 5));
}

double CounterChart::value(int bar) const {
    return bar >= 0 && bar < set_->count() ? set_->at(bar) : 0;
}

int CounterChart::count() const {
    return static_cast<int>(set_->count());
}

CounterChart* CounterChart::besideRows(QWidget* container, const QString& title, const QStringList& categories) {
    auto* chart = new CounterChart(title, categories, container);
    if (auto* grid = qobject_cast<QGridLayout*>(container->layout()))
        grid->addWidget(chart, 0, grid->columnCount(), std::max(1, grid->rowCount()), 1);
    return chart;
}

} // namespace vm::editors
