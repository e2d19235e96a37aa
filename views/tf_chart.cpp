#include "views/tf_chart.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "agent/maus.h"
#include "model/lines.h"
#include "model/run.h"
#include "views/chart_export.h"
#include "views/chart_widget.h"
#include "views/clock_set.h"
#include "views/window_placement.h"

namespace murinex {

namespace {

constexpr int BandHeight = 30;
constexpr int PageLengths[3] = {50, 100, 150};
const char* const PageCaptions[3] = {"100", "200", "300"};

}  // namespace

TFChart::TFChart(Run& run, ClockSet& clocks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      run_(run),
      clocks_(clocks) {
  clock_ = new QTimer(this);
  clock_->setInterval(50);
  connect(clock_, &QTimer::timeout, this, &TFChart::ClockTick);
  CreateCharts();
  CreateMenus();
  SetPage(50);
  group1_ = 0;
  group2_ = 1;
  ShowMaus(nullptr);
  Set3D(false);
  PlaceInWorkArea();
  clocks_.Add(clock_);
  connect(&clocks_, &ClockSet::RunningChanged, this, &TFChart::ShowRunning);
}

void TFChart::CreateCharts() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (int i = 0; i < 5; ++i) {
    charts_[i] = new ChartWidget(this);
    layout->addWidget(charts_[i], i == 1 ? 1 : 0);
  }
  for (int i = 0; i < 2; ++i) {
    ChartWidget& c = *charts_[i];
    c.SetBackground(QColor(192, 192, 192));
    c.SetView3D(true);
    c.SetLeftStep(0.1);
    c.SetLeftRange(0, 1);
    c.SetLegendShadow(3);
    c.SetLegendVisible(false);
  }
  for (int i = 2; i < 5; ++i) {
    ChartWidget& c = *charts_[i];
    c.setFixedHeight(BandHeight);
    c.SetView3D(false);
    c.SetLeftAxisVisible(false);
    c.SetLegendVisible(false);
    c.SetBottomStep(10);
  }
}

void TFChart::CreateMenus() {
  menuBar_ = new QMenuBar(this);
  layout()->setMenuBar(menuBar_);
  gruppe1_ = menuBar_->addMenu("Gruppe 1");
  gruppe2_ = menuBar_->addMenu("Gruppe 2");
  connect(gruppe1_, &QMenu::aboutToShow, this, [this] { CheckGroupItem(gruppe1_, group1_); });
  connect(gruppe2_, &QMenu::aboutToShow, this, [this] { CheckGroupItem(gruppe2_, group2_); });

  ansicht_ = menuBar_->addMenu("Ansicht");
  connect(ansicht_, &QMenu::aboutToShow, this, &TFChart::UpdateViewChecks);
  legende_ = ansicht_->addAction("Legende");
  legende_->setShortcut(Qt::Key_F5);
  legende_->setCheckable(true);
  connect(legende_, &QAction::triggered, this, [this] {
    const bool on = !charts_[0]->LegendVisible();
    charts_[0]->SetLegendVisible(on);
    charts_[1]->SetLegendVisible(on);
  });
  view3D_ = ansicht_->addAction("3D");
  view3D_->setShortcut(Qt::Key_F3);
  view3D_->setCheckable(true);
  connect(view3D_, &QAction::triggered, this, [this] { Set3D(!charts_[0]->View3D()); });
  ansicht_->addSeparator();
  for (int i = 0; i < 3; ++i) {
    pageItems_[i] = ansicht_->addAction(PageCaptions[i]);
    pageItems_[i]->setCheckable(true);
    connect(pageItems_[i], &QAction::triggered, this, [this, i] { SetPage(PageLengths[i]); });
  }
  ansicht_->addSeparator();
  startStop_ = ansicht_->addAction("StartStop");
  startStop_->setShortcut(Qt::Key_F9);
  clocks_.AddStartStopItem(startStop_, "Ansicht", "the mouse chart");
  stopAtPageEnd_ = ansicht_->addAction("Stop am Seitenende");
  stopAtPageEnd_->setCheckable(true);
  connect(stopAtPageEnd_, &QAction::toggled, this, [this](bool checked) {
    if (!checked) clocks_.SetRunning(true, "\"Stop am Seitenende\" unchecked in the mouse chart");
  });
  ansicht_->addSeparator();
  connect(ansicht_->addAction("Bild speichern…"), &QAction::triggered, this,
          &TFChart::AskSavePicture);
  connect(ansicht_->addAction("Daten speichern (CSV)…"), &QAction::triggered, this,
          &TFChart::AskSaveData);
  tickAxis_ = ansicht_->addAction("Achse in Ticks");
  tickAxis_->setCheckable(true);
  connect(tickAxis_, &QAction::toggled, this, &TFChart::SetTickAxis);
  // Shortcuts work while the menus are closed, too.
  addActions({legende_, view3D_, startStop_});
}

void TFChart::PlaceInWorkArea() {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // The frame is known once the window is shown; before, it counts as none.
  placedWith_ = FrameMargins(*this);
  const QSize frame = QSize(520, 440).grownBy(placedWith_);
  PlaceFrame(
      *this,
      QRect(QPoint(area.right() + 1 - frame.width(), area.bottom() + 1 - frame.height()), frame));
}

void TFChart::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placedWithFrame_) return;
  placedWithFrame_ = true;
  // A window manager tells the size of its frame a little after the window appears.
  QTimer::singleShot(0, this, &TFChart::PlaceInWorkArea);
}

