#pragma once

#include <stdexcept>
#include <string>

namespace murinex {

// The one error type of the simulation: bad input or a failed file operation.
// It names the file and, where it makes sense, the line (0 when there is none),
// so the desktop program and the runner can tell the user exactly where it is.
class InputError : public std::runtime_error {
 public:
  InputError(std::string file, int line, const std::string& message)
      : std::runtime_error(Compose(file, line, message)),
        file_(std::move(file)),
        line_(line),
        message_(message) {}

  const std::string& file() const { return file_; }
  int line() const { return line_; }
  const std::string& message() const { return message_; }

 private:
  // GCC 12 at -O3 inlines the string operations below and then warns that
  // memcpy "may overlap up to 9223372036854775813 bytes" inside libstdc++
  // (-Wrestrict): a false positive on ":" + std::string, GCC bug 105651 (fixed in
  // later releases). Only this function is exempt; the warning stays everywhere else.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  static std::string Compose(const std::string& file, int line, const std::string& message) {
    std::string text = file;
    if (line > 0) text += ":" + std::to_string(line);
    if (!text.empty()) text += ": ";
    return text + message;
  }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

  std::string file_;
  int line_;
  std::string message_;
};

}  // namespace murinex
