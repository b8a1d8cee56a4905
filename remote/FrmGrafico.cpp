#include "FrmGrafico.h"

#include "CsvFile.h"

#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vm::remote {

using editors::Caption;

namespace {
QString degrees(double celsius) {
    return QString::number(celsius, 'f', 1);
}
} // namespace

FrmGrafico::FrmGrafico(editors::EditorContext& ctx, QWidget* parent)
    : EditorBase(ctx, parent), settings_(CurrentChartSettings(ctx.hooks)), seriesWatch_(ctx.state) {
    setup(editors::EditorDefinition(QStringLiteral("FrmGrafico"), Caption("Grafico Temperature")));
    clock_.start();
    rebuildSeries();
}

void FrmGrafico::buildExtra() {
    QWidget* form = page(-1);
    chart_ = new QChart();
    chart_->legend()->setAlignment(Qt::AlignBottom);
    timeAxis_ = new QValueAxis(chart_);
    timeAxis_->setTitleText(QStringLiteral("Tempo (s)"));
    timeAxis_->setLabelFormat(QStringLiteral("%d"));
    degreeAxis_ = new QValueAxis(chart_);
    degreeAxis_->setTitleText(QStringLiteral("°C"));
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(degreeAxis_, Qt::AlignLeft);
    auto* view = new QChartView(chart_, form); // owns the chart
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(640, 360);
    registerControl(QStringLiteral("Chart1"), 0, view);
    addRow(form, nullptr, view);

    auto* readings = new QWidget(form);
    auto* grid = new QGridLayout(readings);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < kTemperatureSeries.size(); ++i) {
        values_[i] = new QLabel(readings);
        registerControl(QStringLiteral("Label2"), static_cast<int>(i), values_[i]);
        grid->addWidget(values_[i], static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    addRow(form, nullptr, readings);

    auto* buttons = new QWidget(form);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    pause_ = addButton(QStringLiteral("Command1"), 0, Caption("Pausa"), buttons, [this] { setPaused(!paused_); });
    row->addWidget(pause_);
    row->addWidget(
        addButton(QStringLiteral("Command2"), 0, Caption("Esporta CSV"), buttons, [this] { exportClicked(); }));
    row->addWidget(addButton(QStringLiteral("Command3"), 0, Caption("Configura"), buttons, [this] {
        if (context().hooks) context().hooks->openForm(QStringLiteral("frmConfGrafico"));
    }));
    row->addStretch();
    addRow(form, nullptr, buttons);
    status_ = new QLabel(form);
    registerControl(QStringLiteral("Label1"), 0, status_);
    addRow(form, nullptr, status_);

    sampler_ = new QTimer(this);
    connect(sampler_, &QTimer::timeout, this, [this] {
        if (!isClosed() && !paused_) takeSample();
    });
}

void FrmGrafico::watchSeries(bool watch) {
    if (!watch) return seriesWatch_.release();
    std::vector<int> params;
    for (std::size_t i : active_)
        params.push_back(kTemperatureSeries[i].param);
    seriesWatch_.watch(params);
}

void FrmGrafico::rebuildSeries() {
    watchSeries(false);
    for (QLineSeries*& line : lines_)
        if (line) {
            chart_->removeSeries(line);
            delete line;
            line = nullptr;
        }
    active_.clear();
    latest_ = {};
    samples_.clear();
    for (std::size_t i = 0; i < kTemperatureSeries.size(); ++i) {
        const bool shown = settings_.shows(i) && SeriesFitted(kTemperatureSeries[i], state());
        values_[i]->setVisible(shown);
        values_[i]->setText(QString::fromUtf8(kTemperatureSeries[i].caption) + QStringLiteral(": -"));
        if (!shown) continue;
        active_.push_back(i);
        auto* line = new QLineSeries();
        line->setName(QString::fromUtf8(kTemperatureSeries[i].caption));
        chart_->addSeries(line);
        line->attachAxis(timeAxis_);
        line->attachAxis(degreeAxis_);
        lines_[i] = line;
    }
    clock_.restart();
    updateAxes(0);
    sampler_->start(settings_.sampleMs);
    // Values come only from a board; offline the chart stays empty.
    if (context().state.Online) watchSeries(true);
    showStatus();
}

void FrmGrafico::applySettings(const ChartSettings& settings) {
    const bool newSeries = settings.seriesMask != settings_.seriesMask;
    settings_ = settings;
    if (newSeries) {
        rebuildSeries();
        return;
    }
    sampler_->start(settings_.sampleMs);
    updateAxes(static_cast<double>(clock_.elapsed()) / 1000.0);
}

void FrmGrafico::afterDelivery(int index, const ParamData& value) {
    const double* tenths = std::get_if<double>(&value);
    if (!tenths || !context().state.Online) return;
    for (std::size_t i : active_)
        if (kTemperatureSeries[i].param == index) {
            latest_[i] = *tenths / 10.0;
            values_[i]->setText(QString::fromUtf8(kTemperatureSeries[i].caption) + QStringLiteral(": ") +
                                degrees(*latest_[i]) + QStringLiteral(" °C"));
        }
}

void FrmGrafico::takeSample() {
    if (std::none_of(active_.begin(), active_.end(), [&](std::size_t i) { return latest_[i].has_value(); }))
        return; // nothing has arrived yet
    const double now = static_cast<double>(clock_.elapsed()) / 1000.0;
    Sample sample{now, QDateTime::currentDateTime(), {}};
    for (std::size_t i : active_) {
        sample.celsius[i] = latest_[i];
        if (!latest_[i]) continue;
        lines_[i]->append(now, *latest_[i]);
        // The chart holds the span only; the samples keep everything for the export.
        while (lines_[i]->count() > 0 && lines_[i]->at(0).x() < now - settings_.spanSeconds)
            lines_[i]->remove(0);
    }
    if (samples_.size() == kMaxSamples) samples_.pop_front();
    samples_.push_back(std::move(sample));
    updateAxes(now);
    showStatus();
}

void FrmGrafico::updateAxes(double now) {
    const double span = settings_.spanSeconds;
    timeAxis_->setRange(std::max(0.0, now - span), std::max(span, now));
    double low = 0, high = 0;
    bool any = false;
    for (std::size_t i : active_)
        for (const QPointF& p : lines_[i]->points()) {
            low = any ? std::min(low, p.y()) : p.y();
            high = any ? std::max(high, p.y()) : p.y();
            any = true;
        }
    if (!any) {
        degreeAxis_->setRange(0, 100);
        return;
    }
    // Whole degrees with a margin, so that a steady temperature does not look like a storm.
    degreeAxis_->setRange(std::floor(low) - 2, std::ceil(high) + 2);
    degreeAxis_->applyNiceNumbers();
}

void FrmGrafico::setPaused(bool paused) {
    paused_ = paused;
    pause_->setText(paused_ ? QStringLiteral("Riprendi") : QStringLiteral("Pausa"));
    showStatus();
}

void FrmGrafico::showStatus() {
    QString text;
    if (!context().state.Online)
        text = QStringLiteral("Non connesso");
    else if (active_.empty())
        text = QStringLiteral("Nessuna temperatura da mostrare");
    else
        text = QStringLiteral("%1 campioni%2").arg(samples_.size()).arg(paused_ ? QStringLiteral(" - in pausa") : QString());
    status_->setText(text);
}

QString FrmGrafico::exportTo(const QString& path) {
    // The values that arrived since the last sample count too.
    if (samples_.empty() && !paused_) takeSample();
    QStringList header = {QStringLiteral("Tempo (s)"), QStringLiteral("Ora")};
    for (std::size_t i : active_)
        header.append(QString::fromUtf8(kTemperatureSeries[i].caption));
    std::vector<QStringList> rows;
    rows.reserve(samples_.size());
    for (const Sample& s : samples_) {
        QStringList fields = {QString::number(s.seconds, 'f', 1), s.at.toString(QStringLiteral("HH:mm:ss"))};
        for (std::size_t i : active_)
            fields.append(s.celsius[i] ? degrees(*s.celsius[i]) : QString());
        rows.push_back(fields);
    }
    return editors::writeCsv(path, header, rows);
}

void FrmGrafico::exportClicked() {
    const QString path =
        chooseFile(true, QStringLiteral("Esporta CSV"), QStringLiteral("CSV (*.csv)"), QStringLiteral("temperature.csv"));
    if (path.isEmpty()) return;
    if (const QString error = exportTo(path); !error.isEmpty()) {
        showError(QStringLiteral("Chart samples not written: %1 (%2)").arg(path, error));
        return;
    }
    status_->setText(QStringLiteral("Salvato: %1").arg(path));
}

void FrmGrafico::formUnload() {
    sampler_->stop();
    watchSeries(false);
}

} // namespace vm::remote
