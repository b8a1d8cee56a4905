#pragma once
// The jug counters: the totals of jug vends (FrmBriccoToT), and per beverage of the first two slaves the
// test vends (FrmBriccoProve) and the free vends (FrmBriccoGratis), each slave with its bar chart.

#include "AuditView.h"

namespace vm::editors {

class FrmBriccoToT : public AuditView {
    Q_OBJECT
public:
    FrmBriccoToT(EditorContext& ctx, QWidget* parent = nullptr);
};

// 32 beverages of slave 1 and of slave 2, one page each.
class JugBeverageView : public AuditView {
public:
    static constexpr int kSlaves = 2;
    static constexpr int kBeverages = 32;

protected:
    JugBeverageView(EditorContext& ctx, QWidget* parent, const char* form, const char* title, int first);

private:
    void buildView() override;
    int first_;
};

class FrmBriccoProve : public JugBeverageView {
    Q_OBJECT
public:
    FrmBriccoProve(EditorContext& ctx, QWidget* parent = nullptr);
};

class FrmBriccoGratis : public JugBeverageView {
    Q_OBJECT
public:
    FrmBriccoGratis(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
