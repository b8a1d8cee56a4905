#pragma once
// The board's real-time clock and the daily times at which the machine acts by itself: washes, switch-on and
// switch-off, the bands of the second price table, sanitising and the lights.

#include "EditorBase.h"

class QLabel;

namespace vm::editors {

class FrmOrologio : public EditorBase {
    Q_OBJECT
public:
    FrmOrologio(EditorContext& ctx, QWidget* parent = nullptr);

    // "dd/mm/yyyy" from the board's day, month and two-digit year; a date the board cannot hold shows as
    // "--/--/----".
    static QString dateText(int day, int month, int year);
    // Writes the computer's present date and time into the board's clock cells.
    void copyPcTime();

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    bool beforeWrite(const Binding& b, int& stored) override;

private:
    void setClockCell(int index, int value);

    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
};

} // namespace vm::editors
