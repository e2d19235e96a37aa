#include "app/tf_emo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <clocale>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/error_box.h"
#include "app/save_picture_dialog.h"
#include "app/world_painter.h"
#include "app/world_view.h"
#include "sim/persistence/checkpoint.h"
#include "sim/persistence/population_files.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "views/chart_export.h"
#include "views/clock_set.h"
#include "views/tf_chart.h"
#include "views/tf_color.h"
#include "views/tf_edit.h"
#include "views/tf_edit_motiv.h"
#include "views/tf_genom.h"
#include "views/tf_sum_chart.h"

namespace murinex {

namespace {

constexpr int DesignedWidth = 916;
constexpr int DesignedHeight = 640;
// The ticks per second are measured over the ticks of the last two seconds.
constexpr qint64 RateWindowMs = 2000;

// A text too long for the status bar is cut in the middle ("…"), so that both
// what happened and the end of a file's name stay readable; text() and the
// tooltip keep it whole.
class MiddleElidedLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override {
    const QRect area = contentsRect();
    if (fontMetrics().horizontalAdvance(text()) <= area.width()) {
      QLabel::paintEvent(event);
      return;
    }
    QPainter painter(this);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

// What the caption gains once the population is set up: its file and start tick.
std::string PopulationCaptionSuffix(const Run& run) {
  return "    " + run.PopulationFileName + "   Start: " + std::to_string(run.TickCount);
}

}  // namespace

TFEmo::TFEmo(Run& run, ClockSet& clocks, const StartOptions& options) : run_(run), clocks_(clocks) {
  FormCreate(options);
}

TFEmo::~TFEmo() {
  disconnect(&clocks_, nullptr, this, nullptr);
  clocks_.SetReady(false);
}

void TFEmo::FormCreate(const StartOptions& options) {
  setWindowTitle(QCoreApplication::applicationName());
  // Numbers are written with the point, whatever the user's locale says.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  clock_ = new QTimer(this);
  clock_->setInterval(50);
  run_.TickInterval = clock_->interval();
  connect(clock_, &QTimer::timeout, this, &TFEmo::TimerLifeTimer);
  clocks_.Add(clock_);
  connect(&clocks_, &ClockSet::RunningChanged, this, &TFEmo::ShowRunning);
  connect(&clocks_, &ClockSet::Switched, this, &TFEmo::ClocksSwitched);
  connect(&clocks_, &ClockSet::StartRefused, this, &TFEmo::StartRefused);
  sinceStart_.start();

  view_ = new WorldView(this);
  setCentralWidget(view_);
  connect(view_, &WorldView::Resized, this, [this] {
    if (!finished_) DrawWorld();
  });
  connect(view_, &WorldView::Pressed, this, &TFEmo::PointerPressed);
  CreateEditMenu();
  CreateViewMenu();
  CreateStatusBar();
  FitToWorkArea();

  try {
    ReadStartupFile(run_);
    const std::string task = AskTaskName(options.taskName);
    // A resumed run keeps its birth log: the checkpoint reopens it.
    resuming_ = options.resume && HasCheckpoint(run_.WorkDir, task);
    checkpointOnQuit_ = options.resume;
    if (resuming_)
      run_.TaskName = task;
    else
      StartUp(run_, task);
    startedUp_ = true;
    ShowEvent("run folder " + QString::fromStdString(run_.WorkDir.string()));
  } catch (const std::exception& error) {
    clocks_.SetReady(false, "the start-up failed: " + ErrorSummary(error));
    ShowEvent("error: " + ErrorSummary(error));
    ShowError(this, error);
  }
  UpdateStatus();
}

void TFEmo::CreateStatusBar() {
  event_ = new MiddleElidedLabel(this);
  event_->setMinimumWidth(100);
  event_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(event_, 1);
  for (QLabel** field : {&tick_, &mice_, &rate_, &task_, &pickedAndCheck_}) {
    *field = new QLabel(this);
    (*field)->setContentsMargins(6, 0, 6, 0);
    statusBar()->addPermanentWidget(*field);
  }
  rate_->setText("stopped");
}

QLabel* TFEmo::StatusField(Status field) const {
  switch (field) {
    case Status::Event:
      return event_;
    case Status::Tick:
      return tick_;
    case Status::Mice:
      return mice_;
    case Status::Rate:
      return rate_;
    case Status::Task:
      return task_;
    case Status::PickedAndCheck:
      return pickedAndCheck_;
  }
  return nullptr;
}

void TFEmo::ShowEvent(const QString& text) {
  event_->setText(text);
  event_->setToolTip(text);  // a long text is cut in the middle in the bar
}

void TFEmo::UpdateStatus() {
  tick_->setText("Tick " + QString::number(run_.TickCount));
  mice_->setText(QString::number(run_.Mice.size()) + " mice");
  task_->setText("Task " + QString::fromStdString(run_.TaskName));
  ShowPickedAndCheck();
}

void TFEmo::ShowPickedAndCheck() {
  const TMaus* picked = run_.Selected();
  const QString check = QString::number(run_.CheckMausId);
  QString text;
  bool differ = false;
  if (!picked) {
    text = "no mouse picked, check " + check + " not logged";
  } else if (picked->ID == run_.CheckMausId) {
    text = "picked = check " + check;
  } else {
    text = "picked " + QString::number(picked->ID) + " ≠ check " + check;
    differ = true;
  }
  pickedAndCheck_->setText(text);
  // The logged mouse is not the one shown: marked, so nobody reads the wrong protocol.
  pickedAndCheck_->setStyleSheet(differ ? "QLabel { color: #b00000; font-weight: bold; }" : "");
  pickedAndCheck_->setToolTip(
      differ ? "The behaviour protocol logs the check mouse, not the picked one." : QString());
}

void TFEmo::ShowRate() {
  if (!clocks_.Running()) {
    rate_->setText("stopped");
    return;
  }
  const qint64 now = sinceStart_.elapsed();
  while (!tickTimes_.empty() && now - tickTimes_.front() > RateWindowMs)
    tickTimes_.pop_front();
  if (tickTimes_.size() < 2 || tickTimes_.back() == tickTimes_.front()) {
    rate_->setText("– ticks/s");
    return;
  }
  const double rate = 1000.0 * static_cast<double>(tickTimes_.size() - 1) /
                      static_cast<double>(tickTimes_.back() - tickTimes_.front());
  rate_->setText(QString::number(rate, 'f', 1) + " ticks/s");
}

void TFEmo::ClocksSwitched(bool running, const QString& cause) {
  tickTimes_.clear();
  ShowRate();
  ShowEvent(QString(running ? "clock started: " : "clock stopped: ") + cause);
}

void TFEmo::StartRefused(const QString& cause, const QString& whyNot) {
  ShowEvent("clock cannot start (" + cause + "): " + whyNot);
}

void TFEmo::ShowDumpWritten(int number, const std::string& population, const std::string& genomes) {
  ShowEvent("dump " + QString::number(number) + " written: " + QString::fromStdString(population) +
            ", " + QString::fromStdString(genomes));
}

void TFEmo::FitToWorkArea() {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  resize(std::min(DesignedWidth, area.width()), std::min(DesignedHeight, area.height()));
  move(0, 0);
}

std::string TFEmo::AskTaskName(std::optional<std::string> answer) {
  for (;;) {
    if (!answer) {
      bool ok = false;
      const QString text = QInputDialog::getText(
          this, "TaskName", "Geben Sie der Aufgabe einen Namen!", QLineEdit::Normal, "NN", &ok);
      answer = ok ? text.toStdString() : "NN";
    }
    if (ValidTaskName(*answer)) return *answer;
    QMessageBox::warning(
        this, "TaskName",
        "\"" + QString::fromStdString(*answer) +
            "\" cannot be used: the task name becomes part of file names, so it "
            "must not be empty, \".\" or \"..\" and must not contain \"/\", \"\\\" "
            "or control characters. Please choose another name.");
    answer.reset();
  }
}

QAction* TFEmo::AddCheckItem(QMenu* menu, const QString& caption, bool& flag) {
  QAction* item = menu->addAction(caption);
  item->setCheckable(true);
  item->setChecked(flag);
  connect(item, &QAction::toggled, this, [&flag](bool checked) { flag = checked; });
  return item;
}

void TFEmo::CreateEditMenu() {
  bearbeiten_ = menuBar()->addMenu("Bearbeiten");
  startStop_ = bearbeiten_->addAction("StartStop");
  startStop_->setShortcut(Qt::Key_F9);
  clocks_.AddStartStopItem(startStop_, "Bearbeiten", "the main window");
  soundForAll_ = AddCheckItem(bearbeiten_, "Sound für alle?", run_.AllMiceAudible);
  connect(bearbeiten_, &QMenu::aboutToShow, this,
          [this] { soundForAll_->setChecked(run_.AllMiceAudible); });
  QAction* beenden = bearbeiten_->addAction("Beenden");
  beenden->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  connect(beenden, &QAction::triggered, this, &QWidget::close);
  addAction(beenden);
  connect(bearbeiten_->addAction("MausListAus"), &QAction::triggered, this, &TFEmo::MausListAus);
  connect(bearbeiten_->addAction("Check-ID"), &QAction::triggered, this, &TFEmo::AskCheckId);
  connect(bearbeiten_->addAction("Checkpoint"), &QAction::triggered, this,
          &TFEmo::WriteCheckpointNow);
  AddCheckItem(bearbeiten_, "Paint?", switches_.Paint);
  AddCheckItem(bearbeiten_, "AddLines", run_.RecordLines);
  bearbeiten_->addSeparator();
  savePicture_ = bearbeiten_->addAction("Bild speichern…");
  connect(savePicture_, &QAction::triggered, this, &TFEmo::AskSavePicture);
}

void TFEmo::CreateViewMenu() {
  ansicht_ = menuBar()->addMenu("Ansicht");
  uebersicht_ = ansicht_->addAction("Übersicht");
  uebersicht_->setCheckable(true);
  connect(uebersicht_, &QAction::triggered, this, [this] {
    if (views_.sumChart) views_.sumChart->setVisible(!views_.sumChart->isVisible());
  });
  connect(ansicht_, &QMenu::aboutToShow, this,
          [this] { uebersicht_->setChecked(views_.sumChart && views_.sumChart->isVisible()); });
  editParams_ = ansicht_->addAction("Personenparameter editieren");
  editParams_->setShortcut(Qt::Key_F8);
  connect(editParams_, &QAction::triggered, this, [this] { OpenModal(views_.edit); });
  editMotives_ = ansicht_->addAction("Motive editieren");
  editMotives_->setShortcut(Qt::Key_F7);
  connect(editMotives_, &QAction::triggered, this, [this] { OpenModal(views_.editMotiv); });
  QAction* freundFeind = AddCheckItem(ansicht_, "FreundFeind", switches_.FreundFeind);
  connect(freundFeind, &QAction::toggled, this, &TFEmo::DrawWorld);
  genom_ = ansicht_->addAction("Genom");
  connect(genom_, &QAction::triggered, this, [this] { OpenModal(views_.genom); });
  farben_ = ansicht_->addAction("Farben");
  connect(farben_, &QAction::triggered, this, [this] {
    if (!views_.color) return;
    views_.color->show();
    views_.color->raise();
  });
  // The items of windows not (yet) there stay hidden.
  SetViews({});
  // Shortcuts work while the menus are closed, too.
  addActions({startStop_, editParams_, editMotives_});
}

void TFEmo::SetViews(const Views& views) {
  for (QObject* old : {static_cast<QObject*>(views_.chart), static_cast<QObject*>(views_.sumChart)})
    if (old) disconnect(old, nullptr, this, nullptr);
  views_ = views;
  if (views_.chart) connect(views_.chart, &TFChart::Exported, this, &TFEmo::ShowEvent);
  if (views_.sumChart) connect(views_.sumChart, &TFSumChart::Exported, this, &TFEmo::ShowEvent);
  uebersicht_->setVisible(views_.sumChart != nullptr);
  editParams_->setVisible(views_.edit != nullptr);
  editMotives_->setVisible(views_.editMotiv != nullptr);
  genom_->setVisible(views_.genom != nullptr);
  farben_->setVisible(views_.color != nullptr);
  MausSelected(run_.Selected());
}

void TFEmo::OpenModal(QWidget* dialog) {
  if (auto* modal = qobject_cast<QDialog*>(dialog)) modal->exec();
}

bool TFEmo::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && firstActivation_)
    QMetaObject::invokeMethod(this, &TFEmo::Activate, Qt::QueuedConnection);
  return QMainWindow::event(event);
}

