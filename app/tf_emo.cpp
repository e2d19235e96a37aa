#include "app/tf_emo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <clocale>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/error_box.h"
#include "app/world_painter.h"
#include "app/world_view.h"
#include "sim/startup.h"
#include "sim/tick.h"
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

// What the caption gains once the population is set up: its file and start tick.
std::string PopulationCaptionSuffix(const Run& run) {
  return "    " + run.PopulationFileName + "   Start: " + std::to_string(run.TickCount);
}

}  // namespace

TFEmo::TFEmo(Run& run, ClockSet& clocks, const StartOptions& options) : run_(run), clocks_(clocks) {
  FormCreate(options);
  run_.Observer = this;
}

TFEmo::~TFEmo() {
  clocks_.SetReady(false);
  if (run_.Observer == this) run_.Observer = nullptr;
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

  view_ = new WorldView(this);
  setCentralWidget(view_);
  connect(view_, &WorldView::Resized, this, [this] {
    if (!finished_) DrawWorld();
  });
  connect(view_, &WorldView::Pressed, this, &TFEmo::PointerPressed);
  CreateEditMenu();
  CreateViewMenu();
  FitToWorkArea();

  try {
    ReadStartupFile(run_);
    StartUp(run_, AskTaskName(options.taskName));
    startedUp_ = true;
  } catch (const std::exception& error) {
    ShowError(this, error);
  }
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
  connect(startStop_, &QAction::triggered, &clocks_, &ClockSet::StartStop);
  soundForAll_ = AddCheckItem(bearbeiten_, "Sound für alle?", run_.AllMiceAudible);
  connect(bearbeiten_, &QMenu::aboutToShow, this,
          [this] { soundForAll_->setChecked(run_.AllMiceAudible); });
  QAction* beenden = bearbeiten_->addAction("Beenden");
  beenden->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  connect(beenden, &QAction::triggered, this, &QWidget::close);
  addAction(beenden);
  connect(bearbeiten_->addAction("MausListAus"), &QAction::triggered, this, &TFEmo::MausListAus);
  connect(bearbeiten_->addAction("Check-ID"), &QAction::triggered, this, &TFEmo::AskCheckId);
  AddCheckItem(bearbeiten_, "Paint?", switches_.Paint);
  AddCheckItem(bearbeiten_, "AddLines", run_.RecordLines);
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
  views_ = views;
  uebersicht_->setVisible(views_.sumChart != nullptr);
  editParams_->setVisible(views_.edit != nullptr);
  editMotives_->setVisible(views_.editMotiv != nullptr);
  genom_->setVisible(views_.genom != nullptr);
  farben_->setVisible(views_.color != nullptr);
  MausSelected(run_.SelectedMaus);
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
    SetUpPopulation(run_);
    setWindowTitle(windowTitle() + QString::fromStdString(PopulationCaptionSuffix(run_)));
    populationReady_ = true;
    LoadWorld(run_);
    clocks_.SetReady(true);
    clocks_.StartStop();
  } catch (const std::exception& error) {
    ShowError(this, error);
  }
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
  try {
    Tick(run_);
  } catch (const std::exception& error) {
    clocks_.SetRunning(false);
    ShowError(this, error);
  }
  if (switches_.Paint)
    DrawWorld();
  else
    view_->update();
}

void TFEmo::PointerPressed(Qt::MouseButton button, QPoint position) {
  if (button == Qt::LeftButton)
    run_.SelectMaus(MausAt(run_, Geometry(), {position.x(), position.y()}, 100));
  else
    run_.SelectMaus(MausById(run_, run_.CheckMausId));
  if (run_.SelectedMaus) run_.CheckMausId = run_.SelectedMaus->ID;
}

void TFEmo::MausSelected(TMaus* mouse) {
  if (views_.chart) views_.chart->ShowMaus(mouse);
  if (views_.edit) views_.edit->SetMaus(mouse);
  if (views_.editMotiv) views_.editMotiv->SetMaus(mouse);
  DrawWorld();
}

void TFEmo::MausListAus() {
  if (!populationReady_) return;
  try {
    DumpNow(run_);
  } catch (const std::exception& error) {
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
  if (number)
    run_.CheckMausId = id;
  else
    QMessageBox::warning(this, "CheckMaus-ID", "'" + answer + "' is not a valid integer value.");
}

void TFEmo::ShowRunning(bool running) {
  startStop_->setText(running ? "Stop" : "Start");
}

void TFEmo::FinishOnce() {
  if (finished_) return;
  finished_ = true;
  clocks_.SetReady(false);
  try {
    if (populationReady_)
      FinishRun(run_);
    else
      run_.CloseProtocols();
  } catch (const std::exception& error) {
    ShowError(this, error);
  }
}

void TFEmo::closeEvent(QCloseEvent* event) {
  FinishOnce();
  event->accept();
  emit Closed();
}

}  // namespace murinex
