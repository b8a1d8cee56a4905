// The one place where a binding's kind picks its adapter.

#include "Adapters.h"

#include <QWidget>

namespace vm::editors {

void ControlAdapter::setUsable(BoundControl& bc, bool usable, const QString& toolTip) const {
    if (bc.widget->testAttribute(Qt::WA_ForceDisabled) == usable) bc.widget->setEnabled(usable);
    if (bc.widget->toolTip() != toolTip) bc.widget->setToolTip(toolTip);
}

void ControlAdapter::showToolTip(BoundControl& bc, const QString& toolTip) const {
    if (bc.widget->toolTip() != toolTip) bc.widget->setToolTip(toolTip);
}

QString ControlAdapter::shownToolTip(const BoundControl& bc) const {
    return bc.widget->toolTip();
}

const ControlAdapter& adapterFor(ControlKind kind) {
    static const ScrollAdapter scroll;
    static const TwoStateAdapter twoState;
    static const OptionAdapter option;
    static const PositionAdapter position;
    static const BoxAdapter box;
    static const LabelAdapter label;
    static const ListRowAdapter listRow;
    static const CommandAdapter command;
    switch (kind) {
    case ControlKind::ScrollBar: return scroll;
    case ControlKind::Toggle:
    case ControlKind::CheckBox: return twoState;
    case ControlKind::Option: return option;
    case ControlKind::Slider:
    case ControlKind::Combo: return position;
    case ControlKind::NumberBox:
    case ControlKind::TextBox: return box;
    case ControlKind::ValueText: return label;
    case ControlKind::ListRow: return listRow;
    case ControlKind::Command: return command;
    }
    return label;
}

} // namespace vm::editors
