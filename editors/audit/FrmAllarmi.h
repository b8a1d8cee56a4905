#pragma once
// The board's alarm log: the last 15 alarms, newest first, with their date and time, read once when the
// window opens; the list can be exported as a CSV file.

#include "EditorBase.h"
#include "ParamNames.h"

#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class QProgressBar;
class QTreeWidget;

namespace vm::editors {

class FrmAllarmi : public EditorBase {
    Q_OBJECT
public:
    FrmAllarmi(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kNewest = param::AlarmNewest; // record index (0..14) of the newest alarm
    static constexpr int kFirstField = param::AlarmRecords;
    static constexpr int kRecords = 15, kFields = 7;
    static constexpr int kEmptySlot = 255;

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    void AggiornaTabella();
    // One row of the list for the record's fields (hours, minutes, day, month, year, code, detail), or no
    // row for an empty slot.
    std::optional<QStringList> row(const std::array<int, kFields>& fields) const;
    QString alarmText(int code) const;
    QStringList header() const;

    QTreeWidget* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::vector<QStringList> rows_;
};

} // namespace vm::editors
