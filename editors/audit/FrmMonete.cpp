#include "FrmMonete.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
constexpr int kChannels = 16;

// Sixteen counts in Label2(0..15) under the frame "Contatori"; `name(i)` is the caption of channel i.
template <typename Name> EditorDefinition channelCounts(const char* form, const char* title, int first, Name name) {
    EditorDefinition d(QString::fromLatin1(form), Caption(title));
    auto counters = d.window().frame(QStringLiteral("Frame1"), Caption("Contatori"), 2);
    for (int i = 0; i < kChannels; ++i)
        counters.add(valueText("Label2", i, first + i).titled(Caption(name(i + 1))));
    return d;
}
} // namespace

FrmMonete::FrmMonete(EditorContext& ctx, QWidget* parent) : AuditView(ctx, parent) {
    setupView(channelCounts("FrmMonete", "Monete", param::CoinCount,
                            [](int n) { return QStringLiteral("MONETA  %1").arg(n); }));
}

// The number stands right-aligned in two places: "BANCONOTA   1" .. "BANCONOTA  16".
FrmBanconote::FrmBanconote(EditorContext& ctx, QWidget* parent) : AuditView(ctx, parent) {
    setupView(channelCounts("FrmBanconote", "Banconote", param::BanknoteCount,
                            [](int n) { return QStringLiteral("BANCONOTA  %1").arg(n, 2); }));
}

} // namespace vm::editors
