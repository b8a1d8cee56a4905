// Building a window from its declaration: pages, frames, rows of controls, and the name table.

#include "EditorBase.h"

#include "Catalogue.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vm::editors {

namespace {
// CenterForm1 offsets, in twips of the original layout, and the twips of one screen pixel.
constexpr double kTwipsPerPixel = 15.0;
constexpr double kCenterForm1TopTwips = 100.0;
constexpr double kCenterForm1LeftTwips = 80.0;

QWidget* gridContainer(QWidget* w, int columns) {
    w->setProperty("vmColumns", std::max(1, columns));
    new QGridLayout(w);
    return w;
}
} // namespace

QString controlKey(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

QPoint centerForm1Position(QSize main, QSize form) {
    const double top = main.height() * 0.85 / 2.0 - form.height() / 2.0 + kCenterForm1TopTwips / kTwipsPerPixel;
    const double left = main.width() / 2.0 - form.width() / 2.0 - kCenterForm1LeftTwips / kTwipsPerPixel;
    // A window larger than the main window stays at the corner, so its title bar can be reached.
    return {std::max(0, static_cast<int>(std::lround(left))), std::max(0, static_cast<int>(std::lround(top)))};
}

void EditorBase::CenterForm1() {
    if (!ctx_.hooks) return;
    QWidget* placed = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    placed->move(centerForm1Position(ctx_.hooks->mainWindowSize(), placed->size()));
}

Binding EditorBase::resolved(Binding b) const {
    // Width, text-ness and the twin are the catalogue's unless the window states otherwise.
    if (b.kind == ControlKind::Command) b.mirror = 0;
    const catalogue::ParamInfo* info = catalogue::find(b.locate ? b.locate(*this) : b.index);
    // Writes stop at three bytes; a label only shows, so it keeps a four-byte counter's width.
    const int widest = b.kind == ControlKind::ValueText ? 4 : 3;
    if (b.width == kFromCatalogue) b.width = info ? (info->isText ? 0 : std::min(info->width, widest)) : 1;
    if (b.kind == ControlKind::TextBox) b.width = 0;
    if (b.mirror == kFromCatalogue && !b.locate) b.mirror = info ? info->mirror : 0;
    // So are the range and a value shown in tenths.
    if (info && info->hasRange && !b.rangeStated) b.range(info->min, info->max);
    if (info && info->decimals == 1 && b.label == LabelFormat::Plain) b.label = LabelFormat::Tenths;
    return b;
}

void EditorBase::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // A window taller or wider than the screen scrolls instead of running off it.
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    root_ = gridContainer(new QWidget, definition_.columns);
    root_->setObjectName(QStringLiteral("root"));
    scroll->setWidget(root_);
    outer->addWidget(scroll);

    if (!definition_.tabs.empty()) {
        tabs_ = new QTabWidget(root_);
        tabs_->setObjectName(QStringLiteral("SSTab1"));
        static_cast<QGridLayout*>(root_->layout())->addWidget(tabs_, 0, 0, 1, -1);
        root_->setProperty("vmNextRow", 1);
        for (std::size_t t = 0; t < definition_.tabs.size(); ++t) {
            QWidget* pageWidget = gridContainer(new QWidget, definition_.tabs[t].columns);
            pageWidget->setObjectName(QStringLiteral("SSTab1_page%1").arg(t));
            tabs_->addTab(pageWidget, QString());
            pages_.push_back(pageWidget);
            const int tabIndex = static_cast<int>(t);
            addText(definition_.tabs[t].title, [this, tabIndex](const QString& s) { tabs_->setTabText(tabIndex, s); });
        }
        connect(tabs_, &QTabWidget::currentChanged, this, &EditorBase::onTabChanged);
    }

    bound_.reserve(definition_.bindings.size());
    const AdapterEnv env{texts_, [this] { return loading_; }, commitFlashMs()};
    std::size_t position = 0;
    for (const Binding& declared : definition_.bindings) {
        // Frames stand where they were declared, also those the window fills itself.
        for (const FrameDefinition& f : definition_.frames)
            if (f.firstBinding <= position) makeFrame(f.name);
        ++position;
        BoundControl bc;
        bc.binding = resolved(declared);
        const Binding& b = bc.binding;
        if (!b.frame.isEmpty()) makeFrame(b.frame);
        QWidget* container = containerFor(b);
        const bool sharedWidget = b.kind == ControlKind::ListRow;
        QWidget* existing = sharedWidget ? container->findChild<QWidget*>(b.control, Qt::FindDirectChildrenOnly) : nullptr;
        bc.widget = adapterFor(b.kind).create(bc, container, env);
        const QString key = controlKey(b.control, b.controlIndex);
        if (!sharedWidget) bc.widget->setObjectName(key);
        controls_.insert(key, bc.widget);
        if (bc.label) {
            const QString labelKey = b.valueLabelName.isEmpty() ? key + QStringLiteral("_value")
                                                                : controlKey(b.valueLabelName, b.valueLabelIndex);
            bc.label->setObjectName(labelKey);
            valueLabels_.insert(key, bc.label);
            if (!b.valueLabelName.isEmpty()) controls_.insert(labelKey, bc.label);
        }
        const bool captionInside = b.kind == ControlKind::CheckBox || b.kind == ControlKind::Option ||
                                   b.kind == ControlKind::ListRow || b.kind == ControlKind::Command;
        QLabel* caption = !captionInside && !b.caption.isEmpty() ? captionLabel(b.caption, container) : nullptr;
        bc.caption = caption;
        if (caption && !b.captionName.isEmpty()) registerControl(b.captionName, b.captionIndex, caption);
        if (!existing) addRow(container, caption, bc.widget, bc.label);
        bound_.push_back(std::move(bc));
    }
    for (const FrameDefinition& f : definition_.frames)
        makeFrame(f.name); // frames declared after the last binding
    for (std::size_t i = 0; i < bound_.size(); ++i)
        adapterFor(bound_[i].binding.kind)
            .onUserChange(bound_[i], this, [this, i](const QString& typed) { onUserChange(i, typed); });
    rebuildIndexTables();
}

