#include "model/out_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include "world/error.h"

namespace murinex {

OutFile::~OutFile() {
  if (file_) std::fclose(file_);
}

void OutFile::Fail(const char* what) {
  throw InputError(name_, 0, std::string(what) + ": " + std::strerror(errno));
}

void OutFile::Create(const std::string& path, const std::string& displayName) {
  Close();
  name_ = displayName;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) Fail("cannot create file");
  length_ = 0;
}

void OutFile::Reopen(const std::string& path, const std::string& displayName,
                     std::uint64_t length) {
  Close();
  name_ = displayName;
  std::error_code error;
  std::filesystem::resize_file(path, length, error);
  if (error) throw InputError(name_, 0, "cannot cut the file back: " + error.message());
  file_ = std::fopen(path.c_str(), "ab");
  if (!file_) Fail("cannot open file");
  length_ = length;
}

void OutFile::Write(const std::string& text) {
  if (!file_) throw InputError(name_, 0, "cannot write: the file is closed");
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail("cannot write");
  length_ += text.size();
}

void OutFile::Flush() {
  if (file_ && std::fflush(file_) != 0) Fail("cannot write");
}

void OutFile::Sync() {
  Flush();
  if (file_ && fsync(fileno(file_)) != 0) Fail("cannot write");
}

void OutFile::Close() {
  if (!file_) return;
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) Fail("cannot write");
}

void WriteFileAtomically(const std::string& path, const std::string& displayName,
                         const std::string& content, bool durable) {
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file)
    throw InputError(displayName, 0, std::string("cannot create file: ") + std::strerror(errno));
  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  if (written && durable) written = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  const int savedErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    throw InputError(displayName, 0,
                     std::string("cannot write: ") + std::strerror(written ? errno : savedErrno));
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    throw InputError(displayName, 0, "cannot replace the file: " + error.message());
  }
}

}  // namespace murinex
