// Controls that show text: number and text boxes with the Enter commit, value labels.

#include "Adapters.h"

#include "../ScrollDisplay.h"
#include "../widgets/CommitLineEdit.h"

#include "Display.h"

#include <QLabel>

namespace vm::editors {

QWidget* BoxAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    auto* edit = new CommitLineEdit(container);
    edit->setFlashMs(env.flashMs);
    edit->setBlocked(env.loading);
    edit->setMaximumWidth(bc.binding.kind == ControlKind::NumberBox ? 90 : 240);
    edit->setEmptyOnFocus(bc.binding.emptyOnFocus);
    return edit;
}

void BoxAdapter::show(BoundControl& bc, const Shown& v) const {
    auto* edit = static_cast<CommitLineEdit*>(bc.widget);
    edit->showCommitted(bc.binding.kind == ControlKind::TextBox ? v.text
                                                                : QString::fromStdString(PlainNumberText(v.stored)));
}

std::optional<int> BoxAdapter::read(const BoundControl&) const {
    return std::nullopt; // a box commits its typed text (see onUserChange)
}

void BoxAdapter::onUserChange(BoundControl& bc, QObject* context,
                              std::function<void(const QString&)> changed) const {
    QObject::connect(static_cast<CommitLineEdit*>(bc.widget), &CommitLineEdit::commitRequested, context,
                     std::move(changed));
}

QWidget* LabelAdapter::create(BoundControl&, QWidget* container, const AdapterEnv&) const {
    auto* label = new QLabel(container);
    label->setMinimumWidth(44);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

void LabelAdapter::show(BoundControl& bc, const Shown& v) const {
    static_cast<QLabel*>(bc.widget)->setText(formatStored(bc.binding.label, v.stored, v.decimals));
}

std::optional<int> LabelAdapter::read(const BoundControl&) const {
    return std::nullopt;
}

void LabelAdapter::onUserChange(BoundControl&, QObject*, std::function<void(const QString&)>) const {}

} // namespace vm::editors
