#pragma once
// The vend counters of paid, free and test vends: the window's totals and the 32 beverages on "Generale",
// the 70 sectors of counter block k on "Slave k+1", each page with its bar chart.

#include "AuditView.h"

namespace vm::editors {

struct VendWindow;

class VendCountView : public AuditView {
public:
    static constexpr int kBlocks = 4;
    static constexpr int kSectors = 70; // "Set. 10" .. "Set. 79"
    static constexpr int kBeverages = 32;
    // The sectors block k has: 70, or 56 for the fourth block, which has no third range.
    static int sectorCount(int block);
    // Counter i (0..sectorCount(k) - 1) of block k (0..3) for window offset w (0 paid, 1 free, 2 test vends).
    static int counterParam(int window, int block, int i);

protected:
    VendCountView(EditorContext& ctx, QWidget* parent, const VendWindow& w);

private:
    void buildView() override;
    int window_;
};

class FrmBattute : public VendCountView {
    Q_OBJECT
public:
    FrmBattute(EditorContext& ctx, QWidget* parent = nullptr);
};

class FrmGratis : public VendCountView {
    Q_OBJECT
public:
    FrmGratis(EditorContext& ctx, QWidget* parent = nullptr);
};

class FrmProva : public VendCountView {
    Q_OBJECT
public:
    FrmProva(EditorContext& ctx, QWidget* parent = nullptr);
};

} // namespace vm::editors
