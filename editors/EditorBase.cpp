#include "EditorBase.h"

#include "Display.h"
#include "MessageBox.h"
#include "ScrollDisplay.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/IndexComboBox.h"
#include "widgets/SliderSwitch.h"
#include "widgets/ToggleSwitch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMetaProperty>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <QPushButton>

#include <algorithm>
#include <bit>
#include <cmath>

namespace vm::editors {

namespace {
// CenterForm1 offsets, in twips of the original layout, and the twips of one screen pixel.
constexpr double kTwipsPerPixel = 15.0;
constexpr double kCenterForm1TopTwips = 100.0;
constexpr double kCenterForm1LeftTwips = 80.0;

int flashMs = 150;

const char* kConfirmPrompt = "      Are you sure?";
const char* kDefaultRangeError = " Error: Value Out Of Range ";
const char* kDefaultNumberError = " Error: Insert Only Numbers ";

// Sets Loading for the lifetime of the guard and restores the previous state.
class LoadingGuard {
public:
    explicit LoadingGuard(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~LoadingGuard() { flag_ = previous_; }

private:
    bool& flag_;
    bool previous_;
};

double numberOf(const ParamData& value) {
    if (const double* d = std::get_if<double>(&value)) return *d;
    bool ok = false;
    const double d = QString::fromStdString(std::get<std::string>(value)).trimmed().toDouble(&ok);
    return ok ? d : 0;
}

QString textOf(const ParamData& value) {
    if (const std::string* s = std::get_if<std::string>(&value)) {
        QString t = QString::fromLatin1(s->data(), static_cast<qsizetype>(s->size()));
        while (!t.isEmpty() && (t.back() == QChar(' ') || t.back() == QChar('\0')))
            t.chop(1);
        return t;
    }
    return QString::fromStdString(vm::PlainNumberText(std::get<double>(value)));
}

int gridColumnsOf(QWidget* container) {
    const QVariant v = container->property("vmColumns");
    return v.isValid() ? std::max(1, v.toInt()) : 1;
}
} // namespace

QString controlKey(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

QPoint centerForm1Position(QSize main, QSize form) {
    const double top =
        main.height() * 0.85 / 2.0 - form.height() / 2.0 + kCenterForm1TopTwips / kTwipsPerPixel;
    const double left = main.width() / 2.0 - form.width() / 2.0 - kCenterForm1LeftTwips / kTwipsPerPixel;
    // A window larger than the main window stays at the corner, so its title bar can be reached.
    return {std::max(0, static_cast<int>(std::lround(left))),
            std::max(0, static_cast<int>(std::lround(top)))};
}

void EditorBase::setCommitFlashMs(int ms) {
    flashMs = std::max(0, ms);
}
int EditorBase::commitFlashMs() {
    return flashMs;
}

EditorBase::EditorBase(EditorContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {}

EditorBase::~EditorBase() {
    closed_ = true;
    releaseAll();
    leaveFormList();
}

// ---------------------------------------------------------------------------------------------------------
// Load

void EditorBase::setup(EditorDefinition definition) {
    definition_ = std::move(definition);
    setObjectName(definition_.formName);
    loading_ = false;
    buildControls();
    buildExtra();
    InitMessaggi();

    ctx_.state.CurrentBank = 0;
    watchAll();
    ctx_.forms.add(this);
    if (ctx_.state.Online) {
        // Values arrive from the board; until then the controls show nothing the user could change.
        if (definition_.disableUntilDelivered)
            for (BoundControl& bc : bound_) {
                bc.awaiting = true;
                bc.widget->setEnabled(false);
            }
    } else {
        loadOffline();
    }
}

void EditorBase::watchAll() {
    std::vector<int> list;
    if (definition_.decimalPointParam > 0) list.push_back(definition_.decimalPointParam);
    list.insert(list.end(), definition_.extraWatch.begin(), definition_.extraWatch.end());
    for (const Binding& b : definition_.bindings) {
        if (!isOnVisibleTab(b)) continue;
        list.push_back(paramOf(b));
        if (definition_.watchMirrors && b.mirror != 0) list.push_back(mirrorOf(b));
    }
    // Every watch is paired with one release: the list is released as a whole before it is rebuilt.
    releaseAll();
    if (closed_) return;
    for (int index : list)
        if (index > 0 && std::find(watched_.begin(), watched_.end(), index) == watched_.end())
            watched_.push_back(index);
    ctx_.state.CurrentBank = 0;
    for (int index : watched_)
        ctx_.state.WatchParam(index);
}

void EditorBase::releaseAll() {
    ctx_.state.CurrentBank = 0;
    for (int index : watched_)
        ctx_.state.ReleaseParam(index);
    watched_.clear();
}

bool EditorBase::isOnVisibleTab(const Binding& b) const {
    return !definition_.watchVisibleTab || !tabs_ || b.tab < 0 || b.tab == tabs_->currentIndex();
}

void EditorBase::onTabChanged() {
    if (!definition_.watchVisibleTab || closed_) return;
    watchAll();
    // Online the new page's values come from the board; its controls wait for them.
    if (ctx_.state.Online && definition_.disableUntilDelivered)
        for (BoundControl& bc : bound_)
            if (bc.binding->tab >= 0 && isOnVisibleTab(*bc.binding)) {
                bc.awaiting = true;
                bc.widget->setEnabled(false);
            }
}

void EditorBase::leaveFormList() {
    ctx_.forms.remove(this);
}

void EditorBase::loadOffline() {
    ctx_.state.CurrentBank = 0;
    // The decimal point first, so that money values are formatted with it.
    std::vector<int> order;
    if (definition_.decimalPointParam > 0) order.push_back(definition_.decimalPointParam);
    if (!definition_.loadOrder.empty()) {
        order.insert(order.end(), definition_.loadOrder.begin(), definition_.loadOrder.end());
    } else {
        order.insert(order.end(), definition_.extraWatch.begin(), definition_.extraWatch.end());
        for (const Binding& b : definition_.bindings)
            if (std::find(order.begin(), order.end(), paramOf(b)) == order.end()) order.push_back(paramOf(b));
    }
    for (int index : order)
        if (index > 0) ctx_.state.NotifyEditor(index, this);
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
    releaseAll();
    leaveFormList();
    QWidget::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------------------
// Layout

void EditorBase::buildControls() {
    auto* outer = new QVBoxLayout(this);
    root_ = new QWidget(this);
    root_->setObjectName(QStringLiteral("root"));
    root_->setProperty("vmColumns", definition_.columns);
    new QGridLayout(root_);
    outer->addWidget(root_);

    if (!definition_.tabs.empty()) {
        tabs_ = new QTabWidget(root_);
        tabs_->setObjectName(QStringLiteral("SSTab1"));
        connect(tabs_, &QTabWidget::currentChanged, this, &EditorBase::onTabChanged);
        static_cast<QGridLayout*>(root_->layout())->addWidget(tabs_, 0, 0, 1, -1);
        root_->setProperty("vmNextRow", 1);
        for (std::size_t t = 0; t < definition_.tabs.size(); ++t) {
            auto* pageWidget = new QWidget;
            pageWidget->setObjectName(QStringLiteral("SSTab1_page%1").arg(t));
            pageWidget->setProperty("vmColumns", definition_.columns);
            new QGridLayout(pageWidget);
            tabs_->addTab(pageWidget, QString());
            pages_.push_back(pageWidget);
            const int tabIndex = static_cast<int>(t);
            texts_.push_back({definition_.tabs[t],
                              [this, tabIndex](const QString& s) { tabs_->setTabText(tabIndex, s); }});
        }
    }

    for (const FrameDefinition& f : definition_.frames) {
        QWidget* container = page(f.tab);
        auto* box = new QGroupBox(container);
        box->setObjectName(f.name);
        box->setProperty("vmColumns", f.columns);
        new QGridLayout(box);
        auto* grid = static_cast<QGridLayout*>(container->layout());
        const int row = container->property("vmNextRow").toInt();
        grid->addWidget(box, row, 0, 1, -1);
        container->setProperty("vmNextRow", row + 1);
        frames_[f.name] = box;
        controls_.insert(f.name, box);
        if (!f.title.isEmpty()) texts_.push_back({f.title, [box](const QString& s) { box->setTitle(s); }});
    }

    bound_.reserve(definition_.bindings.size());
    for (const Binding& b : definition_.bindings) {
        BoundControl bc;
        bc.binding = &b;
        QWidget* container = containerFor(b);
        bc.widget = makeControl(b, container);
        bc.widget->setObjectName(controlKey(b.control, b.controlIndex));
        controls_.insert(controlKey(b.control, b.controlIndex), bc.widget);

        QLabel* caption = nullptr;
        const bool captionOnButton = b.kind == ControlKind::CheckBox || b.kind == ControlKind::Option;
        if (captionOnButton) {
            auto* button = static_cast<QAbstractButton*>(bc.widget);
            texts_.push_back({b.caption, [button](const QString& s) { button->setText(s); }});
        } else if (!b.caption.isEmpty()) {
            caption = captionLabel(b.caption, container);
        }
        if (b.kind == ControlKind::ScrollBar && b.label != LabelFormat::None) {
            bc.label = new QLabel(container);
            bc.label->setMinimumWidth(48);
            bc.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            bc.label->setFrameShape(QFrame::Panel);
            bc.label->setFrameShadow(QFrame::Sunken);
            const QString labelKey = b.valueLabelName.isEmpty()
                                         ? controlKey(b.control, b.controlIndex) + QStringLiteral("_value")
                                         : controlKey(b.valueLabelName, b.valueLabelIndex);
            bc.label->setObjectName(labelKey);
            valueLabels_.insert(controlKey(b.control, b.controlIndex), bc.label);
            if (!b.valueLabelName.isEmpty()) controls_.insert(labelKey, bc.label);
        }
        addRow(container, caption, bc.widget, bc.label);
        bound_.push_back(bc);
    }
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        byWidget_.insert(bound_[i].widget, i);
        connectControl(bound_[i]);
    }
    rebuildIndexTables();
}

void EditorBase::rebuildIndexTables() {
    byIndex_.clear();
    byMirror_.clear();
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        const Binding& b = *bound_[i].binding;
        byIndex_.emplace(paramOf(b), i);
        if (b.mirror != 0) byMirror_.emplace(mirrorOf(b), i);
    }
}

int EditorBase::paramOf(const Binding& b) const {
    return b.index + b.selectionStride * selection_;
}

int EditorBase::mirrorOf(const Binding& b) const {
    return b.mirror == 0 ? 0 : b.mirror + b.selectionStride * selection_;
}

void EditorBase::setSelection(int selection) {
    if (selection == selection_ || closed_) return;
    selection_ = selection;
    rebuildIndexTables();
    ctx_.state.CurrentBank = 0;
    watchAll();
    if (ctx_.state.Online) {
        if (definition_.disableUntilDelivered)
            for (BoundControl& bc : bound_)
                if (bc.binding->selectionStride != 0) {
                    bc.awaiting = true;
                    bc.widget->setEnabled(false);
                }
        return;
    }
    for (const BoundControl& bc : bound_)
        if (bc.binding->selectionStride != 0) {
            // Each parameter once, although several controls may show it.
            const int index = paramOf(*bc.binding);
            const auto first = byIndex_.find(index);
            if (first != byIndex_.end() && &bound_[first->second] == &bc)
                ctx_.state.NotifyEditor(index, this);
        }
}

void EditorBase::startWaiting(int expected) {
    waiting_ = expected > 0;
    expectedCount_ = expected;
    deliveredCount_ = 0;
}

QWidget* EditorBase::containerFor(const Binding& b) const {
    if (!b.frame.isEmpty()) {
        if (QGroupBox* box = frame(b.frame)) return box;
    }
    return page(b.tab);
}

QWidget* EditorBase::page(int tab) const {
    if (tab >= 0 && tab < static_cast<int>(pages_.size())) return pages_[static_cast<std::size_t>(tab)];
    return root_;
}

QGroupBox* EditorBase::frame(const QString& name) const {
    const auto it = frames_.find(name);
    return it == frames_.end() ? nullptr : it->second;
}

void EditorBase::addRow(QWidget* container, QLabel* caption, QWidget* widget, QWidget* extra) {
    auto* grid = qobject_cast<QGridLayout*>(container->layout());
    if (!grid) return;
    const int columns = gridColumnsOf(container);
    const int slot = container->property("vmNextSlot").toInt();
    const int firstRow = container->property("vmFirstSlotRow").isValid()
                             ? container->property("vmFirstSlotRow").toInt()
                             : container->property("vmNextRow").toInt();
    if (!container->property("vmFirstSlotRow").isValid()) container->setProperty("vmFirstSlotRow", firstRow);
    const int row = firstRow + slot / columns;
    const int column = 3 * (slot % columns);
    if (caption) grid->addWidget(caption, row, column);
    grid->addWidget(widget, row, column + 1);
    if (extra) grid->addWidget(extra, row, column + 2);
    container->setProperty("vmNextSlot", slot + 1);
}

QLabel* EditorBase::captionLabel(const Caption& c, QWidget* parent) {
    auto* label = new QLabel(parent);
    addText(c, [label](const QString& s) { label->setText(s); });
    return label;
}

void EditorBase::registerControl(const QString& name, int index, QWidget* widget) {
    widget->setObjectName(controlKey(name, index));
    controls_.insert(controlKey(name, index), widget);
}

void EditorBase::addText(const Caption& c, std::function<void(const QString&)> setter) {
    setter(msg(c)); // shown at once, and again by every InitMessaggi
    texts_.push_back({c, std::move(setter)});
}

QWidget* EditorBase::makeControl(const Binding& b, QWidget* container) {
    switch (b.kind) {
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal, container);
        bar->setRange(b.min, b.max);
        bar->setPageStep(std::max(1, b.largeStep));
        bar->setSingleStep(1);
        // Dragging writes once, when the thumb is released, not at every pixel.
        bar->setTracking(false);
        bar->setMinimumWidth(140);
        return bar;
    }
    case ControlKind::Toggle: {
        auto* sw = new ToggleSwitch(container);
        if (b.items.size() == 2) {
            texts_.push_back({b.items[0], [sw](const QString& s) { sw->setPositionTexts(s, sw->onText()); }});
            texts_.push_back(
                {b.items[1], [sw](const QString& s) { sw->setPositionTexts(sw->offText(), s); }});
        }
        return sw;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(container);
    case ControlKind::Option: {
        auto* radio = new QRadioButton(container);
        radio->setAutoExclusive(false);
        const QString groupKey = b.control + QLatin1Char('/') + QString::number(b.index);
        QButtonGroup*& group = optionGroups_[groupKey];
        if (!group) {
            group = new QButtonGroup(this);
            group->setExclusive(true);
        }
        group->addButton(radio);
        return radio;
    }
    case ControlKind::Slider: {
        auto* sw = new SliderSwitch(container);
        QStringList positions;
        for (std::size_t i = 0; i < b.items.size(); ++i)
            positions << QString();
        sw->setPositions(positions);
        texts_.push_back({Caption(), [this, sw, &b](const QString&) {
                              QStringList texts;
                              for (const Caption& c : b.items)
                                  texts << msg(c);
                              const int keep = sw->value();
                              sw->setPositions(texts);
                              sw->setValue(keep);
                          }});
        return sw;
    }
    case ControlKind::Combo: {
        auto* box = new IndexComboBox(container);
        for (std::size_t i = 0; i < b.items.size(); ++i)
            box->addItem(QString());
        box->setCurrentIndex(-1);
        texts_.push_back({Caption(), [this, box, &b](const QString&) {
                              for (std::size_t i = 0; i < b.items.size(); ++i)
                                  box->setItemText(static_cast<int>(i), msg(b.items[i]));
                          }});
        return box;
    }
    case ControlKind::NumberBox:
    case ControlKind::TextBox: {
        auto* edit = new CommitLineEdit(container);
        edit->setFlashMs(flashMs);
        edit->setBlocked([this] { return loading_; });
        edit->setMaximumWidth(b.kind == ControlKind::NumberBox ? 90 : 240);
        edit->setEmptyOnFocus(b.emptyOnFocus);
        return edit;
    }
    case ControlKind::ValueText: {
        auto* label = new QLabel(container);
        label->setMinimumWidth(48);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        return label;
    }
    }
    return new QWidget(container);
}

void EditorBase::connectControl(BoundControl& bc) {
    if (bc.binding->kind == ControlKind::ValueText) return; // shows, never writes
    if (auto* edit = qobject_cast<CommitLineEdit*>(bc.widget)) {
        const std::size_t i = static_cast<std::size_t>(&bc - bound_.data());
        connect(edit, &CommitLineEdit::commitRequested, this,
                [this, i](const QString& typed) { onCommit(bound_[i], typed); });
        return;
    }
    // Every other control reports its value through its user property.
    const QMetaProperty property = bc.widget->metaObject()->userProperty();
    const QMetaMethod changed = property.notifySignal();
    const int slotIndex = metaObject()->indexOfSlot("onUserPropertyChanged()");
    connect(bc.widget, changed, this, metaObject()->method(slotIndex));
}

void EditorBase::onUserPropertyChanged() {
    auto* widget = qobject_cast<QWidget*>(sender());
    const auto it = byWidget_.constFind(widget);
    if (it != byWidget_.constEnd()) onControlChanged(bound_[*it]);
}

// ---------------------------------------------------------------------------------------------------------
// Texts and placement

QString EditorBase::msg(const Caption& c) const {
    return c.text(ctx_.messages);
}

void EditorBase::InitMessaggi() {
    if (!definition_.title.isEmpty()) setWindowTitle(msg(definition_.title));
    for (auto& [caption, set] : texts_)
        set(msg(caption));
    initMessaggiExtra();
}

void EditorBase::CenterForm1() {
    if (!ctx_.hooks) return;
    QWidget* placed = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    placed->move(centerForm1Position(ctx_.hooks->mainWindowSize(), placed->size()));
}

void EditorBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    CenterForm1();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) InitMessaggi();
                });
    }
}

void EditorBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if ((event->type() == QEvent::ActivationChange && isActiveWindow()) ||
        event->type() == QEvent::LanguageChange)
        InitMessaggi();
}

bool EditorBase::confirm(const QString& buttonTitle) {
    const MessageAnswer answer = showMessage({this, MessageIcon::Critical, MessageButtons::YesNo,
                                              QString::fromLatin1(kConfirmPrompt), buttonTitle});
    return answer != MessageAnswer::No;
}

void EditorBase::showError(const QString& text) {
    showMessage({this, MessageIcon::Critical, MessageButtons::Ok, text, windowTitle()});
}

void EditorBase::showInfo(const QString& text) {
    showMessage({this, MessageIcon::Information, MessageButtons::Ok, text, windowTitle()});
}

QPushButton* EditorBase::addButton(const QString& name, int index, const Caption& caption, QWidget* container,
                                   std::function<void()> onClick) {
    auto* button = new QPushButton(container);
    registerControl(name, index, button);
    addText(caption, [button](const QString& s) { button->setText(s); });
    connect(button, &QPushButton::clicked, this, [this, onClick = std::move(onClick)] {
        if (!loading_ && onClick) onClick();
    });
    return button;
}

// ---------------------------------------------------------------------------------------------------------
// Delivery

void EditorBase::deliver(int index, const ParamData& value) {
    if (closed_ || ctx_.state.CurrentBank != 0 || !ProgramState::isIndexInRange(index)) return;
    LoadingGuard guard(loading_);
    // Offline the image is the truth; online the delivered value is.
    const ParamData shown = ctx_.state.Online ? value : ctx_.state.imageData(index);

    if (index == definition_.decimalPointParam ||
        (ctx_.state.Online && index == definition_.decimalPointTwin && index != 0)) {
        const int decimals = static_cast<int>(numberOf(shown)) & 3;
        if (decimals != moneyDecimals_) setMoneyDecimals(decimals);
    }
    const auto showAll = [&](const std::multimap<int, std::size_t>& table) {
        const auto [first, last] = table.equal_range(index);
        for (auto it = first; it != last; ++it) {
            BoundControl& bc = bound_[it->second];
            if (bc.binding->isBit())
                bitCopies_[paramOf(*bc.binding)] = static_cast<std::uint32_t>(numberOf(shown));
            showValue(bc, shown);
        }
    };
    showAll(byIndex_);
    // A twin carries the same value; offline its image bytes are not kept, so only online deliveries count.
    if (ctx_.state.Online) showAll(byMirror_);
    if (ctx_.state.Online && waiting_ && ++deliveredCount_ >= expectedCount_) {
        waiting_ = false;
        deliveredCount_ = 0;
        waitingDone();
    }
    afterDelivery(index, shown);
}

