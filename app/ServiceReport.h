#pragma once
// The service report of a visit, as a PDF for the operator: the board's identity and units, the date, the
// technician, every change of the visit, the settings that differ from their defaults and, when the board
// was connected, its sales totals and a chart of the paid vends per sector.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vm {
class ChangeLog;
class ProgramState;
} // namespace vm

namespace vm::app {

struct ServiceReport {
    struct Row {
        QStringList cells;
    };
    struct Sectors {
        QString title;              // "Unit 1"
        std::vector<double> counts; // sector 10 first
    };

    QString technician;
    QDateTime date;
    QStringList identity;        // "Board type: 0482", ...
    QString source;              // the board, or the configuration file
    std::vector<Row> changes;    // log, time, kind, window, control, parameter, old, new, board
    std::vector<Row> notDefault; // parameter, value, default
    std::vector<Row> totals;     // name, value; empty offline
    std::vector<Sectors> vends;  // empty offline
    QStringList notes;           // what could not be read
};

inline constexpr int kReportFirstSector =
    10; // the sectors are numbered from 10, as the sales views show them

// The parts every report has, from the program's state and its change log.
ServiceReport CollectServiceReport(const ProgramState& state, const ChangeLog& log, const QString& technician,
                                   const QString& source, const QDateTime& date);
// The parameters of the sales totals and of the paid vends of each unit present, the decimal point first.
std::vector<int> SalesParams(const ProgramState& state);
// Adds the totals and the vends from the values read (a missing value is noted).
void AddSales(ServiceReport& report, const ProgramState& state,
              const std::vector<std::pair<int, double>>& values);

// Writes the PDF; the reason when it could not be written, else nothing.
std::optional<QString> WriteServiceReport(const ServiceReport& report, const QString& path);

} // namespace vm::app
