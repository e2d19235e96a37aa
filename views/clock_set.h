#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <vector>

class QAction;

namespace murinex {

// The 50 ms clocks of the program: the main window's tick clock and the two
// chart clocks. They are switched together, by "StartStop" and by the editors.
// Every switch names its cause, so the user can always learn why the
// simulation stopped or started.
class ClockSet : public QObject {
  Q_OBJECT

 public:
  explicit ClockSet(QObject* parent = nullptr);

  // Adds a window's clock; the window keeps owning it. It takes the current state.
  void Add(QTimer* timer);
  // Until the run is ready (set up, world loaded) the clocks cannot be started;
  // `whyNot` says what keeps them (shown when a start is refused).
  void SetReady(bool ready, const QString& whyNot = {});
  bool Ready() const { return ready_; }
  void SetRunning(bool running, const QString& cause);
  void StartStop(const QString& cause) { SetRunning(!running_, cause); }
  bool Running() const { return running_; }

  // Lets a "StartStop" item switch the clocks, naming as cause whether it was
  // chosen in its menu or by its key, in the window `where`.
  void AddStartStopItem(QAction* item, const QString& menu, const QString& where);

 signals:
  void RunningChanged(bool running);
  // The clocks were switched on or off, and why.
  void Switched(bool running, const QString& cause);
  // A start was asked for while the run is not ready.
  void StartRefused(const QString& cause, const QString& whyNot);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QPointer<QTimer>> timers_;
  bool ready_ = false;
  bool running_ = false;
  QString whyNotReady_;
  QObject* keyPressedItem_ = nullptr;
};

}  // namespace murinex
