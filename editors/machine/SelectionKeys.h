#pragma once
// The keyboard of the machine as a row of selection labels: a click on a label chooses that selection for
// the per-selection windows (doses, double products). The machines have three layouts, `Label0` (30 keys),
// `Label920` (11 keys) and `LabelX` (13 keys); the window shows the one of the coupled machine. The chosen
// label is red, the others of its array blue.
//
// base candidate: the preselection windows choose a selection the same way.

#include <QLabel>
#include <QWidget>

#include <functional>
#include <vector>

namespace vm::editors {

// A label that reports a left click (the selection labels of the keyboard).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class SelectionKeys : public QWidget {
    Q_OBJECT
public:
    enum class Layout { Keys30, Keys920, KeysX };

    // `chosen(s)` runs when the label of selection s is clicked.
    SelectionKeys(std::function<void(int)> chosen, QWidget* parent);
    // Hands every label to `add` with its array name and index (the window registers them by name).
    void forEachLabel(const std::function<void(const QString& name, int index, QWidget* label)>& add) const;

    // The layout of the machine: KTR 921 (coupled machine 3) has 11 keys, a DUR (general flags 2 bit 4)
    // 13, every other machine 30.
    static Layout layoutFor(int coupledMachine, unsigned generalFlags2);
    void showLayout(Layout layout);
    // Paints the chosen label red and the others blue.
    void markChosen(int selection);

private:
    struct Array {
        Layout layout;
        QString name;
        QWidget* box = nullptr;
        std::vector<ClickLabel*> labels;
    };
    std::vector<Array> arrays_;
};

} // namespace vm::editors
