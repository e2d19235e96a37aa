// What the desktop program does every 50 ms, without a screen: one tick of the
// simulation, one tick of each chart clock and the redraw of the world view,
// for the default run with its population grown to a given size.
//
// usage: murinex-bench-view [FRAMES] [MICE]   (default 1000 measured frames, 200 mice)

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <vector>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/mouse_images.h"
#include "app/world_painter.h"
#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick/charts.h"
#include "sim/tick/tick.h"

namespace {

using namespace murinex;

// Copies of the mice of the default population at other places, until there are `count`.
void GrowPopulation(Run& run, std::size_t count) {
  const std::size_t original = run.Mice.size();
  for (std::size_t i = 0; run.Mice.size() < count; ++i) {
    const TMaus& model = *run.Mice[i % original];
    auto m = NewMaus(run);
    m->Lineage = model.Lineage;
    m->Age = model.Age;
    m->Motives = model.Motives;
    m->Params = model.Params;
    m->SumWeights = model.SumWeights;
    m->CurStrength() = model.CurStrength();
    m->StuckAt = NoPoint;
    m->Position = {static_cast<std::int32_t>(run.random.Below(run.World->WorldWidth)),
                   static_cast<std::int32_t>(run.random.Below(run.World->WorldHeight))};
    run.Mice.push_back(std::move(m));
  }
}

std::filesystem::path CopyOfTheDefaultRun() {
  const auto folder = std::filesystem::temp_directory_path() / "murinex-bench-view";
  std::filesystem::remove_all(folder);
  std::filesystem::copy(MURINEX_DEFAULT_RUN, folder, std::filesystem::copy_options::recursive);
  return folder;
}

}  // namespace

int main(int argc, char** argv) try {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int frames = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int mice = argc > 2 ? std::atoi(argv[2]) : 200;
  if (frames <= 0 || mice <= 0) {
    std::fprintf(stderr, "usage: murinex-bench-view [FRAMES] [MICE]\n");
    return 2;
  }
  const auto folder = CopyOfTheDefaultRun();
  Run run(folder);
  StartUp(run, "bench");
  SetUpPopulation(run);
  LoadWorld(run);
  MouseImages images;
  images.Load(run.BitmapDir());
  GrowPopulation(run, static_cast<std::size_t>(mice));
  run.SelectMaus(run.Mice.front()->Handle);  // its places are drawn, its decisions logged
  MouseChartRecorder recorder;
  QImage buffer(916, 618, QImage::Format_RGB32);
  const WorldPainter painter(run, images, false);

  std::vector<double> tickMs, drawMs;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Tick(run);
    recorder.Tick(run);
    run.SumLines.Tick(run.RecordLines, run.TickCount);
    const auto ticked = std::chrono::steady_clock::now();
    painter.Draw(buffer, {400, 300});
    const auto drawn = std::chrono::steady_clock::now();
    tickMs.push_back(std::chrono::duration<double, std::milli>(ticked - start).count());
    drawMs.push_back(std::chrono::duration<double, std::milli>(drawn - ticked).count());
  }
  auto report = [](const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
      sum += v;
    std::printf("%-28s mean %6.2f ms   95%% %6.2f ms   max %6.2f ms\n", what, sum / ms.size(),
                ms[ms.size() * 95 / 100], ms.back());
  };
  std::vector<double> total(tickMs.size());
  for (std::size_t i = 0; i < total.size(); ++i)
    total[i] = tickMs[i] + drawMs[i];
  std::printf("%d frames, %zu mice at the end\n", frames, run.Mice.size());
  report("tick and chart clocks", tickMs);
  report("DrawWorld", drawMs);
  report("together", total);
  FinishRun(run);
  std::filesystem::remove_all(folder);
  return 0;
} catch (const std::exception& error) {
  // Nothing may end the program with an abort: a message and a failure status.
  std::fprintf(stderr, "%s: %s\n", "murinex-bench-view", error.what());
  return 1;
}
