#pragma once
// The chart configuration: which measured temperatures the chart shows, the time span of its axis and the
// sampling period. Every change is kept at once and reaches an open chart.

#include "ChartSettings.h"
#include "EditorBase.h"

#include <array>

class QCheckBox;
class QComboBox;

namespace vm::remote {

class FrmConfGrafico : public editors::EditorBase {
    Q_OBJECT
public:
    FrmConfGrafico(editors::EditorContext& ctx, QWidget* parent = nullptr);

    // The choices of the two combos, in seconds and milliseconds.
    static constexpr std::array<int, 6> kSpans = {10, 60, 300, 600, 1800, 3600};
    static constexpr std::array<int, 6> kPeriods = {200, 500, 1000, 2000, 5000, 10000};

protected:
    void buildExtra() override;

private:
    void showSettings(const ChartSettings& settings);
    void changed();

    std::array<QCheckBox*, kTemperatureSeries.size()> series_{};
    QComboBox* span_ = nullptr;
    QComboBox* period_ = nullptr;
    bool showing_ = false;
};

} // namespace vm::remote
