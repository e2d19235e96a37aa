// End to end: murinex-movie on a copy of the default run, its movie read back
// with ffprobe and ffmpeg.

#include <signal.h>

#include <QProcess>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/mouse_images.h"
#include "app/movie_encoder.h"
#include "app/movie_frame.h"
#include "app/world_painter.h"
#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "tests/common/test_run.h"

namespace murinex {

namespace {

const QSize FrameSize(450, 320);

struct Result {
  int status = -1;
  QString out;
  QString err;
};

Result Start(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  Result r;
  if (!process.waitForFinished(120000)) return r;
  r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  r.out = QString::fromUtf8(process.readAllStandardOutput());
  r.err = QString::fromUtf8(process.readAllStandardError());
  return r;
}

QString Path(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// A copy of the default run in a folder of its own.
std::filesystem::path CopyOfTheDefaultRun(const test::TempDir& dir) {
  const auto folder = dir / "run";
  std::filesystem::copy(MURINEX_DEFAULT_RUN, folder, std::filesystem::copy_options::recursive);
  return folder;
}

Result Film(const std::filesystem::path& folder, const std::filesystem::path& movie,
            QStringList more = {}) {
  return Start(MURINEX_MOVIE_BINARY,
               QStringList{"--dir", Path(folder), "--ticks", "200", "--every", "10", "--out",
                           Path(movie), "--size", "450x320", "--task", "M"} +
                   more);
}

// Codec, width, height and frame count of a movie's video stream, as ffprobe reads them.
QString Probe(const std::filesystem::path& movie) {
  const Result probe = Start(
      "ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                  "stream=codec_name,width,height,nb_read_frames", "-of", "csv=p=0", Path(movie)});
  return probe.status == 0 ? probe.out.trimmed() : "ffprobe failed: " + probe.err;
}

// Every file of a folder (not below it).
QStringList Files(const std::filesystem::path& folder) {
  QStringList names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) names << QString::fromStdString(entry.path().filename().string());
  names.sort();
  return names;
}

// Films the run for far longer than the test waits, and sends `signal` once the
// statistics protocol holds the rows of ticks 100 and 200; the exit status.
int FilmUntil(int signal, const std::filesystem::path& folder, const std::filesystem::path& movie,
              const QString& every, QString& err) {
  QProcess process;
  process.start(MURINEX_MOVIE_BINARY,
                {"--dir", Path(folder), "--ticks", "1000000", "--every", every, "--out",
                 Path(movie), "--size", "450x320", "--task", "M"});
  if (!process.waitForStarted()) return -1;
  const auto protocol = folder / "Proto/ProtoM.prt";
  while (process.state() == QProcess::Running &&
         !(std::filesystem::exists(protocol) && test::ReadLines(protocol).size() >= 3))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(static_cast<pid_t>(process.processId()), signal);
  if (!process.waitForFinished(120000)) return -1;
  err = QString::fromUtf8(process.readAllStandardError());
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The first frame of a movie as ffmpeg decodes it.
QImage FirstFrame(const std::filesystem::path& movie) {
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-v", "error", "-i", Path(movie), "-frames:v", "1", "-f", "rawvideo",
                          "-pix_fmt", "rgb24", "-"});
  if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) return {};
  const QByteArray bytes = ffmpeg.readAllStandardOutput();
  if (bytes.size() != FrameSize.width() * FrameSize.height() * 3) return {};
  return QImage(reinterpret_cast<const uchar*>(bytes.constData()), FrameSize.width(),
                FrameSize.height(), FrameSize.width() * 3, QImage::Format_RGB888)
      .convertToFormat(QImage::Format_RGB32);
}

// The world view as the main window's painter draws it after `ticks` ticks of
// a fresh copy of the default run.
QImage PaintersPicture(int ticks, QString& caption) {
  test::TempDir dir;
  Run run(CopyOfTheDefaultRun(dir));
  StartUp(run, "P");
  SetUpPopulation(run);
  LoadWorld(run);
  run.RecordLines = false;
  for (int t = 0; t < ticks; ++t)
    Tick(run);
  MouseImages images;
  images.Load(run.BitmapDir());
  QImage picture(FrameSize, QImage::Format_RGB32);
  WorldPainter(run, images, false).DrawScene(picture);
  caption = CaptionText(run.TickCount, run.Mice.size());
  FinishRun(run);
  return picture;
}

// The mean difference of the three channels.
double Difference(QRgb a, QRgb b) {
  return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
          std::abs(qBlue(a) - qBlue(b))) /
         3.0;
}

}  // namespace

class MovieTest : public QObject {
  Q_OBJECT

