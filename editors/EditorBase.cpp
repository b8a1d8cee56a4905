#include "EditorBase.h"

#include "ParamToolTip.h"

#include "Catalogue.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <bit>
#include <utility>

namespace vm::editors {

namespace {
int flashMs = 150;
int answerLimitMs = 5000;

double numberOf(const ParamData& value) {
    if (const double* d = std::get_if<double>(&value)) return *d;
    bool ok = false;
    const double d = QString::fromStdString(std::get<std::string>(value)).trimmed().toDouble(&ok);
    return ok ? d : 0;
}

QString textOf(const ParamData& value) {
    const std::string* s = std::get_if<std::string>(&value);
    if (!s) return QString::number(std::get<double>(value), 'f', 0);
    QString t = QString::fromLatin1(s->data(), static_cast<qsizetype>(s->size()));
    while (!t.isEmpty() && (t.back() == QChar(' ') || t.back() == QChar('\0')))
        t.chop(1);
    return t;
}
} // namespace

void EditorBase::setCommitFlashMs(int ms) {
    flashMs = std::max(0, ms);
}
int EditorBase::commitFlashMs() {
    return flashMs;
}
void EditorBase::setBoardAnswerLimitMs(int ms) {
    answerLimitMs = std::max(0, ms);
}
int EditorBase::boardAnswerLimitMs() {
    return answerLimitMs;
}

EditorBase::EditorBase(EditorContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), texts_(ctx.messages), watch_(ctx.state) {}

EditorBase::~EditorBase() {
    closed_ = true;
    leave();
}

// ---------------------------------------------------------------------------------------------------------
// Life cycle

void EditorBase::setup(EditorDefinition definition) {
    definition_ = std::move(definition);
    setObjectName(definition_.formName);
    loading_ = false;
    buildControls();
    buildExtra();
    finishLayout();
    buildResetEntries();
    for (std::size_t i = 0; i < bound_.size(); ++i)
        if (bound_[i].binding.enabledWhen || bound_[i].binding.visibleWhen) ruled_.push_back(i);
    retranslate();

    ctx_.state.CurrentBank = 0;
    watchAll();
    ctx_.forms.add(this);
    if (ctx_.state.Online) {
        // Values arrive from the board; until then the controls show nothing the user could change.
        awaitValues([](const BoundControl&) { return true; });
        applyRules();
        showKnownValues();
    } else {
        loadOffline();
    }
}

void EditorBase::leave() {
    releaseAll();
    ctx_.forms.remove(this);
}

void EditorBase::closeForm() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close(); // closes this window first
    else
        close();
}

void EditorBase::closeEvent(QCloseEvent* event) {
    if (!closed_) formUnload();
    closed_ = true;
    leave();
    QWidget::closeEvent(event);
}

void EditorBase::loadOffline() {
    if (definition_.liveOnly) return;
    std::vector<int> order;
    if (definition_.decimalPointParam > 0) order.push_back(definition_.decimalPointParam);
    if (!definition_.loadOrder.empty()) {
        order.insert(order.end(), definition_.loadOrder.begin(), definition_.loadOrder.end());
    } else {
        order.insert(order.end(), definition_.extraWatch.begin(), definition_.extraWatch.end());
        for (const BoundControl& bc : bound_)
            order.push_back(bc.param);
    }
    const std::vector<int> more = moreWatched();
    order.insert(order.end(), more.begin(), more.end());
    loadNotified(order);
    applyRules();
}

// Each parameter once, in the given order.
void EditorBase::loadNotified(const std::vector<int>& order) {
    ctx_.state.CurrentBank = 0;
    // The rules are evaluated once after the whole set, not after each of its values.
    const bool wasBatch = std::exchange(batch_, true);
    std::vector<bool> done(kParamIndexCount, false);
    for (int index : order)
        if (index > 0 && ProgramState::isIndexInRange(index) && !done[static_cast<std::size_t>(index)]) {
            done[static_cast<std::size_t>(index)] = true;
            ctx_.state.NotifyEditor(index, this);
        }
    batch_ = wasBatch;
}

void EditorBase::reload() {
    if (closed_) return;
    bitCopies_.clear();
    if (ctx_.state.Online) return; // online the board's values keep arriving
    loadOffline();
}

int EditorBase::paramOf(const Binding& b) const {
    if (b.locate) return b.locate(*this);
    return b.index + b.selectionStride * selection_;
}

int EditorBase::mirrorOf(const Binding& b) const {
    if (b.mirror == kFromCatalogue) {
        const catalogue::ParamInfo* info = catalogue::find(paramOf(b));
        return info ? info->mirror : 0;
    }
    return b.mirror == 0 ? 0 : b.mirror + b.selectionStride * selection_;
}

void EditorBase::rebuildIndexTables() {
    byIndex_.clear();
    byMirror_.clear();
    byRead_.clear();
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        BoundControl& bc = bound_[i];
        bc.param = paramOf(bc.binding);
        bc.twin = mirrorOf(bc.binding);
        if (QString facts = ParameterToolTip(bc.binding, bc.param); facts != bc.facts) {
            bc.facts = std::move(facts);
            adapterFor(bc.binding.kind).showToolTip(bc, toolTipFor(bc));
        }
        byIndex_.emplace(bc.param, i);
        if (bc.twin != 0) byMirror_.emplace(bc.twin, i);
        if (bc.binding.kind != ControlKind::Command) byRead_.emplace(bc.param, i);
        for (int read : bc.binding.alsoReads)
            if (read != bc.param) byRead_.emplace(read, i);
    }
}

