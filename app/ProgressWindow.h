#pragma once
// The small transfer windows: FrmRead (unit types after connecting), Form1 (save) and Form3 (board write).
// Each shows a caption, one line of text and a progress bar, centred on the main window.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace vm::app {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& formName, const QString& caption, const QString& text, QWidget* parent);

    void setText(const QString& text);
    QString text() const;
    void setRange(int maximum);
    void setValue(int value);
    void advance(int step);
    int value() const;
    // Shows the window modelessly in the middle of its parent.
    void showCentred();

private:
    QLabel* text_;
    QProgressBar* bar_;
};

ProgressWindow* MakeFrmRead(QWidget* parent);
ProgressWindow* MakeForm1(QWidget* parent);
ProgressWindow* MakeForm3(QWidget* parent);

inline constexpr const char* kReadDoneText = "... DONE! ... ";
inline constexpr const char* kWriteText = "Write Configuration Machine....";
inline constexpr int kTransferStartMs = 500; // Form1 and Form3 start their transfer after being shown

} // namespace vm::app