void TFChart::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The frame came, or changed: the corner is kept with the frame inside the screen.
  if (FrameMargins(*this) != placedWith_) PlaceInWorkArea();
}

void TFChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int client = height() - menuBar_->sizeHint().height();
  charts_[0]->setFixedHeight(std::max(20, (client - 2 * BandHeight) / 2));
}

void TFChart::ShowMaus(TMaus* m) {
  if (mouse_) {
    Detach(0);
    Detach(1);
    for (int i = 2; i < 5; ++i)
      charts_[i]->SetBand(nullptr);
  }
  mouse_ = m;
  if (!m) {
    hide();
    return;
  }
  setWindowTitle(QString::number(m->ID));
  FillGroupMenu(gruppe1_, groupItems1_);
  FillGroupMenu(gruppe2_, groupItems2_);
  const int groups = static_cast<int>(m->Lines->GroupCount());
  if (group1_ >= groups || group2_ >= groups || group1_ == group2_) {
    group1_ = 0;
    group2_ = groups > 1 ? 1 : -1;
  }
  PickGroup1(group1_);
  PickGroup2(group2_);
  AttachBands();
  Set3D(charts_[0]->View3D());
  UpdateSampleTicks();
  show();
}

void TFChart::FillGroupMenu(QMenu* menu, QActionGroup*& group) {
  const bool first = menu == gruppe1_;
  menu->clear();
  delete group;
  group = new QActionGroup(menu);
  group->setExclusive(true);
  const TLines& lines = *mouse_->Lines;
  for (std::size_t i = 0; i < lines.GroupCount(); ++i) {
    QAction* item = menu->addAction(QString::fromStdString(lines.Group(i).Name));
    item->setCheckable(true);
    item->setData(static_cast<int>(i));
    group->addAction(item);
    const int index = static_cast<int>(i);
    connect(item, &QAction::triggered, this,
            [this, first, index] { first ? PickGroup1(index) : PickGroup2(index); });
  }
}

void TFChart::PickGroup1(int index) {
  if (index == group2_ && index >= 0) return;
  Detach(0);
  SetGroupItemEnabled(gruppe2_, group1_, true);
  group1_ = index;
  SetGroupItemEnabled(gruppe2_, group1_, false);
  CheckGroupItem(gruppe1_, group1_);
  Attach(0, group1_);
}

void TFChart::PickGroup2(int index) {
  if (index == group1_ && index >= 0) return;
  Detach(1);
  SetGroupItemEnabled(gruppe1_, group2_, true);
  group2_ = index;
  SetGroupItemEnabled(gruppe1_, group2_, false);
  CheckGroupItem(gruppe2_, group2_);
  Attach(1, group2_);
}

void TFChart::SetGroupItemEnabled(QMenu* menu, int index, bool enabled) {
  const auto items = menu->actions();
  if (index >= 0 && index < items.size()) items[index]->setEnabled(enabled);
}

void TFChart::CheckGroupItem(QMenu* menu, int index) {
  const auto items = menu->actions();
  if (index >= 0 && index < items.size()) items[index]->setChecked(true);
}

void TFChart::Attach(int chart, int group) {
  if (!mouse_ || group < 0 || group >= static_cast<int>(mouse_->Lines->GroupCount())) return;
  std::vector<const TLineSeries*> series;
  for (const auto& line : mouse_->Lines->Group(static_cast<std::size_t>(group)).Lines)
    series.push_back(line.get());
  charts_[chart]->SetSeries(std::move(series));
}

void TFChart::Detach(int chart) {
  charts_[chart]->SetSeries({});
}

void TFChart::AttachBands() {
  const TLines& lines = *mouse_->Lines;
  charts_[2]->SetBand(&lines.BandSeries(TLines::NeedBand));
  charts_[3]->SetBand(&lines.BandSeries(TLines::GoalBand));
  charts_[4]->SetBand(&lines.BandSeries(TLines::ActionBand));
}

void TFChart::SetPage(int length) {
  recorder_.SetPage(length);
  for (ChartWidget* c : charts_)
    c->SetBottomRange(length);
}

