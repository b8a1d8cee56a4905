// Writing what the user changed: one path for every kind of control, the text-box commit check, and the
// image routines.

#include "EditorBase.h"

#include "Catalogue.h"
#include "ValueWrite.h"
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

// The control as a script and the change log name it: "HScroll1(3)".
QString controlName(const Binding& b) {
    return b.control + QLatin1Char('(') + QString::number(b.controlIndex) + QLatin1Char(')');
}
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
    // Whatever the change writes (the window's own rules included) is one edit of this control.
    ChangeLog::EditScope edit(ctx_.changes, {formName().toStdString(), controlName(b).toStdString()});
    if (!isReady(bc)) {
        // Nothing is written from a value the board has not given yet; the control shows what it showed.
        LoadingScope scope(*this);
        showValue(bc, ctx_.state.cellData(bc.param, 0));
        return;
    }
    if (b.kind == ControlKind::NumberBox || b.kind == ControlKind::TextBox) return onCommit(bc, typed);
    if (const std::optional<int> chosen = adapterFor(b.kind).read(bc)) writeChosen(bc, *chosen);
}

// `chosen` is what the control reads: the on state (0/1) of a bit, the field of a field, else the value.
std::optional<int> EditorBase::writeChosen(BoundControl& bc, int chosen) {
    const Binding& b = bc.binding;
    int stored = chosen;
    if (b.isSwitch()) {
        // The switch's bit is cleared in the window's copy, set again when on, and the whole byte written.
        std::uint32_t byte = bitCopy(bc.param) & ~b.bitMask;
        if ((chosen != 0) != b.inverted) byte |= b.bitMask;
        stored = static_cast<int>(byte);
    } else if (b.isBit()) {
        stored = static_cast<int>(withField(b, bc.param, stored));
    }
    if (b.kind == ControlKind::Command && b.confirmFirst && !confirm(msg(b.caption))) return std::nullopt;
    if (!admitWrite(b, stored)) return std::nullopt;
    if (b.isBit()) bitCopies_[bc.param] = static_cast<std::uint32_t>(stored);
    writeParam(bc.param, bc.twin, b.width, static_cast<std::uint32_t>(std::max(0, stored)));
    if (b.kind == ControlKind::Command) holdUntilAcknowledged(bc);
    wrote(b, stored);
    applyRules();
    return stored;
}

bool EditorBase::admitWrite(const Binding& b, int& stored) {
    if (b.writeHook && !b.writeHook(stored)) return false;
    return beforeWrite(b, stored);
}

void EditorBase::wrote(const Binding& b, int stored) {
    if (b.writtenHook) b.writtenHook(stored);
    afterWrite(b, stored);
}

// A command button stays disabled until the board has acknowledged its command (the acknowledged value is
// delivered), so a double click cannot send it twice; a board that never answers frees it after a while.
void EditorBase::holdUntilAcknowledged(BoundControl& bc) {
    if (!ctx_.state.Online) return;
    bc.widget->setEnabled(false);
    held_[bc.param] = bc.widget;
    QTimer::singleShot(boardAnswerLimitMs(), this, [this, param = bc.param, button = QPointer<QWidget>(bc.widget)] {
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
        if (!admitWrite(b, ignored)) return edit->rejectCommit();
        edit->acceptCommit();
        writeText(bc.param, bc.twin, typed);
        wrote(b, 0);
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
    if (!admitWrite(b, value)) return edit->rejectCommit();
    edit->acceptCommit();
    if (b.isBit()) bitCopies_[bc.param] = static_cast<std::uint32_t>(value);
    writeParam(bc.param, bc.twin, b.width, static_cast<std::uint32_t>(value));
    wrote(b, value);
    applyRules();
}

void EditorBase::writeParam(int index, int mirror, int width, std::uint32_t value) {
    WriteValue(ctx_, {index, mirror, std::clamp(width, 1, 3), static_cast<double>(value)}, formName().toStdString(),
               this);
}

void EditorBase::writeParam(int index, std::uint32_t value) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    writeParam(index, info ? info->mirror : 0, info ? info->width : 1, value);
}

void EditorBase::writeText(int index, int mirror, const QString& text) {
    WriteValue(ctx_, {index, mirror, 0, text.toLatin1().toStdString()}, formName().toStdString(), this);
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
