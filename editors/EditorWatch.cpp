#include "EditorBase.h"

#include "ControlAdapter.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>

#include <algorithm>

// The window's watched set and the arrivals: online a control may write only what the board has given the
// window since it opened (or since the control moved to another parameter).

namespace vm::editors {

// The decimal point, the declared extras, the window's own and every bound parameter (with its twin when the
// window watches twins), of the shown page only when the window watches by page.
std::vector<int> EditorBase::watchList() const {
    std::vector<int> list;
    if (definition_.decimalPointParam > 0) list.push_back(definition_.decimalPointParam);
    list.insert(list.end(), definition_.extraWatch.begin(), definition_.extraWatch.end());
    const std::vector<int> more = moreWatched();
    list.insert(list.end(), more.begin(), more.end());
    for (const BoundControl& bc : bound_) {
        if (!isOnVisibleTab(bc.binding)) continue;
        list.push_back(bc.param);
        if (definition_.watchMirrors && bc.twin != 0) list.push_back(bc.twin);
    }
    return list;
}

void EditorBase::watchAll() {
    const std::vector<int> list = watchList();
    // Every watch is paired with one release: the set is released as a whole before it is rebuilt.
    releaseAll();
    if (closed_) return;
    watch_.watch(list);
}

void EditorBase::releaseAll() {
    watch_.release();
}

bool EditorBase::isOnVisibleTab(const Binding& b) const {
    return !definition_.watchVisibleTab || !tabs_ || b.tab < 0 || b.tab == tabs_->currentIndex();
}

void EditorBase::awaitValues(const std::function<bool(const BoundControl&)>& which) {
    if (!ctx_.state.Online) return;
    std::vector<int> params;
    for (const BoundControl& bc : bound_)
        if (bc.binding.kind != ControlKind::Command && which(bc)) params.push_back(bc.param);
    forgetArrivals(params);
}

// ---------------------------------------------------------------------------------------------------------
// Arrivals: online a control may write only what the board has given the window

bool EditorBase::hasArrived(int index) const {
    if (!ctx_.state.Online) return true;
    return index > 0 && static_cast<std::size_t>(index) < arrived_.size() &&
           arrived_[static_cast<std::size_t>(index)];
}

bool EditorBase::haveArrived(const std::vector<int>& indexes) const {
    return std::all_of(indexes.begin(), indexes.end(), [this](int index) { return hasArrived(index); });
}

QString EditorBase::waitingToolTip() {
    return QStringLiteral(
        "The board's value is still on the way: the control is enabled when it has arrived.");
}

void EditorBase::markArrived(int index) {
    if (arrived_.empty()) arrived_.assign(kParamIndexCount, false);
    if (!ProgramState::isIndexInRange(index) || arrived_[static_cast<std::size_t>(index)]) return;
    arrived_[static_cast<std::size_t>(index)] = true;
    const auto [first, last] = byRead_.equal_range(index);
    for (auto it = first; it != last; ++it)
        refreshUsable(bound_[it->second]);
}

void EditorBase::forgetArrivals(const std::vector<int>& indexes) {
    if (!ctx_.state.Online || closed_) return;
    if (arrived_.empty()) arrived_.assign(kParamIndexCount, false);
    for (int index : indexes)
        if (ProgramState::isIndexInRange(index)) arrived_[static_cast<std::size_t>(index)] = false;
    for (int index : indexes) {
        const auto [first, last] = byRead_.equal_range(index);
        for (auto it = first; it != last; ++it)
            refreshUsable(bound_[it->second]);
    }
    applyGuards(false);
}

bool EditorBase::isReady(const BoundControl& bc) const {
    if (bc.binding.kind != ControlKind::Command && !hasArrived(bc.param)) return false;
    return haveArrived(bc.binding.alsoReads);
}

// Usable = every value the write reads is known and the window's rule allows it.
void EditorBase::refreshUsable(BoundControl& bc) {
    const Binding& b = bc.binding;
    bc.ready = isReady(bc);
    const bool allowed = !b.enabledWhen || b.enabledWhen(*this);
    adapterFor(b.kind).setUsable(bc, bc.ready && allowed, toolTipFor(bc));
    if (bc.caption && b.enabledWhen) bc.caption->setEnabled(allowed);
}

// The parameter's facts, then what the window adds (its default); while a value is on the way, that first.
QString EditorBase::toolTipFor(const BoundControl& bc) {
    QString tip = bc.facts;
    if (!bc.toolTip.isEmpty()) tip += QLatin1Char('\n') + bc.toolTip;
    return bc.ready ? tip : waitingToolTip() + QStringLiteral("\n\n") + tip;
}

namespace {
void setEnabledOf(QObject* control, bool enabled, const QString& toolTip) {
    if (auto* w = qobject_cast<QWidget*>(control)) {
        w->setEnabled(enabled);
        w->setToolTip(toolTip);
    } else if (auto* a = qobject_cast<QAction*>(control)) {
        a->setEnabled(enabled);
        a->setToolTip(toolTip);
    }
}
QString toolTipOf(QObject* control) {
    if (auto* w = qobject_cast<QWidget*>(control)) return w->toolTip();
    if (auto* a = qobject_cast<QAction*>(control)) return a->toolTip();
    return {};
}
} // namespace

void EditorBase::requireValues(QObject* control, std::vector<int> params) {
    requireValues(control, [params = std::move(params)] { return params; });
}

void EditorBase::requireValues(QObject* control, std::function<std::vector<int>()> params) {
    if (!control) return;
    const bool ready = haveArrived(params());
    guards_.push_back({control, std::move(params), ready, toolTipOf(control)});
    if (!ready) setEnabledOf(control, false, waitingToolTip());
}

// Guards that became ready are enabled before the window's own rules run (they may disable them again);
// guards still waiting are disabled after them, whatever those rules decided.
void EditorBase::applyGuards(bool becameReady) {
    for (Guard& g : guards_) {
        if (!g.control) continue;
        const bool ready = haveArrived(g.params());
        if (becameReady && ready && !g.ready) {
            g.ready = true;
            setEnabledOf(g.control, true, g.toolTip);
        } else if (!becameReady && !ready) {
            g.ready = false;
            setEnabledOf(g.control, false, waitingToolTip());
        }
    }
}

void EditorBase::onTabChanged() {
    if (!definition_.watchVisibleTab || closed_) return;
    watchAll();
    // Online the new page's values come from the board; its controls wait for them.
    awaitValues([this](const BoundControl& bc) { return bc.binding.tab >= 0 && isOnVisibleTab(bc.binding); });
    showKnownValues();
}

// A value another open window keeps watched is valid already and is not read again at once (the decimal point
// above all, which money controls need): it is shown from its cell, and the board's next reply refreshes it.
void EditorBase::showKnownValues() {
    if (!ctx_.state.Online) return;
    watch_.showKnownValues([this](int index, const ParamData& value) {
        if (!closed_) deliver(index, value);
    });
}

// The set is watched once more before the old watches go, so that no count drops to zero in between: a value
// on screen keeps its cell valid, and the link keeps polling the set without waiting for a first read again.
void EditorBase::rewatch() {
    if (closed_) return;
    watch_.renew(watchList());
}

} // namespace vm::editors
