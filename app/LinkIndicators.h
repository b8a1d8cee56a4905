#pragma once
// The three link indicator panels of the status bar: sending, receiving and error. A status code switches
// one panel; each panel remembers what it shows so that a picture is only replaced when it changes.

#include <QLabel>
#include <QPixmap>

#include <array>
#include <optional>

namespace vm::app {

enum class Indicator { Send = 0, Receive = 1, Error = 2 };

struct IndicatorChange {
    Indicator panel;
    bool active;
};

// 1: send idle, 4: sending; 2: receive idle, 5: receiving; 3: error cleared, 6: error. Other codes: none.
std::optional<IndicatorChange> IndicatorForCode(int code);

// A small round lamp with its letter, drawn by the program.
QPixmap IndicatorPicture(Indicator panel, bool active);

class LinkIndicators {
public:
    // The three labels that carry the pictures; they belong to the status bar.
    void attach(std::array<QLabel*, 3> labels);
    // Applies a status code; true when a picture changed.
    bool show(int code);
    bool isActive(Indicator panel) const { return active_[static_cast<int>(panel)]; }

private:
    void paint(Indicator panel);
    std::array<QLabel*, 3> labels_{};
    std::array<bool, 3> active_{};
};

} // namespace vm::app
