#include "views/clock_set.h"

#include <QAction>
#include <QEvent>
#include <QShortcutEvent>

namespace murinex {

ClockSet::ClockSet(QObject* parent) : QObject(parent) {}

void ClockSet::Add(QTimer* timer) {
  timers_.emplace_back(timer);
  if (running_)
    timer->start();
  else
    timer->stop();
}

void ClockSet::SetReady(bool ready, const QString& whyNot) {
  ready_ = ready;
  whyNotReady_ = whyNot;
  if (!ready_) SetRunning(false, whyNot.isEmpty() ? QString("the run ended") : whyNot);
}

void ClockSet::SetRunning(bool running, const QString& cause) {
  if (running && !ready_) {
    emit StartRefused(cause,
                      whyNotReady_.isEmpty() ? QString("the run is not set up") : whyNotReady_);
    return;
  }
  for (const auto& timer : timers_) {
    if (!timer) continue;
    if (running)
      timer->start();
    else
      timer->stop();
  }
  const bool changed = running_ != running;
  running_ = running;
  if (!changed) return;
  emit RunningChanged(running_);
  emit Switched(running_, cause);
}

void ClockSet::AddStartStopItem(QAction* item, const QString& menu, const QString& where) {
  // A key press reaches the item as a shortcut event just before it triggers.
  item->installEventFilter(this);
  connect(item, &QAction::triggered, this, [this, item, menu, where] {
    const bool byKey = keyPressedItem_ == item;
    keyPressedItem_ = nullptr;
    const QString name = item->shortcut().toString(QKeySequence::NativeText);
    StartStop(byKey ? name + " (StartStop) in " + where
                    : "\"" + item->text() + "\" chosen in menu \"" + menu + "\" of " + where);
  });
}

bool ClockSet::eventFilter(QObject* watched, QEvent* event) {
  // An ambiguous key triggers nothing, so it must not be taken for the next click.
  if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous())
    keyPressedItem_ = watched;
  return QObject::eventFilter(watched, event);
}

}  // namespace murinex
