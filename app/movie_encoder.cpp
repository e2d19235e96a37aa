#include "app/movie_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "world/error.h"

extern char** environ;

namespace murinex {

namespace {

std::vector<std::string> EncoderArguments(const MovieEncoder::Options& o,
                                          const std::filesystem::path& temporary) {
  // QImage::Format_RGB32 keeps each pixel as one 32-bit 0xffRRGGBB word.
  const char* input = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "bgra" : "argb";
  std::vector<std::string> args = {
      "ffmpeg",
      "-hide_banner",
      "-loglevel",
      "error",
      "-y",
      "-f",
      "rawvideo",
      "-pix_fmt",
      input,
      "-s",
      std::to_string(o.size.width()) + "x" + std::to_string(o.size.height()),
      "-r",
      std::to_string(o.fps),
      "-i",
      "-",
      "-an"};
  if (o.lossless)
    args.insert(args.end(), {"-c:v", "libx264rgb", "-qp", "0", "-pix_fmt", "bgr0"});
  else
    args.insert(args.end(), {"-c:v", "libx264", "-crf", "20", "-pix_fmt", "yuv420p"});
  args.insert(args.end(), {"-movflags", "+faststart", temporary.string()});
  return args;
}

}  // namespace

std::filesystem::path MovieEncoder::TemporaryPath(const std::filesystem::path& out) {
  // The extension stays last: ffmpeg chooses the container by it.
  return out.parent_path() / ("." + out.stem().string() + ".incomplete" + out.extension().string());
}

MovieEncoder::MovieEncoder(const Options& options)
    : options_(options), temporary_(TemporaryPath(options.out)) {
  const std::string movie = options_.out.string();
  if (options_.out.extension().empty())
    throw InputError(movie, 0, "the movie needs an extension such as .mp4, .mkv or .mov");
  // A reader that has gone reports a write error instead of ending the program.
  signal(SIGPIPE, SIG_IGN);
  int ends[2];
  if (pipe(ends) != 0)
    throw InputError(movie, 0, std::string("cannot make a pipe: ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, ends[0]);
  posix_spawn_file_actions_addclose(&actions, ends[1]);
  // A group of its own: a Ctrl-C at the terminal reaches only this program,
  // which then ends the movie itself, instead of ffmpeg quitting mid-stream.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<std::string> args = EncoderArguments(options_, temporary_);
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const int failed = posix_spawnp(&encoder_, "ffmpeg", &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[0]);
  if (failed != 0) {
    close(ends[1]);
    encoder_ = -1;
    throw InputError(
        movie, 0,
        std::string("cannot start ffmpeg (Debian package ffmpeg): ") + std::strerror(failed));
  }
  pipe_ = ends[1];
  fcntl(pipe_, F_SETFD, FD_CLOEXEC);
}

MovieEncoder::~MovieEncoder() {
  if (encoder_ > 0) Abandon();
}

void MovieEncoder::Add(const QImage& frame) {
  if (frame.size() != options_.size)
    throw InputError(options_.out.string(), 0, "a frame of another size than the movie");
  const QImage pixels =
      frame.format() == QImage::Format_RGB32 ? frame : frame.convertToFormat(QImage::Format_RGB32);
  const std::size_t row = static_cast<std::size_t>(pixels.width()) * 4;
  for (int y = 0; y < pixels.height(); ++y)
    WriteAll(reinterpret_cast<const char*>(pixels.constScanLine(y)), row);
  frames_ += 1;
}

void MovieEncoder::WriteAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(pipe_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const std::string why = std::strerror(errno);
      Abandon();
      throw InputError(options_.out.string(), 0, "ffmpeg stopped taking frames: " + why);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

int MovieEncoder::WaitForEncoder() {
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  int status = 0;
  while (waitpid(encoder_, &status, 0) < 0 && errno == EINTR) {
  }
  encoder_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void MovieEncoder::Finish() {
  FinishAs(options_.out);
}

void MovieEncoder::Discard() {
  Abandon();
}

void MovieEncoder::FinishAs(const std::filesystem::path& out) {
  if (encoder_ <= 0) throw InputError(options_.out.string(), 0, "the movie was abandoned");
  const int status = WaitForEncoder();
  std::error_code error;
  if (status != 0) {
    std::filesystem::remove(temporary_, error);
    throw InputError(
        options_.out.string(), 0,
        "ffmpeg failed with status " + std::to_string(status) + " (its message is above)");
  }
  std::filesystem::rename(temporary_, out, error);
  if (error) {
    std::filesystem::remove(temporary_, error);
    throw InputError(out.string(), 0, "cannot put the movie in place: " + error.message());
  }
}

void MovieEncoder::Abandon() {
  if (encoder_ > 0) {
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    kill(encoder_, SIGTERM);
    WaitForEncoder();
  }
  std::error_code error;
  std::filesystem::remove(temporary_, error);
}

}  // namespace murinex