std::uint32_t EditorBase::fieldOf(const Binding& b, int value) const {
    const int shift = std::countr_zero(b.bitMask);
    const std::uint32_t field = (static_cast<std::uint32_t>(std::max(0, value)) << shift) & b.bitMask;
    return (bitCopy(paramOf(b)) & ~b.bitMask) | field;
}

void EditorBase::showStored(const Binding& binding, const ParamData& value) {
    LoadingGuard guard(loading_);
    for (BoundControl& bc : bound_)
        if (bc.binding == &binding) showValue(bc, value);
}

void EditorBase::showValue(BoundControl& bc, const ParamData& value) {
    const Binding& b = *bc.binding;
    if (bc.awaiting) {
        bc.awaiting = false;
        bc.widget->setEnabled(true);
    }
    if (b.kind == ControlKind::TextBox) {
        static_cast<CommitLineEdit*>(bc.widget)->showCommitted(textOf(value));
        return;
    }
    double stored = numberOf(value);
    const auto raw = static_cast<long long>(stored);
    const bool isField = b.isBit() && (b.kind == ControlKind::ScrollBar || b.kind == ControlKind::NumberBox ||
                                       b.kind == ControlKind::ValueText);
    if (isField)
        stored = static_cast<double>((static_cast<unsigned long long>(raw) & b.bitMask) >>
                                     std::countr_zero(b.bitMask));
    bc.lastStored = stored;
    const auto whole = static_cast<long long>(stored);
    const bool bitOn =
        b.isBit() && (((static_cast<unsigned long long>(whole) & b.bitMask) != 0) != b.inverted);
    const QMetaProperty property = bc.widget->metaObject()->userProperty();

    switch (b.kind) {
    case ControlKind::ScrollBar:
        showScroll(*static_cast<QScrollBar*>(bc.widget), bc.label, b, stored, moneyDecimals_);
        break;
    case ControlKind::Toggle:
    case ControlKind::CheckBox: {
        bool on = bitOn;
        if (!b.isBit())
            on = b.itemValues.size() == 2 ? whole == b.itemValues[1] : ((whole != 0) != b.inverted);
        property.write(bc.widget, on);
        break;
    }
    case ControlKind::Option: {
        const bool chosen = b.isBit() ? (bitOn == (b.choice != 0)) : whole == b.choice;
        auto* radio = static_cast<QRadioButton*>(bc.widget);
        if (chosen) {
            radio->setChecked(true);
        } else if (radio->isChecked()) {
            // No button of the array matches: none is shown chosen.
            QButtonGroup* group = radio->group();
            if (group) group->setExclusive(false);
            radio->setChecked(false);
            if (group) group->setExclusive(true);
        }
        break;
    }
    case ControlKind::Slider:
    case ControlKind::Combo: {
        int position = b.isBit() ? (bitOn ? 1 : 0) : b.controlFromStored(static_cast<int>(whole));
        if (b.kind == ControlKind::Slider) {
            auto* sw = static_cast<SliderSwitch*>(bc.widget);
            position = std::clamp(position, sw->minimum(), sw->maximum());
        }
        property.write(bc.widget, position);
        break;
    }
    case ControlKind::NumberBox:
        static_cast<CommitLineEdit*>(bc.widget)->showCommitted(
            QString::fromStdString(vm::PlainNumberText(stored)));
        break;
    case ControlKind::TextBox:
        break;
    case ControlKind::ValueText:
        static_cast<QLabel*>(bc.widget)->setText(formatStored(b.label, stored, moneyDecimals_));
        break;
    }
}

