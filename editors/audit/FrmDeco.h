#pragma once
// The decounters of the ingredients and of the snack sectors "Settore 10" .. "Settore 79" of up to four
// slaves: for each sector the decounter, the recharge value and the reserve level (one kind shown at a time),
// set by typing a value and Enter.

#include "EditorBase.h"
#include "ParamNames.h"
#include "SectorTables.h"

#include <array>
#include <map>

class QLabel;

namespace vm::editors {

class CommitLineEdit;

class FrmDeco : public EditorBase {
    Q_OBJECT
public:
    FrmDeco(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kUnits = 4;
    static constexpr int kKinds = 3; // "Decontatore", "Ricarica", "Riserva": sector tables 1, 2, 3
    static constexpr int kPartnerOffset = param::DecounterCopy - param::Decounter;

    // The value kind (0..2) the grid of unit 1..4 shows.
    int kind(int unit) const { return kind_[static_cast<std::size_t>(unit - 1)]; }
    void chooseKind(int unit, int kind);

protected:
    void buildExtra() override;
    void initMessaggiExtra() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a text box edits: a sector of the grid of `unit`, or a fixed parameter (and its bits).
    struct Box {
        int unit = 0;   // 1..4 on a slave page, 0 for the ingredient boxes
        int sector = 0; // 1..70 for a grid box, 0 otherwise
        int param = 0;
        int partner = 0; // written with the value (the board's copy), 0 = none
        unsigned field = 0;
    };
    void commit(CommitLineEdit* edit, const Box& box, const QString& typed);
    static const char* slaveError(const QString& typed, bool isNumber, double number, int max);
    static const char* ingredientError(const QString& typed, bool isNumber, double number);
    void paintKinds(int unit);

    SectorParamTables sectors_;
    std::array<int, kUnits> kind_{};
    std::array<std::array<QLabel*, kKinds>, kUnits> kindLabels_{};
    std::map<CommitLineEdit*, Box> boxes_;
};

} // namespace vm::editors