 private slots:
  void twoHundredTicksEveryTenGiveTwentyFramesOfTheSize();
  void aLosslessFirstFrameIsThePaintersPictureWithACaption();
  void theUsualFirstFrameIsThePaintersPictureWithinTheCodecsLoss();
  void theRunWritesWhatTheRunnerWrites();
  void aMovieThatCannotBeWrittenLeavesNoFile();
  void badOptionsAreRefused();
  void aMovieWithoutAFrameIsAUsageError();
  void aStoppedFilmLeavesAMovieNamedForItsTickOrNothing();
};

void MovieTest::twoHundredTicksEveryTenGiveTwentyFramesOfTheSize() {
  test::TempDir dir;
  const auto folder = CopyOfTheDefaultRun(dir);
  const auto movie = dir / "clip.mp4";
  const Result r = Film(folder, movie);
  QVERIFY2(r.status == 0, qPrintable(r.err));
  QVERIFY(r.out.contains("20 frames of 450x320"));
  const Result probe = Start(
      "ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                  "stream=codec_name,width,height,nb_read_frames", "-of", "csv=p=0", Path(movie)});
  QCOMPARE(probe.status, 0);
  QCOMPARE(probe.out.trimmed(), QString("h264,450,320,20"));
  QVERIFY(!std::filesystem::exists(MovieEncoder::TemporaryPath(movie)));
}

void MovieTest::aLosslessFirstFrameIsThePaintersPictureWithACaption() {
  test::TempDir dir;
  const auto movie = dir / "clip.mkv";
  const Result r = Film(CopyOfTheDefaultRun(dir), movie, {"--lossless"});
  QVERIFY2(r.status == 0, qPrintable(r.err));
  const QImage frame = FirstFrame(movie);
  QVERIFY(!frame.isNull());
  QString caption;
  const QImage picture = PaintersPicture(10, caption);
  QCOMPARE(caption, QString("Tick 10   60 mice"));
  const QRect box = CaptionRect(FrameSize, caption);
  int differing = 0, inCaption = 0, dark = 0;
  for (int y = 0; y < FrameSize.height(); ++y)
    for (int x = 0; x < FrameSize.width(); ++x) {
      const QRgb f = frame.pixel(x, y), p = picture.pixel(x, y);
      if (!box.contains(x, y))
        differing += f != p;
      else {
        inCaption += f != p;
        dark += qGray(f) < 64;
      }
    }
  QCOMPARE(differing, 0);  // every pixel of the world view exactly as painted
  QVERIFY(inCaption > box.width() * box.height() / 2);  // the caption's light box
  QVERIFY(dark > 50);                                   // and its text
}

void MovieTest::theUsualFirstFrameIsThePaintersPictureWithinTheCodecsLoss() {
  test::TempDir dir;
  const auto movie = dir / "clip.mp4";
  QVERIFY(Film(CopyOfTheDefaultRun(dir), movie).status == 0);
  const QImage frame = FirstFrame(movie);
  QVERIFY(!frame.isNull());
  QString caption;
  const QImage picture = PaintersPicture(10, caption);
  const QRect box = CaptionRect(FrameSize, caption);
  // H.264 with halved colour resolution blurs edges a little; the picture stays.
  double total = 0;
  long long pixels = 0, far = 0;
  for (int y = 0; y < FrameSize.height(); ++y)
    for (int x = 0; x < FrameSize.width(); ++x) {
      if (box.contains(x, y)) continue;
      const double d = Difference(frame.pixel(x, y), picture.pixel(x, y));
      total += d;
      far += d > 64;
      pixels += 1;
    }
  QVERIFY2(total < pixels * 5, qPrintable(QString::number(total / pixels)));
  QVERIFY2(far < pixels / 50, qPrintable(QString::number(far)));
  // The picture of another state is much farther away.
  const QImage later = PaintersPicture(200, caption);
  double otherTotal = 0;
  for (int y = 0; y < FrameSize.height(); ++y)
    for (int x = 0; x < FrameSize.width(); ++x)
      if (!box.contains(x, y)) otherTotal += Difference(frame.pixel(x, y), later.pixel(x, y));
  QVERIFY(otherTotal > 2 * total);
}

void MovieTest::theRunWritesWhatTheRunnerWrites() {
  test::TempDir filmed, ran;
  const auto a = CopyOfTheDefaultRun(filmed);
  const auto b = CopyOfTheDefaultRun(ran);
  QCOMPARE(Film(a, filmed / "clip.mp4", {"--select", "12"}).status, 0);
  const Result r = Start(MURINEX_RUN_BINARY,
                         {"--dir", Path(b), "--ticks", "200", "--task", "M", "--select", "12"});
  QCOMPARE(r.status, 0);
  for (const char* name : {"Proto/ProtoM.prt", "Proto/protGen.prt", "Proto/KofiProtM.prt",
                           "Proto/BehaviourM.prt", "Proto/AggProtM.prt"})
    QVERIFY2(test::ReadText(a / name) == test::ReadText(b / name), name);
  QVERIFY(!test::ReadText(a / "Proto/BehaviourM.prt").empty());  // the picked mouse was logged
  for (const char* name : {"data/Maeuse-M-1.dat", "data/Genom-M-1.dat"}) {
    auto left = test::ReadLines(a / name), right = test::ReadLines(b / name);
    QVERIFY2(left.size() > 1 && left.size() == right.size(), name);
    // The first line holds the date of writing.
    QVERIFY2(std::equal(left.begin() + 1, left.end(), right.begin() + 1), name);
  }
}

void MovieTest::aMovieThatCannotBeWrittenLeavesNoFile() {
  test::TempDir dir;
  const auto movie = dir / "no-such-folder" / "clip.mp4";
  const Result r = Film(CopyOfTheDefaultRun(dir), movie);
  QCOMPARE(r.status, 1);
  QVERIFY2(r.err.contains("murinex-movie: " + Path(movie)), qPrintable(r.err));
  QVERIFY(!std::filesystem::exists(movie));
  QVERIFY(!std::filesystem::exists(MovieEncoder::TemporaryPath(movie)));
}

void MovieTest::badOptionsAreRefused() {
  test::TempDir dir;
  const auto folder = CopyOfTheDefaultRun(dir);
  for (const QStringList& bad : {QStringList{"--size", "451x320"}, QStringList{"--every", "0"},
                                 QStringList{"--size", "big"}}) {
    const Result r = Start(
        MURINEX_MOVIE_BINARY,
        QStringList{"--dir", Path(folder), "--ticks", "5", "--out", Path(dir / "x.mp4")} + bad);
    QCOMPARE(r.status, 2);
    QVERIFY(!std::filesystem::exists(folder / "Proto"));  // nothing run
  }
  const Result help = Start(MURINEX_MOVIE_BINARY, {"--help"});
  QCOMPARE(help.status, 0);
  QVERIFY(help.out.contains("--every"));
}

void MovieTest::aMovieWithoutAFrameIsAUsageError() {
  test::TempDir dir;
  const auto folder = CopyOfTheDefaultRun(dir);
  const Result r = Start(MURINEX_MOVIE_BINARY, {"--dir", Path(folder), "--ticks", "100", "--every",
                                                "500", "--out", Path(dir / "x.mp4")});
  QCOMPARE(r.status, 2);
  QVERIFY2(r.err.contains("makes no frame"), qPrintable(r.err));
  QVERIFY(!std::filesystem::exists(folder / "Proto"));  // nothing run
  QCOMPARE(Files(dir.path()), QStringList());           // and no movie of any name
}

void MovieTest::aStoppedFilmLeavesAMovieNamedForItsTickOrNothing() {
  test::TempDir dir;
  const auto folder = CopyOfTheDefaultRun(dir);
  QString err;
  QCOMPARE(FilmUntil(SIGINT, folder, dir / "clip.mp4", "10", err), 75);
  // One movie, named for the tick of the stop, with a frame for every tenth tick before it.
  const QStringList files = Files(dir.path());
  QCOMPARE(files.size(), 1);
  const QRegularExpression name("^clip\\.stopped-at-tick-([0-9]+)\\.mp4$");
  const auto match = name.match(files[0]);
  QVERIFY2(match.hasMatch(), qPrintable(files[0]));
  const int tick = match.captured(1).toInt();
  QVERIFY(tick >= 200);
  QCOMPARE(Probe(dir / files[0].toStdString()), QString("h264,450,320,%1").arg(tick / 10));
  QVERIFY2(err.contains(files[0]), qPrintable(err));
  // The protocols closed as the runner closes them when stopped: whole rows, no final dumps.
  QVERIFY(test::ReadText(folder / "Proto/ProtoM.prt").back() == '\n');
  QVERIFY(std::filesystem::exists(folder / "data/Maeuse-M-0.dat"));
  QVERIFY(!std::filesystem::exists(folder / "data/Maeuse-M-1.dat"));

  // Stopped before its first frame (one every 100000 ticks): no movie at all.
  test::TempDir other;
  const auto second = CopyOfTheDefaultRun(other);
  QCOMPARE(FilmUntil(SIGTERM, second, other / "clip.mp4", "100000", err), 75);
  QCOMPARE(Files(other.path()), QStringList());
}

}  // namespace murinex

QTEST_MAIN(murinex::MovieTest)
#include "movie_test.moc"
