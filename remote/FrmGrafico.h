#pragma once
// The live temperature chart: the measured boiler and cold-unit temperatures of the coupled units, read
// from the board while connected and sampled at the configured period, over a moving time axis. Sampling
// can be paused; the samples taken since the window opened are exported to a CSV file.

#include "ChartSettings.h"
#include "EditorBase.h"
#include "WatchSet.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <array>
#include <deque>
#include <optional>
#include <vector>

class QChart;
class QLabel;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;

namespace vm::remote {

class FrmGrafico : public editors::EditorBase {
    Q_OBJECT
public:
    FrmGrafico(editors::EditorContext& ctx, QWidget* parent = nullptr);

    // The settings changed (the chart configuration window): the series, the span and the period follow.
    void applySettings(const ChartSettings& settings);

    struct Sample {
        double seconds; // since the recording started
        QDateTime at;
        std::array<std::optional<double>, kTemperatureSeries.size()> celsius;
    };
    // The newest samples, oldest first: at most kMaxSamples, a day at one a second.
    static constexpr std::size_t kMaxSamples = 86400;
    const std::deque<Sample>& samples() const { return samples_; }
    // Takes one sample of the latest values now (the sampling timer does this at every period).
    void takeSample();
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Writes every sample to a CSV file; empty on success, otherwise why not.
    QString exportTo(const QString& path);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    void rebuildSeries();
    // Watches the shown series (online) or releases them.
    void watchSeries(bool watch);
    void updateAxes(double now);
    void showStatus();
    void exportClicked();

    ChartSettings settings_;
    std::vector<std::size_t> active_; // kTemperatureSeries positions shown
    std::array<std::optional<double>, kTemperatureSeries.size()> latest_{};
    std::array<QLineSeries*, kTemperatureSeries.size()> lines_{};
    std::array<QLabel*, kTemperatureSeries.size()> values_{};
    std::deque<Sample> samples_; // a ring: the oldest sample goes without moving the others
    QElapsedTimer clock_;
    bool paused_ = false;
    WatchSet seriesWatch_;
    QChart* chart_ = nullptr;
    QValueAxis* timeAxis_ = nullptr;
    QValueAxis* degreeAxis_ = nullptr;
    QTimer* sampler_ = nullptr;
    QPushButton* pause_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace vm::remote
