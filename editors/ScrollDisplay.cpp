#include "ScrollDisplay.h"

#include "Display.h"

#include <QLabel>
#include <QScrollBar>

#include <cmath>

namespace vm::editors {

namespace {
class BarView : public vm::ScrollBarView {
public:
    explicit BarView(QScrollBar& bar) : bar_(bar) {}
    int Min() const override { return bar_.minimum(); }
    int Max() const override { return bar_.maximum(); }
    void setValue(int value) override { bar_.setValue(value); }
    void refresh() override { bar_.update(); }

private:
    QScrollBar& bar_;
};

class LabelText : public vm::LabelView {
public:
    explicit LabelText(QLabel* label) : label_(label) {}
    void setCaption(const std::string& caption) override {
        if (label_) label_->setText(QString::fromStdString(caption));
    }

private:
    QLabel* label_;
};
} // namespace

QString formatStored(LabelFormat format, double stored, int decimals) {
    switch (format) {
    case LabelFormat::Plain:
        return QString::fromStdString(vm::PlainNumberText(stored));
    case LabelFormat::Tenths:
        return QString::fromStdString(vm::FormatDecimals(stored / 10.0, 1));
    case LabelFormat::Money:
        return QString::fromStdString(vm::FormatDecimals(stored / std::pow(10.0, decimals), decimals));
    case LabelFormat::None:
        break;
    }
    return {};
}

void showScroll(QScrollBar& bar, QLabel* label, const Binding& b, double stored, int decimals) {
    BarView view(bar);
    LabelText caption(label);
    const double controlValue = stored - b.storedOffset;
    if (b.label == LabelFormat::Tenths && b.storedOffset == 0) {
        vm::ShowScrollTenths(caption, view, controlValue);
    } else if (b.label == LabelFormat::Plain && b.storedOffset == 32768) {
        vm::ShowScrollOffset(caption, view, controlValue);
    } else {
        vm::ShowScrollValue(caption, view, controlValue);
        if (label && b.label != LabelFormat::Plain) label->setText(formatStored(b.label, stored, decimals));
        if (label && b.label == LabelFormat::Plain && b.storedOffset != 0)
            label->setText(formatStored(b.label, stored, decimals));
    }
}

} // namespace vm::editors