void TFEmo::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Without a window manager nobody activates the window; the run starts with it.
  if (firstActivation_) activateWindow();
}

void TFEmo::Activate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  if (!startedUp_) return;
  try {
    images_.Load(run_.BitmapDir());
    if (resuming_) {
      // A checkpoint brings its world along.
      ResumeFromCheckpoint(run_, run_.TaskName);
      setWindowTitle(windowTitle() + QString::fromStdString(PopulationCaptionSuffix(run_)));
      populationReady_ = true;
      if (views_.chart) views_.chart->ContinuePaging();
    } else {
      // The set-up writes the first dump pair with the number the run starts with (0).
      const std::string firstPopulation = PopulationDumpName(run_);
      const std::string firstGenomes = GenomeDumpName(run_);
      SetUpPopulation(run_);
      setWindowTitle(windowTitle() + QString::fromStdString(PopulationCaptionSuffix(run_)));
      populationReady_ = true;
      ShowDumpWritten(0, firstPopulation, firstGenomes);
      LoadWorld(run_);
    }
    clocks_.SetReady(true);
    // The clocks' cause is the event shown last, so it names the tick resumed at.
    clocks_.SetRunning(true, resuming_ ? "the run is resumed at tick " +
                                             QString::number(run_.TickCount) + " from " +
                                             QString::fromStdString(CheckpointName(run_.TaskName))
                                       : "the run is set up");
  } catch (const std::exception& error) {
    clocks_.SetReady(false, "the run could not be set up: " + ErrorSummary(error));
    ShowEvent("error: " + ErrorSummary(error));
    ShowError(this, error);
  }
  UpdateStatus();
  FollowSelection();
  DrawWorld();
}

