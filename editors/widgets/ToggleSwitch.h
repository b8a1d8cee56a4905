#pragma once
// A two-position toggle switch of an instrument panel: a lever drawn up (on) or down (off) with the two
// position texts beside it. Checkable button: `checked` is its value.

#include <QAbstractButton>
#include <QString>

namespace vm::editors {

class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(QWidget* parent = nullptr);

    void setPositionTexts(const QString& off, const QString& on);
    QString offText() const { return offText_; }
    QString onText() const { return onText_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    QString offText_ = QStringLiteral("Off");
    QString onText_ = QStringLiteral("On");
};

} // namespace vm::editors
