#pragma once
// The dose recipe of the drink selections, one selection at a time: three doses of 29 tables each, the
// selection's calibration values, free-vend and flag bits, its text value, the dispensing tests and the
// dose calibration run on the board, and the export of the calibration data to a file.

#include "EditorBase.h"

#include <QTimer>

namespace vm::editors {

class SelectionKeys;

class FrmDosi : public EditorBase {
    Q_OBJECT
public:
    FrmDosi(EditorContext& ctx, QWidget* parent = nullptr);

    // A test or calibration is on the board: the command buttons wait for its end.
    bool busy() const { return step_ != Step::Idle; }
    // Chooses selection s (0..31), as a click on its key does.
    void chooseSelection(int selection);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void formUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A command in progress: the test value is written first, then the command that starts the test;
    // once the board has taken it, the result cells are read again until the command cell is back to 0.
    enum class Step { Idle, ValueSent, CommandSent, Measuring, Asking };

    bool startTest(int dose, int table, int command, int& stored);
    bool startCalibration(int j, int& stored);
    void startCommand(int command, int value);
    void askToCalibrate(int measured);
    void sendCommand();
    void askForResult();
    void finishCommand(int measured);
    void setResultText(int label, const QString& text);
    void exportCalibration();
    void openSummary(const QString& path);

    SelectionKeys* keys_ = nullptr;
    Step step_ = Step::Idle;
    int command_ = 0;    // written into the command cell
    int testValue_ = 0;  // written into the value cell first (dispensing tests)
    int testCode_ = 0;   // calibration: 4, 2 or 3 for doses 1, 2, 3; 0 for a dispensing test
    int testSelection_ = 0;
    bool commandRead_ = false, valueRead_ = false;
    int commandNow_ = 0, valueNow_ = 0;
    QTimer resultTimer_; // gives up on a board that does not end the test
};

} // namespace vm::editors
