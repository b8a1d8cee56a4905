#include "StatePalette.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace vm::editors {

namespace {
const char* const kStateProperty = "vmPaletteState";

// The colours the widget has from its parents, its own left aside.
QPalette inherited(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return parent ? parent->palette() : QApplication::palette(widget);
}
} // namespace

void paintState(QWidget* widget, PaletteState state) {
    if (!widget) return;
    const QVariant previous = widget->property(kStateProperty);
    if (previous.isValid() && previous.toInt() == static_cast<int>(state)) return;
    widget->setProperty(kStateProperty, static_cast<int>(state));
    QPalette p; // states no colour of its own: each one not set below comes from the parents
    switch (state) {
    case PaletteState::Normal:
        break;
    case PaletteState::Highlight:
        p.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xC0));
        break;
    case PaletteState::Face:
        p.setColor(QPalette::Window, inherited(widget).color(QPalette::Active, QPalette::Button));
        break;
    case PaletteState::Chosen:
        p.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
        if (widget->autoFillBackground()) p.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
        break;
    case PaletteState::Other:
        p.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
        break;
    }
    if (state == PaletteState::Highlight || state == PaletteState::Face) widget->setAutoFillBackground(true);
    widget->setPalette(p);
}

} // namespace vm::editors
