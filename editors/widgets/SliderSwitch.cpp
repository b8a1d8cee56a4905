#include "SliderSwitch.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vm::editors {

namespace {
constexpr int kTrackWidth = 14;
constexpr int kGap = 6;
} // namespace

SliderSwitch::SliderSwitch(QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(Qt::Vertical);
    setInvertedControls(true); // arrow down moves to the next position below
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setPositions({QStringLiteral("0"), QStringLiteral("1")});
}

void SliderSwitch::setPositions(const QStringList& texts) {
    positions_ = texts.isEmpty() ? QStringList{QString()} : texts;
    setRange(0, static_cast<int>(positions_.size()) - 1);
    setSingleStep(1);
    setPageStep(1);
    updateGeometry();
    update();
}

int SliderSwitch::rowHeight() const {
    return fontMetrics().height() + 2;
}

QSize SliderSwitch::sizeHint() const {
    int textWidth = 0;
    for (const QString& t : positions_)
        textWidth = std::max(textWidth, fontMetrics().horizontalAdvance(t));
    return {kTrackWidth + kGap + textWidth + 4, rowHeight() * static_cast<int>(positions_.size()) + 2};
}

void SliderSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int rows = static_cast<int>(positions_.size());
    const int rh = rowHeight();
    const QRect track(1, 1, kTrackWidth, rows * rh);
    p.setPen(palette().color(QPalette::Dark));
    p.setBrush(isEnabled() ? palette().color(QPalette::Base) : palette().color(QPalette::Window));
    p.drawRoundedRect(track, 4, 4);

    const QRect knob(track.left() + 2, track.top() + value() * rh + 2, kTrackWidth - 4, rh - 4);
    p.setBrush(isEnabled() ? QColor(0, 120, 200) : palette().color(QPalette::Mid));
    p.drawRoundedRect(knob, 3, 3);

    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < rows; ++i) {
        p.setFont(i == value() ? bold : font());
        const QRect row(track.right() + kGap, track.top() + i * rh, width() - track.right() - kGap, rh);
        p.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, positions_[i]);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void SliderSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractSlider::mousePressEvent(event);
    const int row = static_cast<int>(event->position().y() - 1) / rowHeight();
    setValue(std::clamp(row, minimum(), maximum()));
    event->accept();
}

} // namespace vm::editors
