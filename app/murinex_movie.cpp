// murinex-movie: runs the simulation without windows, as murinex-run does, and
// films the world view: every K ticks one frame drawn by the main window's
// painter, with the tick and the population in a caption, encoded by ffmpeg.

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "app/mouse_images.h"
#include "app/movie_encoder.h"
#include "app/movie_frame.h"
#include "app/progress_bar.h"
#include "app/runner_checkpoint.h"
#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "world/error.h"

namespace {

struct Options {
  std::string dir;
  long long ticks = 0;
  long long every = 1;
  std::string out;
  std::string size;
  double fps = 20;
  bool lossless = false;
  bool relations = false;
  std::string task = "NN";
  std::optional<int> select;
  std::optional<int> checkId;
};

// Without a size the movie takes the world's own, made even and at most 1280 x 960.
constexpr int MaxDefaultWidth = 1280;
constexpr int MaxDefaultHeight = 960;

class SilentSound : public murinex::SoundSink {
 public:
  void PlayWave(const std::string&) override {}
};

int Even(int value) {
  return std::max(2, value - value % 2);
}

QSize DefaultSize(const murinex::TWorld& world) {
  const double shrink = std::min({1.0, static_cast<double>(MaxDefaultWidth) / world.WorldWidth,
                                  static_cast<double>(MaxDefaultHeight) / world.WorldHeight});
  return QSize(Even(static_cast<int>(world.WorldWidth * shrink)),
               Even(static_cast<int>(world.WorldHeight * shrink)));
}

// One to five decimal digits, nothing else.
std::optional<int> SizeNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// "WxH" with an even width and height (H.264 halves the colour resolution).
std::string CheckSize(const std::string& text) {
  const auto x = text.find('x');
  const auto w =
      x == std::string::npos ? std::nullopt : SizeNumber(std::string_view(text).substr(0, x));
  const auto h =
      x == std::string::npos ? std::nullopt : SizeNumber(std::string_view(text).substr(x + 1));
  if (!w || !h) return "must be WIDTHxHEIGHT, such as 900x640";
  if (*w < 16 || *h < 16 || *w > 7680 || *h > 4320) return "must lie between 16x16 and 7680x4320";
  if (*w % 2 || *h % 2) return "must have an even width and height";
  return {};
}

QSize ParseSize(const std::string& text) {
  const auto x = text.find('x');
  return QSize(std::stoi(text.substr(0, x)), std::stoi(text.substr(x + 1)));
}

void SetUp(murinex::Run& run, const Options& o) {
  murinex::StartUp(run, o.task);
  if (o.checkId) run.CheckMausId = *o.checkId;
  murinex::SetUpPopulation(run);
  murinex::LoadWorld(run);
  if (o.select) {
    murinex::TMaus* picked = murinex::MausById(run, *o.select);
    run.SelectMaus(murinex::HandleOf(picked));
    if (picked) run.CheckMausId = picked->ID;
  }
}

// The movie of a run stopped early: its own name says where the run stopped, so
// it cannot be taken for the movie asked for.
std::filesystem::path StoppedMovie(const std::filesystem::path& out, int tick) {
  return out.parent_path() / (out.stem().string() + ".stopped-at-tick-" + std::to_string(tick) +
                              out.extension().string());
}

// After SIGINT or SIGTERM, at a tick's end: the protocols closed as the runner
// closes them when stopped (no final dumps), and the frames so far as a movie of
// their own, or no movie when there are none. Returns the exit status.
int Stop(murinex::Run& run, murinex::MovieEncoder& movie, const Options& o) {
  run.CloseProtocols();
  std::cerr << "\nmurinex-movie: stopped at tick " << run.TickCount;
  if (movie.Frames() == 0) {
    movie.Discard();
    std::cerr << " before the first frame; no movie is written\n";
  } else {
    const std::filesystem::path stopped = StoppedMovie(o.out, run.TickCount);
    movie.FinishAs(stopped);
    std::cerr << "; the " << movie.Frames() << " frames so far are in " << stopped.string() << "\n";
  }
  return murinex::InterruptedStatus;
}

int Film(const Options& o) {
  murinex::Run run(o.dir);
  SilentSound silence;
  run.Sound = &silence;
  run.RecordLines = false;  // no chart records anything here
  SetUp(run, o);
  murinex::MouseImages images;
  images.Load(run.BitmapDir());
  const QSize size = o.size.empty() ? DefaultSize(*run.World) : ParseSize(o.size);
  murinex::MovieEncoder movie({o.out, size, o.fps, o.lossless});
  murinex::ProgressBar progress(o.ticks);
  murinex::CatchStopSignals();
  for (long long t = 1; t <= o.ticks; ++t) {
    if (murinex::StopRequested()) return Stop(run, movie, o);
    murinex::Tick(run);
    if (t % o.every == 0) movie.Add(murinex::MovieFrame(run, images, size, o.relations));
    progress.Update(t, run.Mice.size(), std::to_string(movie.Frames()) + " frames",
                    std::min<long long>(200, o.every));
  }
  murinex::FinishRun(run);
  movie.Finish();
  std::printf("Run %s ended at tick %d with %zu mice.\n", run.TaskName.c_str(), run.TickCount,
              run.Mice.size());
  std::printf("Movie: %s, %d frames of %dx%d at %g frames/s.\n", o.out.c_str(), movie.Frames(),
              size.width(), size.height(), o.fps);
  std::printf("Protocols are in %s, population and genome dumps in %s.\n",
              run.ProtoDir().string().c_str(), run.DataDir().string().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli(
      "Runs the simulation of the run folder DIR for N ticks without windows, writing the "
      "protocols and dumps as murinex-run does, and films the world view: one frame every K "
      "ticks, drawn as the desktop program draws it, with the tick and the population in a "
      "caption, encoded as H.264 by ffmpeg. SIGINT or SIGTERM stop after the tick in progress: "
      "the frames so far become FILE.stopped-at-tick-T.EXT (no file without a frame), exit "
      "status 75.",
      "murinex-movie");
  Options o;
  cli.add_option("--dir", o.dir, "the run folder (with DIR/data/inimaus.ini)")->required();
  cli.add_option("--ticks", o.ticks, "number of ticks to simulate")
      ->required()
      ->check(CLI::NonNegativeNumber);
  cli.add_option("--every", o.every, "one frame every K ticks (default 1)")
      ->check(CLI::PositiveNumber);
  cli.add_option("--out", o.out, "the movie file, such as run.mp4 (.mkv and .mov also serve)")
      ->required();
  cli.add_option("--size", o.size,
                 "frame size WIDTHxHEIGHT, even (default: the world's size, at most 1280x960)")
      ->check([](const std::string& text) { return CheckSize(text); });
  cli.add_option("--fps", o.fps, "frames per second of the movie (default 20)")
      ->check(CLI::Range(0.1, 240.0));
  cli.add_flag("--lossless", o.lossless,
               "H.264 without loss, in RGB: every pixel as drawn (larger files; not every "
               "player shows them)");
  cli.add_flag("--relations", o.relations,
               "discs around the picked mouse's friends (blue) and enemies (red), as "
               "\"FreundFeind\" draws them");
  cli.add_option("--task", o.task, "the task name, part of every output file name (default NN)");
  cli.add_option("--select", o.select,
                 "pick the mouse with this ID, as a click on it would: its places are drawn and "
                 "its decisions logged");
  cli.add_option("--check-id", o.checkId, "the check mouse ID (default 35)");
  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = cli.exit(error);
    return status == 0 ? 0 : 2;
  }
  if (o.ticks / o.every == 0) {
    // ffmpeg would write a file without a video stream: nothing anyone could play.
    std::cerr << "murinex-movie: --ticks " << o.ticks << " with --every " << o.every
              << " makes no frame; the first frame comes after " << o.every << " ticks\n";
    return 2;
  }
  if (!murinex::ValidTaskName(o.task)) {
    std::cerr << "murinex-movie: --task \"" << o.task << "\" cannot be part of a file name\n";
    return 2;
  }
  // Drawing needs no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
    return Film(o);
  } catch (const std::exception& error) {
    // Input errors and anything else (memory, the encoder's pipe): a message, never an abort.
    std::cerr << "murinex-movie: " << error.what() << "\n";
    return 1;
  }
}
