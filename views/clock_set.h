#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <vector>

namespace murinex {

// The 50 ms clocks of the program: the main window's tick clock and the two
// chart clocks. They are switched together, by "StartStop" and by the editors.
class ClockSet : public QObject {
  Q_OBJECT

 public:
  explicit ClockSet(QObject* parent = nullptr);

  // Adds a window's clock; the window keeps owning it. It takes the current state.
  void Add(QTimer* timer);
  // Until the run is ready (set up, world loaded) the clocks cannot be started.
  void SetReady(bool ready);
  bool Ready() const { return ready_; }
  void SetRunning(bool running);
  void StartStop() { SetRunning(!running_); }
  bool Running() const { return running_; }

 signals:
  void RunningChanged(bool running);

 private:
  std::vector<QPointer<QTimer>> timers_;
  bool ready_ = false;
  bool running_ = false;
};

}  // namespace murinex
