#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace murinex {

// A text file written for the whole run (a protocol). Every write is checked;
// a failure raises an InputError naming the file.
class OutFile {
 public:
  OutFile() = default;
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // Creates or empties the file; `displayName` names it in messages.
  void Create(const std::string& path, const std::string& displayName);
  // Opens an existing file for writing at its end, first cutting it back to
  // `length` bytes (what a saved run had written when it was saved).
  void Reopen(const std::string& path, const std::string& displayName, std::uint64_t length);
  void Write(const std::string& text);
  void WriteLine(const std::string& text) { Write(text + "\n"); }
  void Flush();
  // Flushes and asks the system to put the bytes on the disk.
  void Sync();
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Name() const { return name_; }
  // Bytes in the file: written since it was created, or its length when reopened.
  std::uint64_t Length() const { return length_; }

 private:
  [[noreturn]] void Fail(const char* what);

  std::FILE* file_ = nullptr;
  std::string name_;
  std::uint64_t length_ = 0;
};

// A file written piece by piece into a temporary file in the same folder, which
// Commit renames over the target only when complete, so no reader ever sees half
// a file and a large file never has to be held in memory whole. Left without a
// commit (a failed write, an exception), the temporary file is removed.
class AtomicFile {
 public:
  AtomicFile(const std::string& path, const std::string& displayName);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(const std::string& text);
  // With `durable`, the content is on the disk before the rename, so even a
  // power failure leaves either the old or the new file.
  void Commit(bool durable = false);

 private:
  [[noreturn]] void Fail(const std::string& what, int error);

  std::string path_, temporary_, name_;
  std::FILE* file_ = nullptr;
};

// Writes a whole file at once through an AtomicFile.
void WriteFileAtomically(const std::string& path, const std::string& displayName,
                         const std::string& content, bool durable = false);

}  // namespace murinex
