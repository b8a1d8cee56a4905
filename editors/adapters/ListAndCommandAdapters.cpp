// Rows of a list view with check boxes, and command buttons.

#include "Adapters.h"

#include "../EditorTexts.h"

#include <QPushButton>
#include <QTreeWidget>

namespace vm::editors {

namespace {
QTreeWidgetItem* itemOf(const BoundControl& bc) {
    return static_cast<QTreeWidget*>(bc.widget)->topLevelItem(bc.row);
}
} // namespace

// Every row of one list shares the list view, named as the window names the list.
QWidget* ListRowAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    auto* list = container->findChild<QTreeWidget*>(bc.binding.control, Qt::FindDirectChildrenOnly);
    if (!list) {
        list = new QTreeWidget(container);
        list->setObjectName(bc.binding.control);
        list->setHeaderHidden(true);
        list->setRootIsDecorated(false);
        list->setMinimumHeight(160);
    }
    auto* item = new QTreeWidgetItem(list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(0, Qt::Unchecked);
    bc.row = list->indexOfTopLevelItem(item);
    env.texts.add(bc.binding.caption, [item](const QString& s) { item->setText(0, s); });
    return list;
}

void ListRowAdapter::show(BoundControl& bc, const Shown& v) const {
    if (QTreeWidgetItem* item = itemOf(bc)) item->setCheckState(0, v.bitOn ? Qt::Checked : Qt::Unchecked);
}

// The list tells every change of an item as itemChanged, the user's check and a new tool tip alike: changes
// made here are hidden from it, so that only the user's check writes.
void ListRowAdapter::setUsable(BoundControl& bc, bool usable, const QString& toolTip) const {
    QTreeWidgetItem* item = itemOf(bc);
    if (!item) return;
    const QSignalBlocker quiet(bc.widget);
    const Qt::ItemFlags flags = usable ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled;
    if (flags != item->flags()) item->setFlags(flags);
    if (item->toolTip(0) != toolTip) item->setToolTip(0, toolTip);
}

void ListRowAdapter::showToolTip(BoundControl& bc, const QString& toolTip) const {
    QTreeWidgetItem* item = itemOf(bc);
    const QSignalBlocker quiet(bc.widget);
    if (item && item->toolTip(0) != toolTip) item->setToolTip(0, toolTip);
}

QString ListRowAdapter::shownToolTip(const BoundControl& bc) const {
    const QTreeWidgetItem* item = itemOf(bc);
    return item ? item->toolTip(0) : QString();
}

std::optional<int> ListRowAdapter::read(const BoundControl& bc) const {
    const QTreeWidgetItem* item = itemOf(bc);
    if (!item) return std::nullopt;
    return item->checkState(0) == Qt::Checked ? 1 : 0;
}

void ListRowAdapter::onUserChange(BoundControl& bc, QObject* context,
                                  std::function<void(const QString&)> changed) const {
    auto* list = static_cast<QTreeWidget*>(bc.widget);
    QObject::connect(list, &QTreeWidget::itemChanged, context,
                     [list, row = bc.row, changed = std::move(changed)](QTreeWidgetItem* item, int column) {
                         if (column == 0 && list->indexOfTopLevelItem(item) == row) changed({});
                     });
}

QWidget* CommandAdapter::create(BoundControl& bc, QWidget* container, const AdapterEnv& env) const {
    auto* button = new QPushButton(container);
    env.texts.add(bc.binding.caption, [button](const QString& s) { button->setText(s); });
    return button;
}

void CommandAdapter::show(BoundControl&, const Shown&) const {}

std::optional<int> CommandAdapter::read(const BoundControl& bc) const {
    return bc.binding.choice;
}

void CommandAdapter::onUserChange(BoundControl& bc, QObject* context,
                                  std::function<void(const QString&)> changed) const {
    QObject::connect(static_cast<QPushButton*>(bc.widget), &QPushButton::clicked, context,
                     [changed = std::move(changed)] { changed({}); });
}

} // namespace vm::editors
