#include "ToggleSwitch.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vm::editors {

namespace {
constexpr int kLeverWidth = 18;
constexpr int kLeverHeight = 34;
constexpr int kGap = 6;
} // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToggleSwitch::setPositionTexts(const QString& off, const QString& on) {
    offText_ = off;
    onText_ = on;
    updateGeometry();
    update();
}

QSize ToggleSwitch::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int textWidth = std::max(fm.horizontalAdvance(offText_), fm.horizontalAdvance(onText_));
    return {kLeverWidth + kGap + textWidth + 4, std::max(kLeverHeight, 2 * fm.height()) + 2};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool on = isChecked();
    const QRect slot(1, (height() - kLeverHeight) / 2, kLeverWidth, kLeverHeight);
    p.setPen(palette().color(QPalette::Dark));
    p.setBrush(isEnabled() ? palette().color(QPalette::Base) : palette().color(QPalette::Window));
    p.drawRoundedRect(slot, 4, 4);

    // The lever sits in the upper half when on, in the lower half when off.
    QRect lever(slot.left() + 2, slot.top() + 2, slot.width() - 4, slot.height() / 2 - 2);
    if (!on) lever.moveTop(slot.center().y() + 1);
    const QColor leverColour = !isEnabled() ? palette().color(QPalette::Mid)
                               : on         ? QColor(0, 150, 0)
                                            : palette().color(QPalette::Button).darker(130);
    p.setBrush(leverColour);
    p.drawRoundedRect(lever, 3, 3);

    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int textLeft = slot.right() + kGap;
    const QRect upper(textLeft, slot.top(), width() - textLeft, slot.height() / 2);
    const QRect lower(textLeft, slot.center().y(), width() - textLeft, slot.height() / 2);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(on ? bold : font());
    p.drawText(upper, Qt::AlignLeft | Qt::AlignVCenter, onText_);
    p.setFont(on ? font() : bold);
    p.drawText(lower, Qt::AlignLeft | Qt::AlignVCenter, offText_);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

} // namespace vm::editors
