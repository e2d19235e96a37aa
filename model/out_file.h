#pragma once

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
  void Write(const std::string& text);
  void WriteLine(const std::string& text) { Write(text + "\n"); }
  void Flush();
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Name() const { return name_; }

 private:
  [[noreturn]] void Fail(const char* what);

  std::FILE* file_ = nullptr;
  std::string name_;
};

// Writes a whole file at once: into a temporary file in the same folder that is
// renamed over the target only when complete, so no reader ever sees half a file.
void WriteFileAtomically(const std::string& path, const std::string& displayName,
                         const std::string& content);

}  // namespace murinex
