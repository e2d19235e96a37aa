#pragma once

#include <cstdint>
#include <string>

namespace murinex {

// The largest input file read: far beyond any sensible world or population.
inline constexpr std::uintmax_t MaxInputFileSize = std::uintmax_t{256} << 20;

// Reads a text file value by value, as the program's input formats expect:
// numbers are separated by blanks, tabs or line ends (a number may stand on a
// later line than the one before it); LF and CRLF line ends are both accepted.
// Every failure raises an InputError naming the file, the line and what was
// expected there.
class TextReader {
 public:
  // Reads the whole file; a missing or unreadable file, one that is not a
  // regular file (a device, a pipe) or one larger than MaxInputFileSize is an
  // InputError.
  // `displayName` is the name used in error messages.
  static TextReader Open(const std::string& path, const std::string& displayName);
  TextReader(std::string content, std::string displayName);

  // `what` describes the value for the error message, e.g. "season count".
  std::int32_t ReadInt(const std::string& what);
  double ReadReal(const std::string& what);

  // Moves to the start of the next line (the rest of this line is ignored).
  void NextLine();
  // While the rest of the current line holds only blanks and tabs, moves on.
  void SkipBlankLines();
  // The rest of the current line; the position moves to the next line.
  // At the end of the file this is an error naming `what`.
  std::string ReadLine(const std::string& what);
  // Skips blanks (code 32 only) and line ends, then returns the characters up
  // to the next blank or line end, which is not consumed.
  std::string ReadWord();
  // True when only blanks, tabs and line ends remain.
  bool AtEnd() const;
  // True when the rest of the current line holds only blanks and tabs; at the
  // end of the file it is also true.
  bool RestOfLineBlank() const;
  bool AtEndOfFile() const { return pos_ >= text_.size(); }
  // True when the current position is the start of a line that is blank or
  // the end of the file.
  bool AtBlankLineStart() const;

  int Line() const { return line_; }
  const std::string& Name() const { return name_; }
  [[noreturn]] void Fail(const std::string& message) const;

 private:
  void SkipSpace();
  std::string Token(std::size_t& end) const;

  std::string text_;
  std::string name_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace murinex
