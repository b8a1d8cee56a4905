// Writing what the user changed: one path for every kind of control, the text-box commit check, and the
// image routines.

#include "EditorBase.h"

#include "Catalogue.h"
#include "widgets/CommitLineEdit.h"

#include <QLocale>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <bit>
#include <cmath>

namespace vm::editors {

namespace {
const char* kDefaultRangeError = " Error: Value Out Of Range ";
const char* kDefaultNumberError = " Error: Insert Only Numbers ";
} // namespace

std::uint32_t EditorBase::withField(const Binding& b, int param, int value) const {
    const int shift = std::countr_zero(b.bitMask);
    const std::uint32_t field = (static_cast<std::uint32_t>(std::max(0, value)) << shift) & b.bitMask;
    return (bitCopy(param) & ~b.bitMask) | field;
}

void EditorBase::onUserChange(std::size_t i, const QString& typed) {
    if (loading_ || closed_) return;
    BoundControl& bc = bound_[i];
    const Binding& b = bc.binding;
    if (!isReady(bc)) {
        // Nothing is written from a value the board has not given yet; the control shows what it showed.
        LoadingScope scope(*this);
        showValue(bc, ctx_.state.cellData(bc.param, 0));
        return;
    }
    if (b.kind == ControlKind::NumberBox || b.kind == ControlKind::TextBox) return onCommit(bc, typed);
    const std::optional<int> chosen = adapterFor(b.kind).read(bc);
    if (!chosen) return;
    int stored = *chosen;
    if (b.isSwitch()) {
        // The switch's bit is cleared in the window's copy, set again when on, and the whole byte written.
        std::uint32_t byte = bitCopy(bc.param) & ~b.bitMask;
        if ((*chosen != 0) != b.inverted) byte |= b.bitMask;
        stored = static_cast<int>(byte);
    } else if (b.isBit()) {
        stored = static_cast<int>(withField(b, bc.param, stored));
    }
    if (b.kind == ControlKind::Command && b.confirmFirst && !confirm(msg(b.caption))) return;
    if (!beforeWrite(b, stored)) return;
    if (b.isBit()) bitCopies_[bc.param] = static_cast<std::uint32_t>(stored);
    writeParam(bc.param, bc.twin, b.width, static_cast<std::uint32_t>(std::max(0, stored)));
    if (b.kind == ControlKind::Command) holdUntilAcknowledged(bc);
    afterWrite(b, stored);
    applyRules();
}

// A command button stays disabled until the board has acknowledged its command (the acknowledged value is
// delivered), so a double click cannot send it twice; a board that never answers frees it after a while.
void EditorBase::holdUntilAcknowledged(BoundControl& bc) {
    if (!ctx_.state.Online) return;
    constexpr int kAcknowledgeLimitMs = 5000; // five reply time-outs of the link
    bc.widget->setEnabled(false);
    held_[bc.param] = bc.widget;
    QTimer::singleShot(kAcknowledgeLimitMs, this, [this, param = bc.param, button = QPointer<QWidget>(bc.widget)] {
        const auto it = held_.find(param);
        if (it == held_.end() || it->second != button) return;
        if (button) button->setEnabled(true);
        held_.erase(it);
    });
}

void EditorBase::releaseAcknowledged(int index) {
    const auto it = held_.find(index);
    if (it == held_.end() || ctx_.state.cell(index, 0).has(WritePending)) return;
    if (it->second) it->second->setEnabled(true);
    held_.erase(it);
}

void EditorBase::onCommit(BoundControl& bc, const QString& typed) {
    const Binding& b = bc.binding;
    auto* edit = static_cast<CommitLineEdit*>(bc.widget);
    if (b.kind == ControlKind::TextBox) {
        // The board keeps plain ASCII: a character it cannot hold is refused, never silently changed.
        const auto bad = std::find_if(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() > 126; });
        if (bad != typed.end()) {
            edit->rejectCommit();
            showError(QStringLiteral("The board cannot store the character \"%1\": use letters, digits, blanks and the "
                                     "signs of the keyboard.")
                          .arg(*bad));
            return;
        }
        int ignored = 0;
        if (!beforeWrite(b, ignored)) return edit->rejectCommit();
        edit->acceptCommit();
        writeText(bc.param, bc.twin, typed);
        afterWrite(b, 0);
        return;
    }
    const QString trimmed = typed.trimmed();
    bool ok = false;
    double number = QLocale().toDouble(trimmed, &ok);
    if (!ok) number = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        const Caption& error = !b.notNumericText.isEmpty() ? b.notNumericText
                               : !b.errorText.isEmpty()    ? b.errorText
                                                           : Caption(kDefaultNumberError);
        edit->rejectCommit();
        showError(msg(error));
        return;
    }
    const double whole = std::floor(number);
    if (number < 0 || whole < b.min || whole > b.max || (b.nonZero && whole == 0)) {
        edit->rejectCommit();
        showError(msg(b.errorText.isEmpty() ? Caption(kDefaultRangeError) : b.errorText));
        return;
    }
    int value = static_cast<int>(whole);
    if (b.commitMask != 0) value = static_cast<int>(static_cast<unsigned>(value) & b.commitMask);
    if (b.isBit()) value = static_cast<int>(withField(b, bc.param, value)); // the other bytes stay
    if (!beforeWrite(b, value)) return edit->rejectCommit();
    edit->acceptCommit();
    if (b.isBit()) bitCopies_[bc.param] = static_cast<std::uint32_t>(value);
    writeParam(bc.param, bc.twin, b.width, static_cast<std::uint32_t>(value));
    afterWrite(b, value);
    applyRules();
}