ViewGeometry TFEmo::Geometry() const {
  if (!run_.World) return {};
  return ViewGeometry::Fit(run_.World->WorldWidth, run_.World->WorldHeight, view_->Buffer().width(),
                           view_->Buffer().height());
}

void TFEmo::DrawWorld() {
  WorldPainter(run_, images_, switches_.FreundFeind).Draw(view_->Buffer(), view_->Pointer());
  view_->update();
}

void TFEmo::TimerLifeTimer() {
  const int dumpNumber = run_.DumpNumber;
  const std::string population = PopulationDumpName(run_);
  const std::string genomes = GenomeDumpName(run_);
  try {
    if (Tick(run_)) tickTimes_.push_back(sinceStart_.elapsed());
  } catch (const std::exception& error) {
    const QString summary = ErrorSummary(error);
    clocks_.SetRunning(false, "error in tick " + QString::number(run_.TickCount) + ": " + summary);
    ShowError(this, error);
  }
  if (run_.DumpNumber != dumpNumber) ShowDumpWritten(dumpNumber, population, genomes);
  FollowSelection();
  UpdateStatus();
  ShowRate();
  if (switches_.Paint)
    DrawWorld();
  else
    view_->update();
}

void TFEmo::PointerPressed(Qt::MouseButton button, QPoint position) {
  if (button == Qt::LeftButton)
    run_.SelectMaus(HandleOf(MausAt(run_, Geometry(), {position.x(), position.y()}, 100)));
  else
    run_.SelectMaus(HandleOf(MausById(run_, run_.CheckMausId)));
  if (const TMaus* picked = run_.Selected()) run_.CheckMausId = picked->ID;
  FollowSelection();
  ShowPickedAndCheck();
}

