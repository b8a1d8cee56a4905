#include "BitRows.h"

#include "Binding.h"
#include "Catalogue.h"
#include "EditorBase.h"

#include <QTreeWidget>

#include <algorithm>

namespace vm::editors {

BitRows& BitRows::from(int param, int bit) {
    param_ = param;
    bit_ = bit;
    return *this;
}

BitRows& BitRows::add(const QString& text) {
    place_.add(listRow(list_, row_++, param_, kFromCatalogue, 1u << bit_).invert().titled(Caption(text)));
    const catalogue::ParamInfo* info = catalogue::find(param_);
    if (++bit_ == 8 * (info ? info->width : 1)) from(param_ + 1);
    return *this;
}

BitRows& BitRows::add(const QStringList& texts) {
    for (const QString& t : texts)
        add(t);
    return *this;
}

BitRows& BitRows::numbered(const char* pattern, int count) {
    for (int n = 1; n <= count; ++n)
        add(QString::fromUtf8(pattern).replace(QLatin1String("{n}"), QString::number(n)));
    return *this;
}

KeyedBitRows::KeyedBitRows(EditorBase& window, QTreeWidget* list, const QStringList& texts, Locate locate,
                           Write write)
    : QObject(list), window_(window), locate_(std::move(locate)), write_(std::move(write)) {
    for (const QString& text : texts) {
        auto* item = new QTreeWidgetItem(list, QStringList(text));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(0, Qt::Unchecked);
        items_.push_back(item);
    }
    connect(list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0) changed(item);
    });
}

void KeyedBitRows::show() {
    EditorBase::LoadingScope scope(window_);
    for (std::size_t entry = 0; entry < items_.size(); ++entry) {
        QTreeWidgetItem* item = items_[entry];
        const auto [param, bit] = locate_(static_cast<int>(entry));
        const bool arrived = window_.hasArrived(param);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
        if (arrived) flags |= Qt::ItemIsEnabled;
        if (item->flags() != flags) item->setFlags(flags);
        item->setToolTip(0, arrived ? QString() : EditorBase::waitingToolTip());
        if (!arrived) continue;
        const bool leftOut = (window_.currentValue(param) >> bit) & 1u;
        item->setCheckState(0, leftOut ? Qt::Unchecked : Qt::Checked);
    }
}

void KeyedBitRows::changed(QTreeWidgetItem* item) {
    if (window_.isLoading() || window_.isClosed()) return;
    const auto row = std::find(items_.begin(), items_.end(), item);
    if (row == items_.end()) return;
    const auto [param, bit] = locate_(static_cast<int>(row - items_.begin()));
    if (!window_.hasArrived(param)) return show();
    const std::uint32_t mask = 1u << bit;
    std::uint32_t value = window_.currentValue(param) & ~mask;
    if (item->checkState(0) != Qt::Checked) value |= mask; // left out
    write_(param, value);
    show();
}

} // namespace vm::editors
