// Factory settings in the windows: a control whose value differs from its parameter's default shows a mark
// beside its caption and the default in its tool tip; its context menu resets it, and the window's context
// menu resets every setting the window shows (after a confirmation that lists them). Counters, identity and
// the settings without a default have no mark and are never reset.

#include "EditorBase.h"

#include "Catalogue.h"
#include "Defaults.h"
#include "MessageBox.h"
#include "ScrollDisplay.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>
#include <bit>
#include <set>

namespace vm::editors {

namespace {
const QString kMark = QStringLiteral(" \u2022");
const char* kResetControl = "Reset to default";
const char* kResetWindow = "Reset this window to defaults";

bool canHaveDefault(const Binding& b) {
    return b.kind != ControlKind::Command && b.kind != ControlKind::ValueText;
}

QString trimmedText(const std::string& s) {
    QString t = QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
    while (!t.isEmpty() && (t.back() == QChar(' ') || t.back() == QChar('\0')))
        t.chop(1);
    return t;
}

// The part of a stored number the binding edits: its bits, else its bytes.
std::uint64_t edited(const Binding& b, double value) {
    const auto raw = static_cast<std::uint64_t>(std::max(0.0, value));
    if (b.isBit()) return raw & b.bitMask;
    return b.width >= 1 && b.width <= 3 ? raw & ((std::uint64_t{1} << (8 * b.width)) - 1) : raw;
}

bool differ(const Binding& b, const ParamData& standard, const ParamData& value) {
    if (const auto* text = std::get_if<std::string>(&standard)) {
        const auto* shown = std::get_if<std::string>(&value);
        return !shown || trimmedText(*text) != trimmedText(*shown);
    }
    const auto* number = std::get_if<double>(&value);
    return !number || edited(b, std::get<double>(standard)) != edited(b, *number);
}

// What the control reads for a stored value (see writeChosen): the on state of a switch, a field's value,
// else the value itself.
int chosenFor(const Binding& b, double stored) {
    const auto bits = edited(b, stored);
    if (b.isSwitch()) return ((bits != 0) != b.inverted) ? 1 : 0;
    if (b.isBit()) return static_cast<int>(bits >> std::countr_zero(b.bitMask));
    return static_cast<int>(bits);
}
} // namespace

void EditorBase::buildResetEntries() {
    bool any = false;
    for (BoundControl& bc : bound_) {
        if (!canHaveDefault(bc.binding) || !IsResettable(bc.param)) continue;
        any = true;
        if (bc.binding.kind == ControlKind::ListRow)
            continue; // a row shares its list: the window's entry resets it
        bc.reset = new QAction(QString::fromLatin1(kResetControl), bc.widget);
        bc.reset->setObjectName(QStringLiteral("resetToDefault"));
        bc.reset->setEnabled(false);
        connect(bc.reset, &QAction::triggered, this,
                [this, i = static_cast<std::size_t>(&bc - bound_.data())] { resetToDefault(bound_[i]); });
        bc.widget->addAction(bc.reset);
        bc.widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(bc.widget, &QWidget::customContextMenuRequested, this,
                [this, w = bc.widget](const QPoint& at) { showControlMenu(w, at); });
    }
    if (!any) return;
    resetWindow_ = new QAction(QString::fromLatin1(kResetWindow), this);
    resetWindow_->setObjectName(QStringLiteral("resetWindowToDefaults"));
    connect(resetWindow_, &QAction::triggered, this, &EditorBase::resetWindowToDefaults);
    addAction(resetWindow_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void EditorBase::showControlMenu(QWidget* widget, const QPoint& at) {
    auto* edit = qobject_cast<QLineEdit*>(widget);
    QMenu* menu = edit ? edit->createStandardContextMenu() : new QMenu(widget);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (edit) menu->addSeparator();
    menu->addActions(widget->actions());
    if (resetWindow_) menu->addAction(resetWindow_);
    menu->popup(widget->mapToGlobal(at));
}

QString EditorBase::shownText(const BoundControl& bc, const ParamData& value) const {
    const Binding& b = bc.binding;
    if (const auto* text = std::get_if<std::string>(&value))
        return QLatin1Char('"') + trimmedText(*text) + QLatin1Char('"');
    const double stored = std::get<double>(value);
    const int chosen = chosenFor(b, stored);
    switch (b.kind) {
    case ControlKind::Toggle:
    case ControlKind::CheckBox:
    case ControlKind::ListRow: {
        const bool on =
            b.isBit() ? chosen != 0
                      : (b.itemValues.size() == 2 ? chosen == b.itemValues[1] : (chosen != 0) != b.inverted);
        if (b.items.size() == 2) return msg(b.items[on ? 1 : 0]);
        return on ? QStringLiteral("on") : QStringLiteral("off");
    }
    case ControlKind::Option:
        for (const BoundControl& other : bound_)
            if (other.param == bc.param && other.binding.kind == ControlKind::Option &&
                other.binding.bitMask == b.bitMask &&
                (b.isBit() ? (other.binding.choice != 0) == (chosen != 0) : other.binding.choice == chosen))
                return msg(other.binding.caption);
        break;
    case ControlKind::Slider:
    case ControlKind::Combo: {
        const int position = b.isBit() ? (chosen != 0 ? 1 : 0) : b.controlFromStored(chosen);
        if (position >= 0 && position < static_cast<int>(b.items.size()))
            return msg(b.items[static_cast<std::size_t>(position)]);
        break;
    }
    case ControlKind::ScrollBar:
        if (b.label == LabelFormat::Money) return formatStored(LabelFormat::Money, chosen, moneyDecimals_);
        return formatStored(b.label == LabelFormat::Tenths ? LabelFormat::Tenths : LabelFormat::Plain,
                            chosen - b.storedOffset, 0);
    default:
        break;
    }
    return QString::number(chosen);
}

// A delivered value: the mark, the tool tip and the reset entry follow it.
void EditorBase::showDefaultMark(BoundControl& bc, const ParamData& value) {
    if (!canHaveDefault(bc.binding)) return;
    const std::optional<ParamData> standard = DefaultValue(bc.param);
    const bool differs = standard && differ(bc.binding, *standard, value);
    bc.differs = differs;
    bc.toolTip = differs ? QStringLiteral("Default: ") + shownText(bc, *standard) : QString();
    if (bc.reset) bc.reset->setEnabled(differs);
    paintDefaultMark(bc);
    refreshUsable(bc);
}

namespace {
template <typename Holder> void paintText(Holder* holder, bool marked) {
    QString text = holder->text();
    if (text.endsWith(kMark)) text.chop(kMark.size());
    if (marked && !text.isEmpty()) text += kMark;
    if (text != holder->text()) holder->setText(text);
}
} // namespace

// A control without a caption of its own (a switch or a list alone in its frame) is marked on its frame's
// title, when any such control of the frame differs.
void EditorBase::paintDefaultMark(BoundControl& bc) {
    // An option marks the chosen button of its group only; a list row has no caption of its own.
    auto* button = qobject_cast<QAbstractButton*>(bc.widget);
    const bool ownCaption = bc.caption || (button && bc.binding.kind != ControlKind::ListRow);
    if (!ownCaption) {
        if (auto* box = qobject_cast<QGroupBox*>(bc.widget->parentWidget())) {
            const bool marked = std::any_of(bound_.begin(), bound_.end(), [&](const BoundControl& other) {
                const bool otherOwn = other.caption || (qobject_cast<QAbstractButton*>(other.widget) &&
                                                        other.binding.kind != ControlKind::ListRow);
                return other.differs && !otherOwn && other.widget->parentWidget() == box;
            });
            box->setTitle(box->title().endsWith(kMark) ? box->title().chopped(kMark.size()) : box->title());
            if (marked && !box->title().isEmpty()) box->setTitle(box->title() + kMark);
        }
        return;
    }
    bool marked = bc.differs;
    if (bc.binding.kind == ControlKind::Option) marked = marked && button && button->isChecked();
    if (bc.caption)
        paintText(bc.caption, marked);
    else
        paintText(button, marked);
}

void EditorBase::applyDefaultMarks() {
    for (BoundControl& bc : bound_)
        if (bc.differs) paintDefaultMark(bc);
}

// One control back to its default, written as if the user had set it (the window's rules included). A window
// reset has checked its controls before the first write: a write may disable the others for a while (a rule
// that waits for the board's answer), and they are reset all the same.
void EditorBase::resetToDefault(BoundControl& bc, bool whenUsable) {
    if (closed_ || loading_ || !bc.differs) return;
    if (whenUsable && (!bc.ready || !bc.widget->isEnabled())) return;
    const std::optional<ParamData> standard = DefaultValue(bc.param);
    if (!standard) return;
    const Binding& b = bc.binding;
    ChangeLog::EditScope edit(
        ctx_.changes,
        {formName().toStdString(), (b.control + QStringLiteral("(%1)").arg(b.controlIndex)).toStdString()});
    if (const auto* text = std::get_if<std::string>(&*standard)) {
        int ignored = 0;
        if (!admitWrite(b, ignored)) return;
        writeText(bc.param, bc.twin, trimmedText(*text));
        wrote(b, 0);
        if (ctx_.state.Online) {
            LoadingScope scope(*this);
            showValue(bc, *standard);
        }
        return;
    }
    const std::optional<int> stored = writeChosen(bc, chosenFor(b, std::get<double>(*standard)));
    // Online the board's answer shows the value; until then the controls show what was written, as after a
    // user's own change.
    if (!stored || !ctx_.state.Online) return;
    LoadingScope scope(*this);
    const auto [first, last] = byIndex_.equal_range(bc.param);
    for (auto it = first; it != last; ++it)
        showValue(bound_[it->second], static_cast<double>(*stored));
}

void EditorBase::resetWindowToDefaults() {
    if (closed_ || loading_) return;
    // The settings a user could change here now, each part of a parameter once.
    std::vector<std::size_t> chosen;
    std::set<std::pair<int, unsigned>> parts;
    QStringList lines;
    std::set<int> listed;
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        BoundControl& bc = bound_[i];
        const Binding& b = bc.binding;
        if (!canHaveDefault(b) || !bc.differs || !bc.ready || !bc.widget->isEnabled()) continue;
        if (b.visibleWhen && !b.visibleWhen(*this)) continue;
        if (!parts.insert({bc.param, b.bitMask}).second) continue;
        chosen.push_back(i);
        if (!listed.insert(bc.param).second) continue;
        const catalogue::ParamInfo* info = catalogue::find(bc.param);
        const ParamData now =
            ctx_.state.Online ? ctx_.state.cellData(bc.param, 0) : ctx_.state.imageData(bc.param);
        lines << QStringLiteral("%1 (%2): %3 \u2192 %4")
                     .arg(info ? QString::fromLatin1(info->name.data(),
                                                     static_cast<qsizetype>(info->name.size()))
                               : QString::number(bc.param))
                     .arg(bc.param)
                     .arg(shownText(bc, now), shownText(bc, *DefaultValue(bc.param)));
    }
    const QString title = QString::fromLatin1(kResetWindow);
    if (chosen.empty()) {
        showMessage({this, MessageIcon::Information, MessageButtons::Ok,
                     QStringLiteral("Every setting of this window has its default value."), title});
        return;
    }
    const QString question =
        QStringLiteral("These settings of %1 go back to their defaults:\n\n%2\n\nReset them?")
            .arg(windowTitle(), lines.join(QLatin1Char('\n')));
    if (showMessage({this, MessageIcon::Exclamation, MessageButtons::YesNo, question, title}) !=
        MessageAnswer::Yes)
        return;
    ChangeLog::EditScope edit(ctx_.changes, {formName().toStdString(), kResetWindow});
    for (std::size_t i : chosen)
        if (bound_[i].differs) resetToDefault(bound_[i], false);
}

} // namespace vm::editors
