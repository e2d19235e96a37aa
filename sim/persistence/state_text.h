#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace murinex {

// The text form of a saved run state: one record per line, a keyword and its
// values separated by blanks. The first line names the format and its version,
// the last one carries a checksum of everything before it. Reals are written
// as the 16 hex digits of their bit pattern, so they read back to the same
// bits; strings are escaped so that a blank or a line end inside one cannot
// split a record.

// Writes records; Finish appends the checksum line and hands the text over.
class StateWriter {
 public:
  StateWriter(std::string_view format, int version);

  void Begin(std::string_view key);
  void Int(std::int64_t value);
  void Real(double value);
  void Text(const std::string& value);
  void End();

  std::string Finish();

 private:
  std::string text_;
};

// Reads records in the order they were written. The constructor refuses a
// text whose format line, version or checksum is wrong; every later mismatch
// raises an InputError naming the file and line.
class StateReader {
 public:
  StateReader(std::string text, std::string displayName, std::string_view format, int version);

  // The next record must start with key.
  void Begin(std::string_view key);
  std::int64_t Int(const std::string& what, std::int64_t min, std::int64_t max);
  double Real(const std::string& what);
  std::string Text(const std::string& what);
  // The record must have no values left.
  void End();
  // Whether every record has been read.
  bool AtEnd() const;
  // Bytes not read yet: no list can hold more entries than that.
  std::int64_t Remaining() const { return static_cast<std::int64_t>(bodyEnd_ - pos_); }

  [[noreturn]] void Fail(const std::string& message) const;

 private:
  std::string_view NextToken(const std::string& what);

  std::string text_;
  std::string name_;
  std::size_t bodyEnd_ = 0;  // where the checksum line starts
  std::size_t pos_ = 0;
  std::size_t lineEnd_ = 0;
  int line_ = 0;
  std::string key_;  // of the record being read
};

// The 64-bit FNV-1a hash of the bytes, the checksum of a state text.
std::uint64_t StateChecksum(std::string_view bytes);

}  // namespace murinex
