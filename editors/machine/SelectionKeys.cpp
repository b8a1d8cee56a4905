#include "SelectionKeys.h"

#include "StatePalette.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace vm::editors {

namespace {
constexpr int kKeysPerRow = 15;
} // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

SelectionKeys::SelectionKeys(std::function<void(int)> chosen, QWidget* parent)
    : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    const struct {
        Layout layout;
        const char* name;
        int count;
    } kArrays[] = {{Layout::Keys30, "Label0", 30}, {Layout::Keys920, "Label920", 11}, {Layout::KeysX, "LabelX", 13}};
    for (const auto& a : kArrays) {
        Array array{a.layout, QString::fromLatin1(a.name), new QWidget(this), {}};
        auto* grid = new QGridLayout(array.box);
        grid->setContentsMargins(0, 0, 0, 0);
        for (int i = 0; i < a.count; ++i) {
            auto* label = new ClickLabel(QString::number(i + 1), array.box);
            label->setAlignment(Qt::AlignCenter);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Raised);
            label->setMinimumWidth(28);
            label->setCursor(Qt::PointingHandCursor);
            paintState(label, PaletteState::Other);
            grid->addWidget(label, i / kKeysPerRow, i % kKeysPerRow);
            connect(label, &ClickLabel::clicked, this, [chosen, i] { chosen(i); });
            array.labels.push_back(label);
        }
        outer->addWidget(array.box);
        arrays_.push_back(std::move(array));
    }
    showLayout(Layout::Keys30);
}

void SelectionKeys::forEachLabel(const std::function<void(const QString&, int, QWidget*)>& add) const {
    for (const Array& a : arrays_)
        for (std::size_t i = 0; i < a.labels.size(); ++i)
            add(a.name, static_cast<int>(i), a.labels[i]);
}

SelectionKeys::Layout SelectionKeys::layoutFor(int coupledMachine, unsigned generalFlags2) {
    if (coupledMachine == 3) return Layout::Keys920;
    if (generalFlags2 & 0x10) return Layout::KeysX;
    return Layout::Keys30;
}

void SelectionKeys::showLayout(Layout layout) {
    for (Array& a : arrays_)
        a.box->setVisible(a.layout == layout);
}

void SelectionKeys::markChosen(int selection) {
    for (Array& a : arrays_)
        for (std::size_t i = 0; i < a.labels.size(); ++i)
            paintState(a.labels[i],
                       static_cast<int>(i) == selection ? PaletteState::Chosen : PaletteState::Other);
}

} // namespace vm::editors
