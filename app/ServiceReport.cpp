#include "ServiceReport.h"

#include "ChangeText.h"

#include "Catalogue.h"
#include "ChangeLog.h"
#include "ConfigFile.h"
#include "Defaults.h"
#include "Display.h"
#include "ProgramState.h"
#include "audit/FrmBattute.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

namespace vm::app {

namespace {
constexpr int kDecimalPoint = 1823;
constexpr int kFirstTotal = 11430; // hot, snack, all, discount, overpay, vends; each then its resettable twin
constexpr int kTotalCount = 12;
constexpr int kFirstCount = 11440; // the vends: counts, not money

QString latin(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Parameters written as another's mirror are reported under that parameter only.
const std::set<int>& mirrors() {
    static const std::set<int> set = [] {
        std::set<int> s;
        for (const catalogue::ParamInfo& p : catalogue::all())
            if (p.mirror != 0) s.insert(p.mirror);
        return s;
    }();
    return set;
}

// Lays text out down the pages: lines, tables with elided cells, and bar charts.
class Layout {
public:
    Layout(QPdfWriter& writer, QPainter& painter) : writer_(writer), p_(painter) {
        width_ = writer.width();
        height_ = writer.height();
    }

    void heading(const QString& text) {
        space(mm(4));
        line(text, 12, true);
        space(mm(1));
    }
    void line(const QString& text, int points = 9, bool bold = false) {
        QFont f = font(points);
        f.setBold(bold);
        p_.setFont(f);
        const int h = QFontMetrics(f, &writer_).lineSpacing();
        room(h);
        p_.drawText(QRect(0, y_, width_, h), Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(f, &writer_).elidedText(text, Qt::ElideRight, width_));
        y_ += h;
    }
    // Columns sized by `shares` of the width; the header repeats on every page the table runs onto.
    void table(const QStringList& header, const std::vector<ServiceReport::Row>& rows,
               const std::vector<int>& shares) {
        const int total = std::accumulate(shares.begin(), shares.end(), 0);
        std::vector<int> x{0};
        for (int s : shares)
            x.push_back(x.back() + width_ * s / total);
        QFont f = font(7);
        const QFontMetrics metrics(f, &writer_);
        const int h = metrics.lineSpacing() + mm(0.6);
        const auto drawRow = [&](const QStringList& cells, bool bold) {
            f.setBold(bold);
            p_.setFont(f);
            for (int c = 0; c < cells.size() && c + 1 < static_cast<int>(x.size()); ++c) {
                const int w = x[static_cast<std::size_t>(c) + 1] - x[static_cast<std::size_t>(c)] - mm(1);
                p_.drawText(QRect(x[static_cast<std::size_t>(c)], y_, w, h), Qt::AlignLeft | Qt::AlignVCenter,
                            QFontMetrics(f, &writer_).elidedText(cells[c], Qt::ElideRight, w));
            }
            y_ += h;
        };
        room(2 * h);
        drawRow(header, true);
        p_.drawLine(0, y_, width_, y_);
        for (const ServiceReport::Row& row : rows) {
            if (y_ + h > height_) {
                newPage();
                drawRow(header, true);
                p_.drawLine(0, y_, width_, y_);
            }
            drawRow(row.cells, false);
        }
    }
    void chart(const ServiceReport::Sectors& sectors) {
        const int h = mm(42);
        room(h + mm(12));
        space(mm(4));
        line(sectors.title, 9, true);
        const double top = *std::max_element(sectors.counts.begin(), sectors.counts.end());
        const int left = mm(12), bottom = y_ + h - mm(5), plotHeight = h - mm(8);
        const int plotWidth = width_ - left;
        p_.setFont(font(7));
        p_.drawLine(left, bottom, left + plotWidth, bottom);
        p_.drawLine(left, bottom, left, bottom - plotHeight);
        p_.drawText(QRect(0, bottom - plotHeight - mm(1), left - mm(1), mm(4)), Qt::AlignRight | Qt::AlignTop,
                    QString::number(top, 'f', 0));
        p_.drawText(QRect(0, bottom - mm(4), left - mm(1), mm(4)), Qt::AlignRight | Qt::AlignBottom,
                    QStringLiteral("0"));
        const int n = static_cast<int>(sectors.counts.size());
        const double slot = static_cast<double>(plotWidth) / std::max(1, n);
        for (int i = 0; i < n; ++i) {
            const double v = sectors.counts[static_cast<std::size_t>(i)];
            const int barHeight = top > 0 ? static_cast<int>(std::lround(plotHeight * v / top)) : 0;
            const QRectF bar(left + i * slot + slot * 0.15, bottom - barHeight, slot * 0.7, barHeight);
            p_.fillRect(bar, QColor(70, 110, 170));
            if ((kReportFirstSector + i) % 10 == 0)
                p_.drawText(QRectF(left + i * slot - slot * 2, bottom + mm(0.5), slot * 5, mm(4)),
                            Qt::AlignHCenter | Qt::AlignTop, QString::number(kReportFirstSector + i));
        }
        y_ += h;
    }
    void space(int h) { y_ += h; }
    int mm(double millimetres) const {
        return static_cast<int>(std::lround(millimetres * writer_.resolution() / 25.4));
    }

private:
    // No ligatures: the report's text is read back by programs ("fi" stays two letters).
    static QFont font(int points) {
        QFont f(QStringLiteral("DejaVu Sans"), points);
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    }
    void room(int h) {
        if (y_ + h > height_) newPage();
    }
    void newPage() {
        writer_.newPage();
        y_ = 0;
    }

    QPdfWriter& writer_;
    QPainter& p_;
    int width_ = 0;
    int height_ = 0;
    int y_ = 0;
};

} // namespace

ServiceReport CollectServiceReport(const ProgramState& state, const ChangeLog& log, const QString& technician,
                                   const QString& source, const QDateTime& date) {
    ServiceReport r;
    r.technician = technician;
    r.date = date;
    r.source = source;
    r.identity << QStringLiteral("Board type %1, software %2, revision %3")
                      .arg(state.BoardType, 4, 10, QLatin1Char('0'))
                      .arg(QLatin1Char(SoftwareLetter(state.BoardSoftware)))
                      .arg(state.BoardRevision);
    if (state.SoftwareRelease > 0)
        r.identity << QStringLiteral("Software release %1").arg(state.SoftwareRelease);
    QStringList units;
    for (int unit = 1; unit <= 4; ++unit)
        units << QStringLiteral("unit %1: %2").arg(unit).arg(state.SlaveType(unit));
    r.identity << "Unit types: " + units.join(QStringLiteral(", ")) +
                      QStringLiteral("; model code %1").arg(state.ModelCode);

    for (const Change& c : log.changes()) {
        const QString what =
            QString::fromStdString(c.control.empty() ? c.window : c.window + " " + c.control);
        r.changes.push_back(
            {{QStringLiteral("%1 %2").arg(c.log).arg(QString::fromStdString(log.logReason(c.log))),
              QDateTime::fromSecsSinceEpoch(std::chrono::system_clock::to_time_t(c.time))
                  .toString("HH:mm:ss"),
              QString::fromLatin1(ChangeKindName(c.kind)), what, ParamTitle(c.index),
              ShownValue(state, c.index, c.before), ShownValue(state, c.index, c.after),
              BoardAnswer(state, c)}});
    }
    for (const catalogue::ParamInfo& p : catalogue::all()) {
        if (!p.hasDefault || mirrors().count(p.index) || p.address < kRecordImageLoadFirst ||
            p.address + p.width > kConfigAreaSize || !DiffersFromDefault(p.index, state.ConfigImage))
            continue;
        r.notDefault.push_back(
            {{ParamTitle(p.index), ShownValue(state, p.index, ImageValue(p, state.ConfigImage)),
              ShownValue(state, p.index, *DefaultValue(p))}});
    }
    return r;
}

std::vector<int> SalesParams(const ProgramState& state) {
    std::vector<int> params{kDecimalPoint};
    for (int i = 0; i < kTotalCount; ++i)
        params.push_back(kFirstTotal + i);
    for (int unit = 1; unit <= 4; ++unit)
        if (state.SlaveType(unit) != 0)
            for (int i = 0; i < editors::VendCountView::kSectors; ++i)
                params.push_back(editors::VendCountView::counterParam(0, unit - 1, i));
    return params;
}

void AddSales(ServiceReport& r, const ProgramState& state,
              const std::vector<std::pair<int, double>>& values) {
    const std::map<int, double> read(values.begin(), values.end());
    const auto value = [&](int index) -> std::optional<double> {
        const auto it = read.find(index);
        return it == read.end() ? std::nullopt : std::optional<double>(it->second);
    };
    const int decimals = static_cast<int>(value(kDecimalPoint).value_or(0)) & 3;
    int missing = 0;
    for (int i = 0; i < kTotalCount; ++i) {
        const int index = kFirstTotal + i;
        const catalogue::ParamInfo* info = catalogue::find(index);
        const auto v = value(index);
        if (!v) ++missing;
        const QString shown =
            !v ? QStringLiteral("-")
            : index < kFirstCount
                ? QString::fromStdString(FormatDecimals(*v / std::pow(10.0, decimals), decimals, '.'))
                : QString::number(*v, 'f', 0);
        r.totals.push_back({{info ? latin(info->name) : QString::number(index), shown}});
    }
    for (int unit = 1; unit <= 4; ++unit) {
        if (state.SlaveType(unit) == 0) continue;
        ServiceReport::Sectors s{QStringLiteral("Paid vends per sector, unit %1").arg(unit), {}};
        for (int i = 0; i < editors::VendCountView::kSectors; ++i) {
            const auto v = value(editors::VendCountView::counterParam(0, unit - 1, i));
            if (!v) ++missing;
            s.counts.push_back(v.value_or(0));
        }
        r.vends.push_back(std::move(s));
    }
    if (missing > 0)
        r.notes << QStringLiteral("%1 counters did not arrive from the board; they are shown as - or 0.")
                       .arg(missing);
}

std::optional<QString> WriteServiceReport(const ServiceReport& r, const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Service report"));
    writer.setCreator(QStringLiteral("vmconfig"));
    QPainter painter;
    if (!painter.begin(&writer)) return QStringLiteral("%1 cannot be written").arg(path);
    Layout page(writer, painter);

    page.line(QStringLiteral("Service report"), 16, true);
    page.space(page.mm(2));
    page.line(QStringLiteral("Date: ") + r.date.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    page.line(QStringLiteral("Technician: ") + r.technician);
    page.line(QStringLiteral("Configuration: ") + r.source);
    for (const QString& line : r.identity)
        page.line(line);

    page.heading(QStringLiteral("Changes of the visit (%1)").arg(r.changes.size()));
    if (r.changes.empty())
        page.line(QStringLiteral("No setting was changed."));
    else
        page.table({"Log", "Time", "Kind", "Window", "Parameter", "Old", "New", "Board"}, r.changes,
                   {7, 7, 5, 22, 31, 9, 9, 11});

    page.heading(QStringLiteral("Settings that differ from their defaults (%1)").arg(r.notDefault.size()));
    if (r.notDefault.empty())
        page.line(QStringLiteral("Every setting has its default value."));
    else
        page.table({"Parameter", "Value", "Default"}, r.notDefault, {60, 20, 20});

    if (!r.totals.empty()) {
        page.heading(QStringLiteral("Sales totals"));
        page.table({"Total", "Value"}, r.totals, {60, 40});
    }
    for (const ServiceReport::Sectors& s : r.vends)
        page.chart(s);
    for (const QString& note : r.notes)
        page.line(note);
    if (!painter.end()) return QStringLiteral("%1 could not be completed").arg(path);
    return std::nullopt;
}

} // namespace vm::app
