#pragma once
// The board's reduced operator menu: one check-box list per menu area, a row per entry of the full menu.
// A row is checked when its entry is in the reduced menu, i.e. when the entry's bit is 0.

#include "EditorBase.h"

#include <utility>
#include <vector>

class QLabel;
class QScrollBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vm::editors {

class FrmMenuRidotto : public EditorBase {
    Q_OBJECT
public:
    FrmMenuRidotto(EditorContext& ctx, QWidget* parent = nullptr);
    ~FrmMenuRidotto() override;

    // The key of beverage 0..29 on the machine's keyboard: "10", "13", "11", "14", "12", "15", "20"...
    static QString beverageKey(int beverage);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    // base candidate: a list row whose bit is chosen by a selector (the parameter stays, the bit moves).
    enum class Selector { Preselection, Beverage };
    struct SelectorRow {
        QTreeWidgetItem* item;
        Selector selector;
        int entry; // position of the entry among the per-preselection or per-beverage entries
    };
    void addSelectorRows(Selector selector);
    void placeSlaveTabs(int page, const QString& list);
    std::pair<QScrollBar*, QLabel*> addSelector(int page, int n, const Caption& caption, int positions);
    void stretchLists();
    // The parameter and bit of a selector row for the selectors' current positions.
    int paramOf(const SelectorRow& row) const;
    int bitOf(const SelectorRow& row) const;
    void showSelectorRows();
    void selectorRowChanged(QTreeWidgetItem* item);
    void selectorMoved();

    // base candidate: watching the shown page only, for parameters the window shows through its own rows.
    void watchShownPage();
    void releaseShownPage();

    std::vector<SelectorRow> selectorRows_;
    std::vector<int> pageWatched_;
    QScrollBar* preselection_ = nullptr;
    QScrollBar* beverage_ = nullptr;
    QLabel* preselectionLabel_ = nullptr;
    QLabel* beverageLabel_ = nullptr;
};

} // namespace vm::editors
