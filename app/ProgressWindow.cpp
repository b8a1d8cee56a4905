#include "ProgressWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vm::app {

ProgressWindow::ProgressWindow(const QString& formName, const QString& caption, const QString& text,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(formName);
    setWindowTitle(caption);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(text, this);
    text_->setObjectName("Label1");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

void ProgressWindow::setText(const QString& text) {
    text_->setText(text);
}
QString ProgressWindow::text() const {
    return text_->text();
}
void ProgressWindow::setRange(int maximum) {
    bar_->setRange(0, maximum);
}
void ProgressWindow::setValue(int value) {
    bar_->setValue(std::min(value, bar_->maximum()));
}
void ProgressWindow::advance(int step) {
    setValue(bar_->value() + step);
}
int ProgressWindow::value() const {
    return bar_->value();
}

void ProgressWindow::showCentred() {
    adjustSize();
    if (QWidget* owner = parentWidget()) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
    show();
}

ProgressWindow* MakeFrmRead(QWidget* parent) {
    return new ProgressWindow("FrmRead", "Configuration ", "Reading Configuration Machine....", parent);
}
ProgressWindow* MakeForm1(QWidget* parent) {
    return new ProgressWindow("Form1", "Save Configuration", "Save Configuration Machine....", parent);
}
ProgressWindow* MakeForm3(QWidget* parent) {
    return new ProgressWindow("Form3", "Write", kWriteText, parent);
}

} // namespace vm::app