// A frame takes the next row of its page, where it is first used.
void EditorBase::makeFrame(const QString& name) {
    if (frames_.count(name)) return;
    const auto f = std::find_if(definition_.frames.begin(), definition_.frames.end(),
                                [&](const FrameDefinition& d) { return d.name == name; });
    if (f == definition_.frames.end()) return;
    QWidget* container = page(f->tab);
    auto* box = new QGroupBox(container);
    box->setObjectName(f->name);
    gridContainer(box, f->columns);
    auto* grid = static_cast<QGridLayout*>(container->layout());
    const int row = container->property("vmNextRow").toInt();
    grid->addWidget(box, row, 0, 1, -1);
    container->setProperty("vmNextRow", row + 1);
    container->setProperty("vmNextSlot", 0); // rows after the frame start a new line
    frames_[f->name] = box;
    controls_.insert(f->name, box);
    if (!f->title.isEmpty()) addText(f->title, [box](const QString& s) { box->setTitle(s); });
}

// Extra height goes below the last row, not between the rows.
void EditorBase::finishLayout() {
    for (QWidget* container : pages_)
        if (auto* grid = qobject_cast<QGridLayout*>(container->layout()))
            grid->setRowStretch(container->property("vmNextRow").toInt(), 1);
    if (auto* grid = qobject_cast<QGridLayout*>(root_->layout()))
        grid->setRowStretch(root_->property("vmNextRow").toInt(), 1);
}

QWidget* EditorBase::containerFor(const Binding& b) const {
    if (!b.frame.isEmpty())
        if (QGroupBox* box = frame(b.frame)) return box;
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

// Rows fill the container's columns left to right, then top to bottom; each slot is caption, control, extra.
void EditorBase::addRow(QWidget* container, QLabel* caption, QWidget* widget, QWidget* extra) {
    auto* grid = qobject_cast<QGridLayout*>(container->layout());
    if (!grid) return;
    const int columns = std::max(1, container->property("vmColumns").toInt());
    const int slot = container->property("vmNextSlot").toInt();
    if (slot % columns == 0) { // a new line
        const int next = container->property("vmNextRow").toInt();
        container->setProperty("vmSlotRow", next);
        container->setProperty("vmNextRow", next + 1);
    }
    const int row = container->property("vmSlotRow").toInt();
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

QWidget* EditorBase::control(const QString& name, int index) const {
    return controls_.value(controlKey(name, index), nullptr);
}

QLabel* EditorBase::valueLabel(const QString& scrollName, int index) const {
    return valueLabels_.value(controlKey(scrollName, index), nullptr);
}

std::vector<BindingInfo> EditorBase::bindingInfo() const {
    std::vector<BindingInfo> out;
    out.reserve(bound_.size());
    for (const BoundControl& bc : bound_)
        out.push_back({bc.binding.control, bc.binding.controlIndex, bc.param, bc.twin, bc.binding.width,
                       adapterFor(bc.binding.kind).shownToolTip(bc)});
    return out;
}

} // namespace vm::editors