void TFEmo::MausSelected(TMaus* mouse) {
  if (views_.chart) views_.chart->ShowMaus(mouse);
  if (views_.edit) views_.edit->SetMaus(mouse);
  if (views_.editMotiv) views_.editMotiv->SetMaus(mouse);
  if (pickedAndCheck_) ShowPickedAndCheck();
  DrawWorld();
}

void TFEmo::FollowSelection() {
  if (run_.SelectionChanges == seenSelection_) return;
  seenSelection_ = run_.SelectionChanges;
  MausSelected(run_.Selected());
}

void TFEmo::MausListAus() {
  if (!populationReady_) {
    ShowEvent("MausListAus: no population to write yet");
    return;
  }
  const int number = run_.DumpNumber;
  const std::string population = PopulationDumpName(run_);
  const std::string genomes = GenomeDumpName(run_);
  try {
    DumpNow(run_);
    ShowDumpWritten(number, population, genomes);
  } catch (const std::exception& error) {
    ShowEvent("error: " + ErrorSummary(error));
    ShowError(this, error);
  }
}

void TFEmo::WriteCheckpointNow() {
  // Only between two ticks: an error box inside a tick may let the menu run.
  if (!populationReady_ || run_.Busy) return;
  try {
    WriteCheckpoint(run_);
    checkpointOnQuit_ = true;
    ShowEvent("checkpoint of tick " + QString::number(run_.TickCount) +
              " written: " + QString::fromStdString(CheckpointName(run_.TaskName)));
  } catch (const std::exception& error) {
    ShowEvent("error: " + ErrorSummary(error));
    ShowError(this, error);
  }
}

