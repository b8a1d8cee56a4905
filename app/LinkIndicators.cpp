#include "LinkIndicators.h"

#include <QPainter>

namespace vm::app {

IndicatorChange IndicatorFor(link::LinkLamp lamp) {
    using link::LinkLamp;
    switch (lamp) {
    case LinkLamp::SendDark:
        return {Indicator::Send, false};
    case LinkLamp::SendLit:
        return {Indicator::Send, true};
    case LinkLamp::ReceiveDark:
        return {Indicator::Receive, false};
    case LinkLamp::ReceiveLit:
        return {Indicator::Receive, true};
    case LinkLamp::FaultDark:
        return {Indicator::Error, false};
    case LinkLamp::FaultLit:
        break;
    }
    return {Indicator::Error, true};
}

QPixmap IndicatorPicture(Indicator panel, bool active) {
    constexpr int kSize = 18;
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    static const QColor kOn[] = {QColor(40, 170, 60), QColor(230, 170, 20), QColor(210, 40, 40)};
    const QColor fill = active ? kOn[static_cast<int>(panel)] : QColor(200, 200, 200);
    painter.setPen(QPen(fill.darker(160), 1));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(1.5, 1.5, kSize - 3, kSize - 3));
    static const char* kLetters[] = {"T", "R", "E"};
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(active ? Qt::white : QColor(110, 110, 110));
    painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, kLetters[static_cast<int>(panel)]);
    return picture;
}

void LinkIndicators::attach(std::array<QLabel*, 3> labels) {
    labels_ = labels;
    for (int i = 0; i < 3; ++i)
        paint(static_cast<Indicator>(i));
}

bool LinkIndicators::show(link::LinkLamp lamp) {
    const IndicatorChange change = IndicatorFor(lamp);
    const int i = static_cast<int>(change.panel);
    if (active_[i] == change.active) return false;
    active_[i] = change.active;
    paint(change.panel);
    return true;
}

void LinkIndicators::paint(Indicator panel) {
    QLabel* label = labels_[static_cast<int>(panel)];
    if (label) label->setPixmap(IndicatorPicture(panel, active_[static_cast<int>(panel)]));
}

} // namespace vm::app
