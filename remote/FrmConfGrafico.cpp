#include "FrmConfGrafico.h"

#include "FrmGrafico.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace vm::remote {

using editors::Caption;

namespace {
// The entry whose value is nearest to `value` (a file edited by hand may hold any value in range).
template <std::size_t N> int nearest(const std::array<int, N>& choices, int value) {
    const auto it = std::min_element(choices.begin(), choices.end(),
                                     [&](int a, int b) { return std::abs(a - value) < std::abs(b - value); });
    return static_cast<int>(it - choices.begin());
}
} // namespace

FrmConfGrafico::FrmConfGrafico(editors::EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    setup(editors::EditorDefinition(QStringLiteral("frmConfGrafico"), Caption("Configurazione Grafica")));
    showSettings(CurrentChartSettings(ctx.hooks));
}

void FrmConfGrafico::buildExtra() {
    QWidget* form = page(-1);
    auto* box = new QGroupBox(QStringLiteral("Temperature"), form);
    auto* column = new QVBoxLayout(box);
    for (std::size_t i = 0; i < series_.size(); ++i) {
        series_[i] = new QCheckBox(QString::fromUtf8(kTemperatureSeries[i].caption), box);
        registerControl(QStringLiteral("Check1"), static_cast<int>(i), series_[i]);
        connect(series_[i], &QCheckBox::toggled, this, [this] { changed(); });
        column->addWidget(series_[i]);
    }
    addRow(form, nullptr, box);

    span_ = new QComboBox(form);
    registerControl(QStringLiteral("Combo1"), 0, span_);
    for (int seconds : kSpans)
        span_->addItem(seconds < 60 ? QStringLiteral("%1 s").arg(seconds) : QStringLiteral("%1 min").arg(seconds / 60));
    connect(span_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    addRow(form, captionLabel(Caption("Durata asse tempo"), form), span_);

    period_ = new QComboBox(form);
    registerControl(QStringLiteral("Combo2"), 0, period_);
    for (int ms : kPeriods)
        period_->addItem(QStringLiteral("%1 s").arg(ms / 1000.0));
    connect(period_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    addRow(form, captionLabel(Caption("Periodo di campionamento"), form), period_);
}

void FrmConfGrafico::showSettings(const ChartSettings& settings) {
    showing_ = true;
    for (std::size_t i = 0; i < series_.size(); ++i)
        series_[i]->setChecked(settings.shows(i));
    span_->setCurrentIndex(nearest(kSpans, settings.spanSeconds));
    period_->setCurrentIndex(nearest(kPeriods, settings.sampleMs));
    showing_ = false;
}

void FrmConfGrafico::changed() {
    if (showing_) return;
    ChartSettings settings;
    settings.seriesMask = 0;
    for (std::size_t i = 0; i < series_.size(); ++i)
        if (series_[i]->isChecked()) settings.seriesMask |= static_cast<std::uint8_t>(1u << i);
    settings.spanSeconds = kSpans[static_cast<std::size_t>(std::max(0, span_->currentIndex()))];
    settings.sampleMs = kPeriods[static_cast<std::size_t>(std::max(0, period_->currentIndex()))];
    if (const std::string error = StoreChartSettings(context().hooks, settings); !error.empty())
        showError(QStringLiteral("Chart settings not saved: %1").arg(QString::fromStdString(error)));
    for (DeliveryTarget* form : context().forms.forms())
        if (auto* chart = dynamic_cast<FrmGrafico*>(form)) chart->applySettings(settings);
}

} // namespace vm::remote
