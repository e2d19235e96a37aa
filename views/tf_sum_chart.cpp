#include "views/tf_sum_chart.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "model/run.h"
#include "views/chart_widget.h"
#include "views/clock_set.h"

namespace murinex {

TFSumChart::TFSumChart(Run& run, ClockSet& clocks, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint),
      run_(run) {
  setWindowTitle("Übersicht");
  clock_ = new QTimer(this);
  clock_->setInterval(50);
  connect(clock_, &QTimer::timeout, this, &TFSumChart::ClockTick);
  PlaceRightOf(mainWindow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  chart_ = new ChartWidget(this);
  layout->addWidget(chart_);
  chart_->SetBackground(QColor(192, 192, 192));
  chart_->SetLeftStep(0.1);
  chart_->SetBottomRange(run_.SumLines.PageLength());
  chart_->SetLegendShadow(3);
  chart_->SetLegendVisible(false);
  CreateMenu();
  AttachLines();
  Set3D(false);
  clocks.Add(clock_);
  show();
}

QString TFSumChart::Caption(std::size_t population) {
  return "Übersicht         Pop = " + QString::number(population);
}

void TFSumChart::PlaceRightOf(const QWidget* mainWindow) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect main = mainWindow ? mainWindow->frameGeometry() : QRect(area.topLeft(), QSize(0, 0));
  const int w = std::max(200, area.width() - main.width());
  resize(w, std::min(360, area.height()));
  move(main.x() + main.width(), main.y());
}

void TFSumChart::CreateMenu() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  ansicht_ = bar->addMenu("Ansicht");
  connect(ansicht_, &QMenu::aboutToShow, this, [this] {
    legende_->setChecked(chart_->LegendVisible());
    view3D_->setChecked(chart_->View3D());
  });
  legende_ = ansicht_->addAction("Legende");
  legende_->setShortcut(Qt::Key_F5);
  legende_->setCheckable(true);
  connect(legende_, &QAction::triggered, this,
          [this] { chart_->SetLegendVisible(!chart_->LegendVisible()); });
  view3D_ = ansicht_->addAction("3D");
  view3D_->setShortcut(Qt::Key_F3);
  view3D_->setCheckable(true);
  connect(view3D_, &QAction::triggered, this, [this] { Set3D(!chart_->View3D()); });
  QAction* close = ansicht_->addAction("Schliessen");
  connect(close, &QAction::triggered, this, &QWidget::hide);
  addActions({legende_, view3D_});
}

void TFSumChart::AttachLines() {
  std::vector<const TLineSeries*> series;
  for (std::size_t i = 0; i < run_.SumLines.Size(); ++i)
    series.push_back(&run_.SumLines.At(i).Series);
  chart_->SetSeries(std::move(series));
}

void TFSumChart::ClockTick() {
  run_.SumLines.Tick(run_.RecordLines);
  setWindowTitle(Caption(run_.Mice.size()));
  AttachLines();
  chart_->SetPageOffset(run_.SumLines.PageOffset());
}

void TFSumChart::Set3D(bool on) {
  chart_->Set3D(on);
}

}  // namespace murinex