void TFEmo::AskCheckId() {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(this, "CheckMaus-ID", "Geben Sie die ID der Prüf-Maus ein!",
                            QLineEdit::Normal, QString::number(run_.CheckMausId), &ok);
  if (!ok) return;
  bool number = false;
  const int id = answer.trimmed().toInt(&number, 10);
  if (number) {
    run_.CheckMausId = id;
    // Allowed (a mouse born later may take the ID), but the user should know.
    ShowEvent("check mouse set to " + QString::number(id) +
              (MausById(run_, id) ? QString()
                                  : ": no living mouse has ID " + QString::number(id) +
                                        ", so no decisions are logged until one has"));
    ShowPickedAndCheck();
  } else
    QMessageBox::warning(this, "CheckMaus-ID", "'" + answer + "' is not a valid integer value.");
}

void TFEmo::ShowRunning(bool running) {
  startStop_->setText(running ? "Stop" : "Start");
}

void TFEmo::FinishOnce() {
  if (finished_) return;
  finished_ = true;
  clocks_.SetReady(false, "Beenden: the run ended");
  // A run that was resumed, or has written a checkpoint, is one the user means
  // to continue: the next resume goes on from here, not from an older state.
  // Only between two ticks: an error box inside a tick may let the window close.
  if (populationReady_ && checkpointOnQuit_ && !run_.Busy) {
    try {
      WriteCheckpoint(run_);
    } catch (const std::exception& error) {
      ShowError(this, error);
    }
  }
  try {
    if (populationReady_)
      FinishRun(run_);
    else
      run_.CloseProtocols();
  } catch (const std::exception& error) {
    ShowError(this, error);
  }
}

QImage TFEmo::WorldPicture(double scale) const {
  if (scale == 1) return view_->Buffer().copy();
  const QSize size = SavePictureDialog::ScaledSize(view_->Buffer().size(), scale);
  if (size.isEmpty()) return {};
  QImage picture(size, QImage::Format_RGB32);
  // Drawn as the view of its current size, only finer: the same layout, sharper.
  picture.setDevicePixelRatio(static_cast<double>(size.width()) / view_->Buffer().width());
  WorldPainter(run_, images_, switches_.FreundFeind).Draw(picture, view_->Pointer());
  picture.setDevicePixelRatio(1);
  return picture;
}

bool TFEmo::SaveWorldPicture(const QString& path, const QImage& picture, QString& error) {
  if (picture.isNull()) {
    error = "there is no picture to save";
    return false;
  }
  if (!SavePng(path, picture, error)) return false;
  ShowEvent(
      QString("picture saved (%1 × %2): %3").arg(picture.width()).arg(picture.height()).arg(path));
  return true;
}

void TFEmo::AskSavePicture() {
  // The picture is drawn from the run, so the run stands while the dialog is
  // open: the tick in the proposed name is the tick of the picture written.
  const bool wasRunning = clocks_.Running();
  if (wasRunning) clocks_.SetRunning(false, "\"Bild speichern…\" opened");
  const QString name =
      QString("Welt-%1-tick%2.png").arg(QString::fromStdString(run_.TaskName)).arg(run_.TickCount);
  SavePictureDialog dialog(QString::fromStdString((run_.WorkDir / name.toStdString()).string()),
                           view_->Buffer().size(), this);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.Path().isEmpty();
  const QImage picture = accepted ? WorldPicture(dialog.Scale()) : QImage();
  if (wasRunning) clocks_.SetRunning(true, "\"Bild speichern…\" closed");
  if (!accepted) return;
  QString error;
  if (!SaveWorldPicture(dialog.Path(), picture, error)) {
    ShowEvent("error: picture not saved: " + error);
    QMessageBox::warning(this, "Bild speichern…", dialog.Path() + ":\n" + error);
  }
}

void TFEmo::closeEvent(QCloseEvent* event) {
  FinishOnce();
  event->accept();
  emit Closed();
}

}  // namespace murinex
