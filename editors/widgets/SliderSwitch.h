#pragma once
// A multi-position slider switch of an instrument panel: one knob that stops at 2..n labelled positions,
// drawn as a vertical track with the position texts beside it. `value` (0 = first position) is its value.

#include <QAbstractSlider>
#include <QStringList>

namespace vm::editors {

class SliderSwitch : public QAbstractSlider {
    Q_OBJECT
public:
    explicit SliderSwitch(QWidget* parent = nullptr);

    // One position per text; the range becomes 0..count-1.
    void setPositions(const QStringList& texts);
    QStringList positions() const { return positions_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int rowHeight() const;
    QStringList positions_;
};

} // namespace vm::editors
