#include "views/clock_set.h"

namespace murinex {

ClockSet::ClockSet(QObject* parent) : QObject(parent) {}

void ClockSet::Add(QTimer* timer) {
  timers_.emplace_back(timer);
  if (running_)
    timer->start();
  else
    timer->stop();
}

void ClockSet::SetReady(bool ready) {
  ready_ = ready;
  if (!ready_) SetRunning(false);
}

void ClockSet::SetRunning(bool running) {
  if (running && !ready_) return;
  for (const auto& timer : timers_) {
    if (!timer) continue;
    if (running)
      timer->start();
    else
      timer->stop();
  }
  const bool changed = running_ != running;
  running_ = running;
  if (changed) emit RunningChanged(running_);
}

}  // namespace murinex