void EditorBase::writeParam(int index, int mirror, int width, std::uint32_t value) {
    ProgramState& state = ctx_.state;
    if (index <= 0 || !ProgramState::isIndexInRange(index)) return;
    if (!ProgramState::isIndexInRange(mirror)) mirror = 0;
    state.CurrentBank = 0;
    const int w = std::clamp(width, 1, 3);
    value = std::min<std::uint32_t>(value, (1u << (8 * w)) - 1u);
    switch (w) {
    case 1:
        state.WriteImageByte(index, mirror, value, this);
        break;
    case 2:
        state.WriteImageWord(index, mirror, value, this);
        break;
    default:
        state.WriteImage24(index, mirror, value, this);
        break;
    }
    showInOtherWindows(index);
}

// Offline the image routines refresh only the writing window; every other open window that shows the
// parameter (a shared cell, the decimal point of money values) shows the new value too. Online the link
// delivers the acknowledged value to every window.
void EditorBase::showInOtherWindows(int index) {
    if (ctx_.state.Online) return;
    for (DeliveryTarget* form : std::vector<DeliveryTarget*>(ctx_.forms.forms()))
        if (form != this) ctx_.state.NotifyEditor(index, form);
}

void EditorBase::writeParam(int index, std::uint32_t value) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    writeParam(index, info ? info->mirror : 0, info ? info->width : 1, value);
}

void EditorBase::writeText(int index, int mirror, const QString& text) {
    if (!ProgramState::isIndexInRange(mirror)) mirror = 0;
    const QByteArray bytes = text.toLatin1();
    ctx_.state.WriteImageText(index, mirror, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                              this);
    showInOtherWindows(index);
}

double EditorBase::paramValue(int index) const {
    if (ctx_.state.Online) return ctx_.state.ParamValue(index, 0);
    const ParamData d = ctx_.state.imageData(index);
    const double* v = std::get_if<double>(&d);
    return v ? *v : 0;
}

std::uint32_t EditorBase::bitCopy(int index) const {
    const auto it = bitCopies_.find(index);
    return it == bitCopies_.end() ? 0u : it->second;
}

std::uint32_t EditorBase::currentValue(int index) const {
    const auto it = bitCopies_.find(index);
    return it != bitCopies_.end() ? it->second : static_cast<std::uint32_t>(std::max(0.0, paramValue(index)));
}

} // namespace vm::editors