void TFChart::Set3D(bool on) {
  charts_[0]->Set3D(on);
  charts_[1]->Set3D(on);
}

void TFChart::UpdateViewChecks() {
  legende_->setChecked(charts_[0]->LegendVisible());
  view3D_->setChecked(charts_[0]->View3D());
  for (int i = 0; i < 3; ++i)
    pageItems_[i]->setChecked(recorder_.PageLength() == PageLengths[i]);
}

void TFChart::ClockTick() {
  const bool pageFull = recorder_.Tick(run_);
  if (pageFull && stopAtPageEnd_->isChecked())
    clocks_.SetRunning(false, "\"Stop am Seitenende\" in the mouse chart: page of " +
                                  QString::number(recorder_.PageLength()) +
                                  " points full at tick " + QString::number(run_.TickCount));
  for (ChartWidget* c : charts_)
    c->SetPageOffset(recorder_.PageOffset());
  UpdateSampleTicks();
}

void TFChart::ContinuePaging() {
  recorder_.ContinueFrom(run_);
  for (ChartWidget* c : charts_)
    c->SetPageOffset(recorder_.PageOffset());
  UpdateSampleTicks();
}

void TFChart::UpdateSampleTicks() {
  std::vector<std::int32_t> ticks;
  if (mouse_)
    for (const TLineSample& s : mouse_->Lines->Samples())
      ticks.push_back(s.Tick);
  for (ChartWidget* c : charts_)
    c->SetSampleTicks(ticks);
}

void TFChart::SetTickAxis(bool on) {
  for (ChartWidget* c : charts_)
    c->SetTickAxis(on);
  if (tickAxis_->isChecked() != on) tickAxis_->setChecked(on);
}

QImage TFChart::Picture() {
  QRect area;
  for (ChartWidget* c : charts_)
    area |= c->geometry();
  return grab(area).toImage();
}

QString TFChart::DataCsv() const {
  return mouse_ ? MouseChartCsv(*mouse_->Lines) : QString();
}

TFChart::Data TFChart::TakeData() const {
  if (!mouse_) return {};
  return {QString::number(mouse_->ID), MouseChartCsv(*mouse_->Lines),
          mouse_->Lines->Samples().size()};
}

QString TFChart::NothingToWrite(const Data& data) {
  if (data.mouse.isEmpty()) return "no mouse is shown";
  if (data.samples == 0)
    return "mouse " + data.mouse +
           " has no samples on this page (are the lines recorded, \"AddLines\"?)";
  return {};
}

bool TFChart::SavePicture(const QString& path, const QImage& picture, QString& error) {
  if (!SavePng(path, picture, error)) return false;
  emit Exported("chart picture saved: " + path);
  return true;
}

bool TFChart::SaveData(const QString& path, const Data& data, QString& error) {
  error = NothingToWrite(data);
  if (!error.isEmpty()) return false;
  if (!SaveTextFile(path, data.csv, error)) return false;
  emit Exported("chart data of mouse " + data.mouse + " saved (" + QString::number(data.samples) +
                " samples): " + path);
  return true;
}

QString TFChart::DefaultFileName(const QString& extension) const {
  const QString name = QString("Chart-%1-%2-tick%3.%4")
                           .arg(windowTitle(), QString::fromStdString(run_.TaskName))
                           .arg(run_.TickCount)
                           .arg(extension);
  return QString::fromStdString((run_.WorkDir / name.toStdString()).string());
}

void TFChart::AskSavePicture() {
  // Taken before the dialog: what is written is what the user saw when asking.
  const QImage picture = Picture();
  const QString path =
      QFileDialog::getSaveFileName(this, "Bild speichern…", DefaultFileName("png"), "PNG (*.png)");
  QString error;
  if (!path.isEmpty() && !SavePicture(path, picture, error))
    QMessageBox::warning(this, "Bild speichern…", path + ":\n" + error);
}

void TFChart::AskSaveData() {
  const Data data = TakeData();
  const QString nothing = NothingToWrite(data);
  if (!nothing.isEmpty()) {
    emit Exported("chart data not saved: " + nothing);
    QMessageBox::information(this, "Daten speichern (CSV)…", "Nothing to save: " + nothing + ".");
    return;
  }
  const QString path = QFileDialog::getSaveFileName(this, "Daten speichern (CSV)…",
                                                    DefaultFileName("csv"), "CSV (*.csv)");
  QString error;
  if (!path.isEmpty() && !SaveData(path, data, error))
    QMessageBox::warning(this, "Daten speichern (CSV)…", path + ":\n" + error);
}

void TFChart::ShowRunning(bool running) {
  startStop_->setText(running ? "Stop" : "Start");
}

}  // namespace murinex
