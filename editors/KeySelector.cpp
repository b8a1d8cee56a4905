#include "KeySelector.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

KeySelector::KeySelector(QWidget* parent, Range range, std::function<void(int)> changed, KeyText keyText)
    : QObject(parent), bar_(new QScrollBar(Qt::Horizontal, parent)), label_(new QLabel(parent)),
      changed_(std::move(changed)), keyText_(std::move(keyText)) {
    if (!keyText_) keyText_ = [](int key) { return QString::number(key); };
    bar_->setRange(range.first, range.last);
    bar_->setPageStep(range.pageStep);
    label_->setFrameShape(QFrame::Panel);
    label_->setFrameShadow(QFrame::Sunken);
    label_->setMinimumWidth(44);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_->setText(keyText_(bar_->value()));
    connect(bar_, &QScrollBar::valueChanged, this, &KeySelector::moved);
}

QWidget* KeySelector::inRow(QLabel* caption) {
    auto* row = new QWidget(bar_->parentWidget());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(bar_, 1);
    layout->addWidget(label_);
    return row;
}

int KeySelector::key() const {
    return bar_->value();
}

bool KeySelector::offers(int key) const {
    return key >= bar_->minimum() && key <= bar_->maximum();
}

void KeySelector::choose(int key) {
    if (offers(key)) bar_->setValue(key);
}

void KeySelector::moved(int key) {
    label_->setText(keyText_(key));
    if (changed_) changed_(key);
}

} // namespace vm::editors
