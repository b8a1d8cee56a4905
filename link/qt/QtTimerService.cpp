#include "QtTimerService.h"

#include <QTimer>

namespace vm::link {

QtTimerService::QtTimerService(QObject* parent) : QObject(parent) {
    clock_.start();
}

QtTimerService::~QtTimerService() {
    for (auto& [id, timer] : timers_)
        delete timer;
}

TimerService::TimerId QtTimerService::startTimer(int ms, std::function<void()> callback) {
    const TimerId id = ++lastId_;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, callback = std::move(callback)] {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        it->second->deleteLater();
        timers_.erase(it);
        callback();
    });
    timers_.emplace(id, timer);
    timer->start(ms);
    return id;
}

void QtTimerService::cancelTimer(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

} // namespace vm::link
