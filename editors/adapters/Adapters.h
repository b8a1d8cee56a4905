#pragma once
// The adapters of the control kinds (see ControlAdapter.h).

#include "../ControlAdapter.h"

namespace vm::editors {

#define VM_ADAPTER(Name, ...)                                                                                 \
    class Name final : public ControlAdapter {                                                             \
    public:                                                                                                \
        QWidget* create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const override;       \
        void show(BoundControl& bc, const Shown& value) const override;                                    \
        std::optional<int> read(const BoundControl& bc) const override;                                    \
        void onUserChange(BoundControl& bc, QObject* context,                                              \
                          std::function<void(const QString&)> changed) const override;                     \
        __VA_ARGS__                                                                                         \
    };

VM_ADAPTER(ScrollAdapter)    // scroll bar + value label: the scroll value
VM_ADAPTER(TwoStateAdapter)  // toggle switch or check box: on/off
VM_ADAPTER(OptionAdapter)    // option button of an exclusive array: chosen or not
VM_ADAPTER(PositionAdapter)  // slider switch or combo: the position
VM_ADAPTER(BoxAdapter)       // number or text box with the Enter commit
VM_ADAPTER(LabelAdapter)     // a label that shows the value
// a row of a list view with check boxes: the rows share the list, so each row is enabled on its own
VM_ADAPTER(ListRowAdapter, void setUsable(BoundControl& bc, bool usable, const QString& toolTip) const override;
           void showToolTip(BoundControl& bc, const QString& toolTip) const override;
           QString shownToolTip(const BoundControl& bc) const override;)
VM_ADAPTER(CommandAdapter)   // a command button

#undef VM_ADAPTER

} // namespace vm::editors
