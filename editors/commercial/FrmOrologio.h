#pragma once
// The board's real-time clock and the daily times at which the machine acts by itself: washes, switch-on and
// switch-off, the bands of the second price table, sanitising and the lights.

#include "EditorBase.h"

#include <QDateTime>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace vm::editors {

class FrmOrologio : public EditorBase {
    Q_OBJECT
public:
    FrmOrologio(EditorContext& ctx, QWidget* parent = nullptr);

    // "dd/mm/yyyy" from the board's day, month and two-digit year; a date the board cannot hold shows as
    // "--/--/----".
    static QString dateText(int day, int month, int year);
    // Writes the computer's present date and time into the board's clock cells, one after the other, each
    // once the board has acknowledged the one before; then reads the board's clock back.
    void copyPcTime();
    bool copying() const { return phase_ != CopyPhase::Idle; }
    // The computer's clock ("now"); an empty function restores the real one.
    static void setPcClock(std::function<QDateTime()> now);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    enum class CopyPhase { Idle, WaitingForMinute, Writing, ReadingBack };

    void setClockCell(int index, int value);
    WriteHook setsClockCell(int index);
    void startCopy();
    void writeNextField();
    void copyStepTimedOut();
    void endCopy();
    bool acknowledged(int index) const;

    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    CopyPhase phase_ = CopyPhase::Idle;
    std::vector<std::pair<int, int>> fields_; // the clock cells and the values of one copy, in writing order
    std::size_t nextField_ = 0;
    int attempts_ = 0;
    QTimer copyTimer_; // the wait for the next minute, or the time-out of one step
};

} // namespace vm::editors
