#include "FrmOrologio.h"

#include "ParamNames.h"

#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace vm::editors {

namespace {
// The clock cells: the settings the board takes (seconds, hours, minutes, day, month, year, weekday) and
// the running date (day, month, year, weekday). They are not part of the configuration: they are written
// straight into the board's cells, never into the image, and only while connected.
// Both rows keep the fields in the order named.
constexpr int kSeconds = param::ClockSetting, kHours = kSeconds + 1, kMinutes = kSeconds + 2,
              kDay = kSeconds + 3, kMonth = kSeconds + 4, kYear = kSeconds + 5, kWeekday = kSeconds + 6;
constexpr int kRunningDay = param::Clock, kRunningMonth = param::Clock + 1, kRunningYear = param::Clock + 2;
constexpr int kDateFields = kWeekday - kDay + 1; // day, month, year, weekday
// TimedSwitchOffEnables bits 0, 1: timed switch-off 1 and 2. GeneralFlags2 bit 3: the machine switches off
// (1) or on (0).

// A time of day: minutes and hours parameter (the catalogue gives the twins), the scroll bars' indexes.
struct DayTime {
    int minutesBar;
    int hoursBar;
    int minutes;
    const char* caption;
};
// Each time is a pair of parameters, minutes then hours, so the n-th time of a row starts at first + 2n.
constexpr DayTime kWashes[] = {{9, 8, param::Washes, "Lavaggio 1"},
                               {11, 10, param::Washes + 2, "Lavaggio 2"},
                               {20, 21, param::Washes + 4, "Lavaggio 3"},
                               {22, 23, param::Washes + 6, "Lavaggio 4"}};
constexpr DayTime kSwitching[] = {{13, 12, param::SwitchOnBands, "Inizio 1"},
                                  {15, 14, param::SwitchOnBands + 2, "Fine 1"},
                                  {17, 16, param::SwitchOnBands + 4, "Inizio 2"},
                                  {19, 18, param::SwitchOnBands + 6, "Fine 2"}};
// Bands 3 and 4 interleave: their starts come first (3, 4), then their ends.
constexpr DayTime kBands[] = {{1, 0, param::PriceTableBands, "Fascia 1 Inizio"},
                              {5, 4, param::PriceTableBands + 2, "Fascia 1 Fine"},
                              {3, 2, param::PriceTableBands + 4, "Fascia 2 Inizio"},
                              {7, 6, param::PriceTableBands + 6, "Fascia 2 Fine"},
                              {26, 27, param::PriceTableBands34, "Fascia 3 Inizio"},
                              {28, 29, param::PriceTableBands34 + 4, "Fascia 3 Fine"},
                              {30, 31, param::PriceTableBands34 + 2, "Fascia 4 Inizio"},
                              {32, 33, param::PriceTableBands34 + 6, "Fascia 4 Fine"}};
constexpr DayTime kLights[] = {{35, 34, param::Lights, "Luci Inizio"},
                               {39, 38, param::Lights + 2, "Luci Fine"}};

void addTimes(EditorDefinition::Place page, const DayTime* times, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const DayTime& t = times[i];
        page.frame(QStringLiteral("FrameT%1").arg(t.minutes), Caption(t.caption), 2)
            .add(scrollBar("HScroll1", t.hoursBar, t.minutes + 1).range(0, 23).step(3).titled(Caption("Ore")))
            .add(scrollBar("HScroll1", t.minutesBar, t.minutes)
                     .range(0, 59)
                     .step(5)
                     .titled(Caption("Minuti")));
    }
}

bool online(const EditorBase& e) {
    return e.state().Online;
}

constexpr int kCopyAttempts = 3;

std::function<QDateTime()>& pcClock() {
    static std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    return now;
}
} // namespace

void FrmOrologio::setPcClock(std::function<QDateTime()> now) {
    pcClock() = now ? std::move(now) : [] { return QDateTime::currentDateTime(); };
}

QString FrmOrologio::dateText(int day, int month, int year) {
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0 || year > 99)
        return QStringLiteral("--/--/----");
    return QStringLiteral("%1/%2/%3")
        .arg(day, 2, 10, QChar('0'))
        .arg(month, 2, 10, QChar('0'))
        .arg(2000 + year);
}

