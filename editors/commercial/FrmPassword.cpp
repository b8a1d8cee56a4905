#include "FrmPassword.h"

#include "widgets/CommitLineEdit.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace vm::editors {

namespace {
constexpr int kFirstCode = 1857; // box i edits 1857 + i; width and twin from the catalogue

// The digits a box takes (the rest of a longer number is dropped), the largest code and the caption beside
// it.
struct Code {
    int digits;
    int max;
    const char* caption;
};
// "Collaudo" is a word on the board: a five-digit code above 65535 would be cut, so it is refused.
constexpr Code kCodeTable[FrmPassword::kCodes] = {{5, 99999, "Menù Ridotto"}, {5, 99999, "Menù Completo"},
                                                  {5, 99999, "Menù Vendite"}, {5, 65535, "Collaudo"},
                                                  {4, 9999, "Cancella Dati"}, {4, 9999, "Cancella Dati MDB"}};
constexpr int kFirstLabelText = 402; // Label1(j) takes line 402 + j

bool allDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}
} // namespace

FrmPassword::FrmPassword(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPassword"), Caption("Password"));
    d.window().frame(QStringLiteral("Frame1"), Caption(401, "Password"), 1); // the boxes: buildExtra
    for (int i = 0; i < kCodes; ++i)
        d.extraWatch.push_back(kFirstCode + i);
    setup(std::move(d));
}

void FrmPassword::buildExtra() {
    QWidget* form = frame(QStringLiteral("Frame1"));
    for (int i = 0; i < kCodes; ++i) {
        auto* box = new CommitLineEdit(form);
        box->setFlashMs(commitFlashMs());
        box->setBlocked([this] { return isLoading(); });
        box->setMaxLength(8);
        box->installEventFilter(this);
        registerControl(QStringLiteral("Text1"), i, box);
        connect(box, &CommitLineEdit::commitRequested, this,
                [this, i](const QString& typed) { commit(i, typed); });
        // The caption beside box 0 is Label1(1) and the one beside box 1 is Label1(0).
        const int label = i < 2 ? 1 - i : i;
        QLabel* caption =
            captionLabel(Caption(kFirstLabelText + label, QString::fromUtf8(kCodeTable[i].caption)), form);
        registerControl(QStringLiteral("Label1"), label, caption);
        addRow(form, caption, box);
        boxes_[static_cast<std::size_t>(i)] = box;
    }
}

void FrmPassword::afterDelivery(int index, const ParamData& value) {
    const int box = index - kFirstCode;
    const double* code = std::get_if<double>(&value);
    if (box >= 0 && box < kCodes && code)
        boxes_[static_cast<std::size_t>(box)]->showCommitted(
            QString::number(static_cast<std::uint32_t>(*code)));
}

// Leaving a box for another control commits what was typed, exactly as Enter does; a menu, a context menu or
// another program taking the focus for a while commits nothing (the typing may be half done).
// base candidate: a number box that commits on leaving, takes the first N digits and returns silently to the
// stored value; the bound number box shows a message and restores on leaving instead.
bool FrmPassword::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        CommitLineEdit::movesToAnotherControl(static_cast<QFocusEvent*>(event)->reason())) {
        for (int i = 0; i < kCodes; ++i) {
            CommitLineEdit* box = boxes_[static_cast<std::size_t>(i)];
            if (watched == box && !box->text().isEmpty() && box->text() != box->lastCommitted() &&
                !isLoading())
                commit(i, box->text());
        }
    }
    return EditorBase::eventFilter(watched, event);
}

// A code that is not a number, or too large for its cell, gives way to the stored code without a message.
void FrmPassword::commit(int box, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const Code& code = kCodeTable[box];
    CommitLineEdit* edit = boxes_[static_cast<std::size_t>(box)];
    const QString text = typed.trimmed();
    const int value = allDigits(text) ? text.left(code.digits).toInt() : -1;
    if (value < 0 || value > code.max) {
        edit->setText(QString::number(currentValue(kFirstCode + box)));
        edit->acceptCommit();
        return;
    }
    edit->setText(QString::number(value));
    edit->acceptCommit();
    writeParam(kFirstCode + box, static_cast<std::uint32_t>(value));
}

} // namespace vm::editors
