#pragma once
// The dose summary: for every selection and dose, the valve, doser and mixer times and the measured
// calibration, shown in a table and written to the calibration file chosen in the doses window.

#include "EditorBase.h"

#include <QString>

#include <map>
#include <vector>

class QLabel;
class QTableWidget;

namespace vm::editors {

class Form2 : public EditorBase {
    Q_OBJECT
public:
    Form2(EditorContext& ctx, QWidget* parent = nullptr);

    // The calibration file last chosen (kept for the whole run).
    static QString calibrationFile() { return calibrationFile_; }
    static void setCalibrationFile(const QString& path) { calibrationFile_ = path; }

    // Writes the file as soon as every value is there (at once offline; online when the board's values
    // have arrived).
    void exportTo(const QString& path);

    // The file's rows: a separator line for spreadsheets, the column names, then one row per selection and
    // dose. Values are whole numbers, so no decimal separator can clash with the field separator.
    static const QStringList& columnNames();

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;

private:
    std::vector<std::vector<int>> rows() const;
    void writeFile();

    QTableWidget* grid_ = nullptr;
    QLabel* status_ = nullptr;
    std::map<int, std::pair<int, int>> cellOf_; // parameter -> (row, column) of the grid
    std::vector<bool> arrived_;                 // per grid value: delivered since the window opened
    int arrivedCount_ = 0;
    QString pendingPath_;
    static inline QString calibrationFile_;
};

} // namespace vm::editors
