#pragma once
// TimerService over single-shot QTimers and a QElapsedTimer, on the thread of the caller.

#include "TimerService.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>

class QTimer;

namespace vm::link {

class QtTimerService : public QObject, public TimerService {
    Q_OBJECT
public:
    explicit QtTimerService(QObject* parent = nullptr);
    ~QtTimerService() override;

    TimerId startTimer(int ms, std::function<void()> callback) override;
    void cancelTimer(TimerId id) override;
    std::int64_t nowMs() const override { return clock_.elapsed(); }

private:
    QElapsedTimer clock_;
    TimerId lastId_ = 0;
    std::map<TimerId, QTimer*> timers_;
};

} // namespace vm::link