FrmOrologio::FrmOrologio(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmOrologio"), Caption("Orologio"));
    // The board's clock: set only while connected (there is no clock to set offline).
    auto clock = d.page(Caption("Orologio"));
    clock.frame(QStringLiteral("Frame1"), Caption("Orologio"), 1); // the board's time and date, buildExtra
    clock.frame(QStringLiteral("Frame2"), Caption("Set ore/minuti"), 2)
        .enabledIf(online)
        .add(scrollBar("HScroll2", 0, kHours)
                 .range(0, 23)
                 .step(3)
                 .onWrite(setsClockCell(kHours))
                 .titled(Caption("Ore")))
        .add(scrollBar("HScroll2", 1, kMinutes)
                 .range(0, 59)
                 .step(5)
                 .onWrite(setsClockCell(kMinutes))
                 .titled(Caption("Minuti")));
    auto date = clock.frame(QStringLiteral("Frame3"), Caption("Data"), 2).enabledIf(online);
    const char* const dateCaptions[] = {"giorno", "mese", "anno", "DayWeek "};
    const int dateMin[] = {1, 1, 0, 0};
    const int dateMax[] = {31, 12, 99, 7};
    for (int i = 0; i < kDateFields; ++i)
        date.add(scrollBar("HScroll5", i, kDay + i)
                     .range(dateMin[i], dateMax[i])
                     .step(3)
                     .onWrite([this, i](int& stored) {
                         setClockCell(kDay + i, stored); // the setting and the running date alike
                         setClockCell(kRunningDay + i, stored);
                         return false;
                     })
                     .titled(Caption(dateCaptions[i])));

    addTimes(d.page(Caption("Lavaggi"), 2), kWashes, std::size(kWashes));
    auto switching = d.page(Caption("Accendi\\Spegni"), 2);
    switching.add(sliderSwitch("iSwitchSliderX1", 0, param::GeneralFlags2, kFromCatalogue,
                               {Caption("Accendi"), Caption("Spegni")})
                      .bit(0x08)
                      .titled(Caption("Accendi, Spegni")));
    switching
        .add(toggleSwitch("SwitchX1", 0, param::TimedSwitchOffEnables, kFromCatalogue, 0x01)
                 .titled(Caption("DA. OFF 1")))
        .add(toggleSwitch("SwitchX1", 1, param::TimedSwitchOffEnables, kFromCatalogue, 0x02)
                 .titled(Caption("DA. OFF 2")));
    addTimes(switching, kSwitching, std::size(kSwitching));
    addTimes(d.page(Caption("Price Table"), 2), kBands, std::size(kBands));
    d.page(Caption("Times"))
        .add(scrollBar("HScroll1", 25, param::SanitisingTime)
                 .step(3)
                 .titled(Caption("Tempo Debatterizzazione")))
        .add(scrollBar("HScroll1", 24, param::SanitisingDelay)
                 .step(10)
                 .titled(Caption("Ritardo Debatterizzazione")));
    addTimes(d.page(Caption("Luci"), 2), kLights, std::size(kLights));
    // The running clock: seconds and the running date (the settings above carry hours and minutes).
    d.extraWatch = {kSeconds, kRunningDay, kRunningMonth, kRunningYear};
    setup(std::move(d));
}

void FrmOrologio::buildExtra() {
    QWidget* form = frame(QStringLiteral("Frame1"));
    time_ = new QLabel(form);
    time_->setStyleSheet(QStringLiteral("font-size: 20pt; font-family: monospace;"));
    registerControl(QStringLiteral("iSevenSegmentClockX1"), 0, time_);
    date_ = new QLabel(form);
    registerControl(QStringLiteral("Label6"), 0, date_);
    addRow(form, nullptr, time_);
    addRow(form, nullptr, date_);
    copyButton_ =
        addButton(QStringLiteral("Command1"), 0, Caption("Copy Pc Time"), form, [this] { copyPcTime(); });
    copyButton_->setEnabled(state().Online);
    copyTimer_.setSingleShot(true);
    connect(&copyTimer_, &QTimer::timeout, this, [this] {
        if (isClosed()) return;
        if (!state().Online) // the link went: nothing to wait for
            endCopy();
        else if (phase_ == CopyPhase::WaitingForMinute)
            startCopy();
        else
            copyStepTimedOut();
    });
}

