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

AtomicFile::AtomicFile(const std::string& path, const std::string& displayName)
    : path_(path), temporary_(path + ".tmp"), name_(displayName) {
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (!file_)
    throw InputError(name_, 0, std::string("cannot create file: ") + std::strerror(errno));
}

AtomicFile::~AtomicFile() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(temporary_.c_str());
}

void AtomicFile::Fail(const std::string& what, int error) {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::remove(temporary_.c_str());
  throw InputError(name_, 0, what + ": " + std::strerror(error));
}

void AtomicFile::Write(const std::string& text) {
  if (!file_) throw InputError(name_, 0, "cannot write: the file is closed");
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail("cannot write", errno);
}

void AtomicFile::Commit(bool durable) {
  if (!file_) throw InputError(name_, 0, "cannot write: the file is closed");
  if (durable && (std::fflush(file_) != 0 || fsync(fileno(file_)) != 0))
    Fail("cannot write", errno);
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) {
    const int error = errno;
    std::remove(temporary_.c_str());
    throw InputError(name_, 0, std::string("cannot write: ") + std::strerror(error));
  }
  std::error_code error;
  std::filesystem::rename(temporary_, path_, error);
  if (error) {
    std::remove(temporary_.c_str());
    throw InputError(name_, 0, "cannot replace the file: " + error.message());
  }
}

void WriteFileAtomically(const std::string& path, const std::string& displayName,
                         const std::string& content, bool durable) {
  AtomicFile file(path, displayName);
  file.Write(content);
  file.Commit(durable);
}

}  // namespace murinex
