// Scroll bars with their value label.

#include "Adapters.h"

#include "../ScrollDisplay.h"

#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

QWidget* ScrollAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv&) const {
    const Binding& b = bc.binding;
    auto* bar = new QScrollBar(Qt::Horizontal, container);
    bar->setRange(b.min, b.max);
    bar->setPageStep(std::max(1, b.largeStep));
    bar->setSingleStep(1);
    // Dragging writes once, when the thumb is released, not at every pixel.
    bar->setTracking(false);
    bar->setMinimumWidth(120);
    if (b.label != LabelFormat::None) {
        bc.label = new QLabel(container);
        bc.label->setMinimumWidth(44);
        bc.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        bc.label->setFrameShape(QFrame::Panel);
        bc.label->setFrameShadow(QFrame::Sunken);
    }
    return bar;
}

void ScrollAdapter::show(BoundControl& bc, const Shown& v) const {
    showScroll(*static_cast<QScrollBar*>(bc.widget), bc.label, bc.binding, v.stored, v.decimals);
}

std::optional<int> ScrollAdapter::read(const BoundControl& bc) const {
    return bc.binding.storedFromControl(static_cast<QScrollBar*>(bc.widget)->value());
}

void ScrollAdapter::onUserChange(BoundControl& bc, QObject* context,
                                 std::function<void(const QString&)> changed) const {
    QObject::connect(static_cast<QScrollBar*>(bc.widget), &QScrollBar::valueChanged, context,
                     [changed = std::move(changed)] { changed({}); });
}

} // namespace vm::editors