void EditorBase::setSelection(int selection) {
    if (selection == selection_ || closed_) return;
    selection_ = selection;
    relocate();
}

void EditorBase::relocate() {
    if (closed_) return;
    std::vector<int> before;
    for (const BoundControl& bc : bound_)
        before.push_back(bc.param);
    rebuildIndexTables();
    watchAll();
    const auto moved = [&](const BoundControl& bc) {
        return bc.param != before[static_cast<std::size_t>(&bc - bound_.data())];
    };
    if (ctx_.state.Online) return awaitValues(moved);
    std::vector<int> order;
    for (const BoundControl& bc : bound_)
        if (moved(bc)) order.push_back(bc.param);
    loadNotified(order);
    applyRules();
}

void EditorBase::lockPagesUntilDelivered(int deliveries) {
    if (!ctx_.state.Online || deliveries <= 0) return;
    deliveriesToUnlock_ = deliveries;
    applyRules();
}

// ---------------------------------------------------------------------------------------------------------
// Delivery

void EditorBase::deliver(int index, const ParamData& value) {
    if (closed_ || ctx_.state.CurrentBank != 0 || !ProgramState::isIndexInRange(index)) return;
    LoadingScope scope(*this);
    // Offline the image is the truth; online the delivered value is.
    const ParamData shown = ctx_.state.Online ? value : ctx_.state.imageData(index);

    if (index == definition_.decimalPointParam ||
        (ctx_.state.Online && index == definition_.decimalPointTwin && index != 0)) {
        const int decimals = static_cast<int>(numberOf(shown)) & 3;
        if (decimals != moneyDecimals_) setMoneyDecimals(decimals);
    }
    std::vector<int> twinOf; // parameters shown from their twin's delivery
    const auto showAll = [&](const std::multimap<int, std::size_t>& table) {
        const auto [first, last] = table.equal_range(index);
        for (auto it = first; it != last; ++it) {
            BoundControl& bc = bound_[it->second];
            if (bc.binding.isBit()) bitCopies_[bc.param] = static_cast<std::uint32_t>(numberOf(shown));
            showValue(bc, shown);
            showDefaultMark(bc, shown);
            if (bc.param != index) twinOf.push_back(bc.param);
        }
    };
    showAll(byIndex_);
    // A twin carries the same value; offline its image bytes are not read, so only online deliveries count.
    if (ctx_.state.Online) {
        showAll(byMirror_);
        markArrived(index);
        for (int param : twinOf)
            markArrived(param);
        releaseAcknowledged(index);
    }
    // EnableTable at the last of the deliveries the pages wait for.
    if (ctx_.state.Online && deliveriesToUnlock_ > 0 && --deliveriesToUnlock_ == 0) applyRules();
    // A control's own show hook: a value it shows or its write reads has arrived.
    for (const BoundControl& bc : bound_) {
        const Binding& b = bc.binding;
        if (b.showHook && (index == bc.param || (ctx_.state.Online && bc.twin != 0 && index == bc.twin) ||
                           std::find(b.alsoReads.begin(), b.alsoReads.end(), index) != b.alsoReads.end()))
            b.showHook(index, shown);
    }
    afterDelivery(index, shown);
    if (!batch_) applyRules();
}

void EditorBase::showValue(BoundControl& bc, const ParamData& value) {
    const Binding& b = bc.binding;
    Shown shown;
    shown.decimals = moneyDecimals_;
    shown.text = textOf(value);
    const auto raw = static_cast<unsigned long long>(std::max(0.0, numberOf(value)));
    shown.bitOn = b.isBit() && (((raw & b.bitMask) != 0) != b.inverted);
    shown.stored = b.isBit() && !b.isSwitch() ? static_cast<double>((raw & b.bitMask) >> std::countr_zero(b.bitMask))
                                              : numberOf(value);
    bc.lastStored = shown.stored;
    adapterFor(b.kind).show(bc, shown);
}

void EditorBase::setMoneyDecimals(int decimals) {
    moneyDecimals_ = decimals;
    for (BoundControl& bc : bound_)
        if (bc.binding.label == LabelFormat::Money && bc.lastStored) {
            LoadingScope scope(*this);
            showValue(bc, *bc.lastStored);
        }
}

// ---------------------------------------------------------------------------------------------------------
// Rules

void EditorBase::applyRules() {
    if (closed_) return;
    applyGuards(true);
    for (std::size_t i : ruled_) {
        BoundControl& bc = bound_[i];
        const Binding& b = bc.binding;
        if (b.enabledWhen) refreshUsable(bc);
        if (b.visibleWhen) {
            const bool visible = b.visibleWhen(*this);
            for (QWidget* w : {bc.widget, static_cast<QWidget*>(bc.label), static_cast<QWidget*>(bc.caption)})
                if (w) w->setVisible(visible);
        }
    }
    for (const FrameDefinition& f : definition_.frames) {
        QGroupBox* box = frame(f.name);
        if (f.enabledWhen) box->setEnabled(f.enabledWhen(*this));
        if (f.visibleWhen) box->setVisible(f.visibleWhen(*this));
    }
    for (std::size_t t = 0; tabs_ && t < definition_.tabs.size(); ++t) {
        const Condition& rule = definition_.tabs[t].enabledWhen;
        tabs_->setTabEnabled(static_cast<int>(t), !pagesLocked() && (!rule || rule(*this)));
    }
    rulesApplied();
    applyGuards(false);
}

} // namespace vm::editors