void EditorBase::setMoneyDecimals(int decimals) {
    moneyDecimals_ = decimals;
    for (BoundControl& bc : bound_) {
        if (bc.binding->label != LabelFormat::Money || !bc.lastStored) continue;
        QLabel* label =
            bc.binding->kind == ControlKind::ValueText ? static_cast<QLabel*>(bc.widget) : bc.label;
        if (label) label->setText(formatStored(LabelFormat::Money, *bc.lastStored, moneyDecimals_));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Writing

void EditorBase::onControlChanged(BoundControl& bc) {
    if (loading_) return;
    const Binding& b = *bc.binding;
    const QVariant current = bc.widget->metaObject()->userProperty().read(bc.widget);

    std::optional<bool> bitOn; // the state a bit switch asks for
    int stored = 0;
    switch (b.kind) {
    case ControlKind::ScrollBar:
        stored = b.storedFromControl(current.toInt());
        if (b.isBit()) stored = static_cast<int>(fieldOf(b, stored));
        break;
    case ControlKind::Toggle:
    case ControlKind::CheckBox:
        if (b.isBit())
            bitOn = current.toBool();
        else
            stored = b.itemValues.size() == 2 ? b.itemValues[current.toBool() ? 1 : 0]
                                              : ((current.toBool() != b.inverted) ? 1 : 0);
        break;
    case ControlKind::Option:
        if (!current.toBool()) return; // the button that lost the choice writes nothing
        if (b.isBit())
            bitOn = b.choice != 0;
        else
            stored = b.choice;
        break;
    case ControlKind::Slider:
    case ControlKind::Combo:
        if (current.toInt() < 0) return;
        if (b.isBit())
            bitOn = current.toInt() != 0;
        else
            stored = b.storedFromControl(current.toInt());
        break;
    case ControlKind::NumberBox:
    case ControlKind::TextBox:
    case ControlKind::ValueText:
        return;
    }
    if (bitOn) {
        // The switch's bit is cleared in the window's copy, set again when on, and the whole byte written.
        std::uint32_t byte = bitCopy(paramOf(b)) & ~b.bitMask;
        if (*bitOn != b.inverted) byte |= b.bitMask;
        stored = static_cast<int>(byte);
    }
    if (!beforeWrite(b, stored)) return;
    if (b.isBit()) bitCopies_[paramOf(b)] = static_cast<std::uint32_t>(stored);
    writeParam(paramOf(b), mirrorOf(b), b.width, static_cast<std::uint32_t>(std::max(0, stored)));
    afterWrite(b, stored);
}

void EditorBase::onCommit(BoundControl& bc, const QString& typed) {
    if (loading_) return;
    const Binding& b = *bc.binding;
    auto* edit = static_cast<CommitLineEdit*>(bc.widget);
    if (b.kind == ControlKind::TextBox) {
        int ignored = 0;
        if (!beforeWrite(b, ignored)) return edit->rejectCommit();
        edit->acceptCommit();
        writeText(paramOf(b), mirrorOf(b), typed);
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
    if (b.isBit()) value = static_cast<int>(fieldOf(b, value)); // the other bytes of the value stay
    if (!beforeWrite(b, value)) return edit->rejectCommit();
    edit->acceptCommit();
    if (b.isBit()) bitCopies_[paramOf(b)] = static_cast<std::uint32_t>(value);
    writeParam(paramOf(b), mirrorOf(b), b.width, static_cast<std::uint32_t>(value));
    afterWrite(b, value);
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
}

void EditorBase::writeText(int index, int mirror, const QString& text) {
    ProgramState& state = ctx_.state;
    if (index <= 0 || !ProgramState::isIndexInRange(index)) return;
    if (!ProgramState::isIndexInRange(mirror)) mirror = 0;
    state.CurrentBank = 0;
    const QByteArray bytes = text.toLatin1();
    const ParamCell& cell = state.cell(index);
    const int address = cell.boardAddress();
    const int room = std::min<int>(cell.valueSize(), kImageSize - address);
    const int n = std::min<int>(static_cast<int>(bytes.size()), room);
    for (int i = 0; i < n; ++i)
        state.ConfigImage[static_cast<std::size_t>(address + i)] = static_cast<std::uint8_t>(bytes[i]);
    // The rest of the field is blanked, so a shorter text does not keep the tail of the old one.
    for (int i = n; i < room; ++i)
        state.ConfigImage[static_cast<std::size_t>(address + i)] = ' ';
    if (!state.Online) {
        state.NotifyEditor(index, this);
        return;
    }
    const std::string padded = std::string(bytes.constData(), static_cast<std::size_t>(n)) +
                               std::string(static_cast<std::size_t>(std::max(0, room - n)), ' ');
    state.SetParamValue(index, std::string_view(padded));
    if (mirror != 0) state.SetParamValue(mirror, std::string_view(padded));
}

double EditorBase::paramValue(int index) const {
    if (ctx_.state.Online) return ctx_.state.ParamValue(index, 0);
    return numberOf(ctx_.state.imageData(index));
}

std::uint32_t EditorBase::bitCopy(int index) const {
    const auto it = bitCopies_.find(index);
    return it == bitCopies_.end() ? 0u : it->second;
}

// ---------------------------------------------------------------------------------------------------------
// Queries

QWidget* EditorBase::control(const QString& name, int index) const {
    return controls_.value(controlKey(name, index), nullptr);
}

QLabel* EditorBase::valueLabel(const QString& scrollName, int index) const {
    return valueLabels_.value(controlKey(scrollName, index), nullptr);
}

std::vector<BindingInfo> EditorBase::bindingInfo() const {
    std::vector<BindingInfo> out;
    out.reserve(definition_.bindings.size());
    for (const Binding& b : definition_.bindings)
        out.push_back({b.control, b.controlIndex, paramOf(b), mirrorOf(b), b.width});
    return out;
}

} // namespace vm::editors
