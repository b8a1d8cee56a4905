#pragma once
// The board's reduced operator menu: one check-box list per menu area, a row per entry of the full menu.
// A row is checked when its entry is in the reduced menu, i.e. when the entry's bit is 0.

#include "EditorBase.h"
#include "KeySelector.h"
#include "WatchSet.h"

class QTreeWidget;

namespace vm::editors {

class KeyedBitRows;

class FrmMenuRidotto : public EditorBase {
    Q_OBJECT
public:
    FrmMenuRidotto(EditorContext& ctx, QWidget* parent = nullptr);

    // The key of beverage 0..29 on the machine's keyboard: "10", "13", "11", "14", "12", "15", "20"...
    static QString beverageKey(int beverage);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    void placeSlaveTabs(int page);
    // The list of a page: ListView<page + 1>.
    QTreeWidget* list(int page) const;
    KeySelector* addSelector(int page, int n, const Caption& caption, KeySelector::Range range,
                             KeySelector::KeyText keyText);
    void stretchLists();
    void showKeyedRows();
    // The shown page's parameters that the window shows through its own rows.
    void watchShownPage();

    WatchSet pageWatch_;
    KeySelector* preselection_ = nullptr;
    KeySelector* beverage_ = nullptr;
    KeyedBitRows* preselectionRows_ = nullptr;
    KeyedBitRows* beverageRows_ = nullptr;
};

} // namespace vm::editors
