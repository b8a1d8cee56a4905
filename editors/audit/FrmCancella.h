#pragma once
// Asks the board to clear its sales data: the resettable counters (code 7) or every counter (code 8),
// written into the board's command cell. The board runs the command and sets the cell back to 0; the window
// reads the cell back and reports the clearing as done only when the board has confirmed it that way.

#include "EditorBase.h"
#include "ParamNames.h"
#include "WatchSet.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vm::editors {

class FrmCancella : public EditorBase {
    Q_OBJECT
public:
    FrmCancella(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kCommandCell = param::ClearSalesCommand;
    static constexpr int kBarTicks = 20; // the LED bar fills in 20 ticks of 100 ms
    static constexpr int kTickMs = 100;
    static constexpr int kGiveUpTicks = 100; // a board that has not confirmed after 10 s has failed

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;

private:
    enum class Phase { Idle, Sending, ReadingBack, Confirmed };
    void start(int button);
    void tick();
    void finish(bool confirmed);
    void setButtonsEnabled(bool enabled);

    QPushButton* buttons_[2] = {};
    QLabel* info_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QTimer* timer_ = nullptr;
    Phase phase_ = Phase::Idle;
    int code_ = 0;
    int ticks_ = 0;
    WatchSet commandWatch_; // the command cell, watched while the board runs the command
};

} // namespace vm::editors
