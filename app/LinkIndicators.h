#pragma once
// The three link indicator panels of the status bar: sending, receiving and error. A lamp switches
// one panel; each panel remembers what it shows so that a picture is only replaced when it changes.

#include "LinkObserver.h"

#include <QLabel>
#include <QPixmap>

#include <array>

namespace vm::app {

enum class Indicator { Send = 0, Receive = 1, Error = 2 };

struct IndicatorChange {
    Indicator panel;
    bool active;
};

// The panel a lamp belongs to and whether it is lit.
IndicatorChange IndicatorFor(link::LinkLamp lamp);

// A small round lamp with its letter, drawn by the program.
QPixmap IndicatorPicture(Indicator panel, bool active);

class LinkIndicators {
public:
    // The three labels that carry the pictures; they belong to the status bar.
    void attach(std::array<QLabel*, 3> labels);
    // Lights or darkens a lamp; true when a picture changed.
    bool show(link::LinkLamp lamp);
    bool isActive(Indicator panel) const { return active_[static_cast<int>(panel)]; }

private:
    void paint(Indicator panel);
    std::array<QLabel*, 3> labels_{};
    std::array<bool, 3> active_{};
};

} // namespace vm::app
