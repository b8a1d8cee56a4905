#pragma once
// The shared shape of the sales and audit views: read-only labels of the board's live counters, read anew
// every 15 seconds while the window is open, empty offline (the configuration holds no counters), an
// "Export CSV" button for the values shown, an "Export EVA-DTS" button for the whole sales data, and optional
// bar charts that follow the delivered values.

#include "CounterChart.h"
#include "EditorBase.h"
#include "ParamNames.h"

namespace vm::editors {

class AuditView : public EditorBase {
public:
    static constexpr int kRewatchMs = 15000;
    // The decimal point of money values as the board delivers it (its twin is the configuration byte).
    static constexpr int kDecimalPoint = param::DecimalPointTwin, kDecimalPointTwin = param::DecimalPoint;
    // Parameters every vend-count view watches besides its counters: the coupling type and two unit options.
    static constexpr int kCouplingParams[] = {param::CouplingType, param::GeneralFlags, param::GeneralFlags2};

protected:
    AuditView(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {}

    // Declares the window a live view and builds it.
    void setupView(EditorDefinition d);
    // Custom controls of the view (charts), before the values load.
    virtual void buildView() {}

    ChartBars bars_;

private:
    void buildExtra() final;
    void afterDelivery(int index, const ParamData& value) final;
};

} // namespace vm::editors
