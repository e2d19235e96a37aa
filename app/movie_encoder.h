#pragma once

#include <sys/types.h>
#include <QImage>
#include <QSize>
#include <filesystem>

namespace murinex {

// Frames piped into ffmpeg, which encodes them as H.264 into a temporary file
// beside the movie; Finish() puts the movie in its place only when ffmpeg
// succeeded, so a failed run never leaves half a movie. Errors raise the
// project's error type, naming the movie file.
class MovieEncoder {
 public:
  struct Options {
    std::filesystem::path out;
    QSize size;
    double fps = 20;
    // Exact pixels (H.264 in RGB without loss) instead of the usual 4:2:0 colour.
    bool lossless = false;
  };

  explicit MovieEncoder(const Options& options);
  ~MovieEncoder();
  MovieEncoder(const MovieEncoder&) = delete;
  MovieEncoder& operator=(const MovieEncoder&) = delete;

  void Add(const QImage& frame);
  void Finish();
  // Finishes the movie under another name than the one it was begun as.
  void FinishAs(const std::filesystem::path& out);
  // Stops the encoder and removes what it had written.
  void Discard();
  int Frames() const { return frames_; }

  // Where the movie grows until it is complete.
  static std::filesystem::path TemporaryPath(const std::filesystem::path& out);

 private:
  void WriteAll(const char* data, std::size_t size);
  int WaitForEncoder();
  void Abandon();

  Options options_;
  std::filesystem::path temporary_;
  pid_t encoder_ = -1;
  int pipe_ = -1;
  int frames_ = 0;
};

}  // namespace murinex
