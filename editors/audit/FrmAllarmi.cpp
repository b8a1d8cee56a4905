#include "FrmAllarmi.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace vm::editors {

namespace {
constexpr int kValueCount = 1 + FrmAllarmi::kRecords * FrmAllarmi::kFields; // the index and the records
// The language lines of the alarm texts, by code from 0; the lines after them belong to other windows.
constexpr int kFirstAlarmText = 662, kAlarmTextsEnd = 700;
const char* const kColumns[] = {"Allarme", "Data", "Ora", "Codice"};
constexpr int kDetailCodes[] = {144, 145, 146}; // alarms that carry a detail code

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A language line that is still a section marker or the filler of an unused line holds no alarm text.
bool isText(const QString& line) {
    return !line.isEmpty() && !line.startsWith(QLatin1String(";--")) && line != QLatin1String("(unused)") &&
           line != QLatin1String("(non usato)");
}
} // namespace

FrmAllarmi::FrmAllarmi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmAllarmi"), Caption("Allarmi"));
    for (int i = 0; i < kValueCount; ++i)
        d.extraWatch.push_back(kNewest + i);
    setup(std::move(d));
}

void FrmAllarmi::buildExtra() {
    QWidget* window = page(-1);
    addRow(window, nullptr, captionLabel(Caption("Ultimi 15 allarmi"), window));
    list_ = new QTreeWidget(window);
    list_->setRootIsDecorated(false);
    list_->setColumnCount(4);
    list_->setMinimumSize(520, 300);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    registerControl(QStringLiteral("ListView1"), 0, list_);
    addRow(window, nullptr, list_);
    for (int c = 0; c < 4; ++c)
        addText(Caption(kColumns[c]), [this, c](const QString& s) { list_->headerItem()->setText(c, s); });
    progress_ = new QProgressBar(window);
    progress_->setRange(0, kValueCount);
    progress_->setValue(0);
    registerControl(QStringLiteral("ProgressBar1"), 0, progress_);
    addRow(window, nullptr, progress_);
    addRow(window, nullptr,
           addButton(QStringLiteral("Command1"), 0, Caption("Esporta CSV"), window, [this] { exportCsv(header(), rows_, QStringLiteral("Allarmi.csv")); }));
}

// Values come from the board only: offline the list stays empty (the log is not part of a configuration).
void FrmAllarmi::afterDelivery(int index, const ParamData&) {
    if (!state().Online || index < kNewest || index >= kNewest + kValueCount) return;
    int valid = 0;
    for (int i = 0; i < kValueCount; ++i)
        valid += state().ParamIsValid(kNewest + i, 0) ? 1 : 0;
    progress_->setValue(valid);
    if (valid == kValueCount) AggiornaTabella();
}

void FrmAllarmi::AggiornaTabella() {
    list_->clear();
    rows_.clear();
    const int newest = static_cast<int>(state().ParamValue(kNewest, 0));
    // Records are 0..14: any other index is no position in the log (record 15 would lie past its end).
    if (newest < 0 || newest >= kRecords) return;
    for (int k = 0; k < kRecords; ++k) {
        const int r = (newest - k + kRecords) % kRecords;
        std::array<int, kFields> fields{};
        for (int f = 0; f < kFields; ++f)
            fields[static_cast<std::size_t>(f)] =
                static_cast<int>(state().ParamValue(kFirstField + kFields * r + f, 0));
        if (auto texts = row(fields)) {
            rows_.push_back(*texts);
            new QTreeWidgetItem(list_, *texts);
        }
    }
}

std::optional<QStringList> FrmAllarmi::row(const std::array<int, kFields>& f) const {
    const auto [hours, minutes, day, month, year, code, detail] = f;
    if (code == kEmptySlot) return std::nullopt;
    const bool withDetail =
        std::find(std::begin(kDetailCodes), std::end(kDetailCodes), code) != std::end(kDetailCodes);
    QString text = alarmText(code);
    QString codeText = QString::number(code);
    if (withDetail) {
        text += QStringLiteral(" %1").arg(detail);
        codeText += QStringLiteral("/%1").arg(detail);
    }
    const QString date =
        day > 31 ? QStringLiteral("00/00/00")
                 : QStringLiteral("%1/%2/%3").arg(twoDigits(day), twoDigits(month), twoDigits(year));
    return QStringList{text, date, QStringLiteral("%1:%2").arg(twoDigits(hours), twoDigits(minutes)),
                       codeText};
}

// The language's text for the code where it has one, otherwise the code itself.
QString FrmAllarmi::alarmText(int code) const {
    const int n = kFirstAlarmText + code;
    if (const QString line = n < kAlarmTextsEnd ? msg(Caption(n)) : QString(); isText(line)) return line;
    return QStringLiteral("Allarme %1").arg(code);
}

QStringList FrmAllarmi::header() const {
    QStringList h;
    for (int c = 0; c < 4; ++c)
        h << list_->headerItem()->text(c);
    return h;
}

} // namespace vm::editors