void FrmOrologio::afterDelivery(int index, const ParamData&) {
    if (!state().Online) return;
    if (phase_ == CopyPhase::Writing && index == fields_[nextField_].first && acknowledged(index)) {
        ++nextField_;
        writeNextField();
    } else if (phase_ == CopyPhase::ReadingBack && (index == kHours || index == kMinutes) &&
               acknowledged(kHours) && acknowledged(kMinutes)) {
        // A minute that turned between the writes leaves the board a minute off: the copy is made again.
        const QTime pc = pcClock()().time();
        if (static_cast<int>(paramValue(kHours)) == pc.hour() &&
            static_cast<int>(paramValue(kMinutes)) == pc.minute())
            endCopy();
        else if (attempts_ < kCopyAttempts)
            startCopy();
        else {
            endCopy();
            showError(QStringLiteral("The board's clock does not keep the computer's time: it shows %1:%2.")
                          .arg(static_cast<int>(paramValue(kHours)), 2, 10, QChar('0'))
                          .arg(static_cast<int>(paramValue(kMinutes)), 2, 10, QChar('0')));
        }
    }
    const auto value = [this](int i) { return static_cast<int>(paramValue(i)); };
    if (index == kSeconds || index == kHours || index == kMinutes)
        time_->setText(QStringLiteral("%1:%2:%3")
                           .arg(value(kHours), 2, 10, QChar('0'))
                           .arg(value(kMinutes), 2, 10, QChar('0'))
                           .arg(value(kSeconds), 2, 10, QChar('0')));
    if (index >= kRunningDay && index <= kRunningYear) {
        const bool complete = state().ParamIsValid(kRunningDay, 0) &&
                              state().ParamIsValid(kRunningMonth, 0) && state().ParamIsValid(kRunningYear, 0);
        if (complete) date_->setText(dateText(value(kRunningDay), value(kRunningMonth), value(kRunningYear)));
    }
}

// The clock's scroll bars write the board's cells directly, never the image.
WriteHook FrmOrologio::setsClockCell(int index) {
    return [this, index](int& stored) {
        setClockCell(index, stored);
        return false;
    };
}

void FrmOrologio::setClockCell(int index, int value) {
    if (!state().Online) return;
    context().state.CurrentBank = 0;
    context().state.SetParamValue(index, static_cast<double>(value));
}

void FrmOrologio::copyPcTime() {
    if (!state().Online || copying()) return;
    attempts_ = 0;
    copyButton_->setEnabled(false);
    startCopy();
}

// The time is read once, so the cells hold one instant. The seconds go first: the board's minute cannot turn
// before the rest is written, since a copy never starts at seconds 58 or 59.
void FrmOrologio::startCopy() {
    const QDateTime now = pcClock()();
    const QTime time = now.time();
    setProperty("busy", true); // a script waits for the whole copy
    if (time.second() >= 58) {
        phase_ = CopyPhase::WaitingForMinute;
        copyTimer_.start((60 - time.second()) * 1000 - time.msec() + 50);
        return;
    }
    ++attempts_;
    const QDate day = now.date();
    fields_ = {{kSeconds, time.second()}, {kMinutes, time.minute()},
               {kHours, time.hour()},     {kWeekday, day.dayOfWeek() % 7 + 1}, // 1 = Sunday
               {kDay, day.day()},         {kMonth, day.month()},
               {kYear, day.year() % 100}};
    nextField_ = 0;
    phase_ = CopyPhase::Writing;
    writeNextField();
}

// One field at a time: the next goes once the board has acknowledged this one (its delivery).
void FrmOrologio::writeNextField() {
    copyTimer_.start(boardAnswerLimitMs());
    if (nextField_ < fields_.size()) {
        setClockCell(fields_[nextField_].first, fields_[nextField_].second);
        return;
    }
    phase_ = CopyPhase::ReadingBack;
    context().state.RequestRead(kHours);
    context().state.RequestRead(kMinutes);
}

void FrmOrologio::copyStepTimedOut() {
    endCopy();
    showError(
        QStringLiteral("The board did not acknowledge its clock in time: the clock may be incomplete. Use "
                       "\"Copy Pc Time\" again."));
}

void FrmOrologio::endCopy() {
    copyTimer_.stop();
    phase_ = CopyPhase::Idle;
    setProperty("busy", false);
    copyButton_->setEnabled(state().Online);
}

// The board has taken the cell's value: the write went out and its acknowledgement (or the read) came back.
bool FrmOrologio::acknowledged(int index) const {
    const ParamCell& cell = state().cell(index, 0);
    return cell.has(Valid) && !cell.has(WritePending);
}

} // namespace vm::editors
