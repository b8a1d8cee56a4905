#pragma once
// The chooser of one key (a preselection, a beverage, a promotion key) among a range: a horizontal scroll
// bar and beside it a sunken label that shows the chosen key. The window names both controls (their names
// are script keys), places them with its caption, and hears of every move.

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QScrollBar;
class QWidget;

namespace vm::editors {

class KeySelector : public QObject {
    Q_OBJECT
public:
    struct Range {
        int first = 0;
        int last = 0;
        int pageStep = 1;
    };
    // How the label shows a key: its number unless the window says otherwise.
    using KeyText = std::function<QString(int key)>;

    // The controls are children of `parent`; `changed` runs after each move, the label already showing it.
    KeySelector(QWidget* parent, Range range, std::function<void(int key)> changed, KeyText keyText = {});

    // A row of its own holding the caption, the scroll bar (stretched) and the label, for a page laid out
    // in one column.
    QWidget* inRow(QLabel* caption);

    QScrollBar* bar() const { return bar_; }
    QLabel* label() const { return label_; }
    int key() const;
    bool offers(int key) const;
    // Moves to `key` when the range offers it.
    void choose(int key);

private:
    void moved(int key);

    QScrollBar* bar_;
    QLabel* label_;
    std::function<void(int)> changed_;
    KeyText keyText_;
};

} // namespace vm::editors
