#include "world/text_reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "world/error.h"

namespace murinex {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}
bool IsSpace(char c) {
  return IsBlank(c) || c == '\n';
}

std::string NormaliseLineEnds(const std::string& raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text.push_back(raw[i]);
  }
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Optional sign and digits.
bool ValidInteger(const std::string& token) {
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  if (i == token.size()) return false;
  for (; i < token.size(); ++i)
    if (!IsDigit(token[i])) return false;
  return true;
}

// Optional sign, digits with an optional fraction (".5" and "1." allowed),
// optional exponent.
bool ValidReal(const std::string& token) {
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < token.size() && IsDigit(token[i]))
    ++i, ++digits;
  if (i < token.size() && token[i] == '.') {
    ++i;
    while (i < token.size() && IsDigit(token[i]))
      ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < token.size() && IsDigit(token[i]))
      ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == token.size();
}

}  // namespace

TextReader TextReader::Open(const std::string& path, const std::string& displayName) {
  // A device or a pipe would be read without end or block for ever.
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw InputError(displayName, 0, "not a regular file");
  if (std::filesystem::is_regular_file(status)) {
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > MaxInputFileSize)
      throw InputError(displayName, 0,
                       "the file is too large (" + std::to_string(size) + " bytes, at most " +
                           std::to_string(MaxInputFileSize) + ")");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw InputError(displayName, 0, std::string("cannot open file: ") + std::strerror(errno));
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) throw InputError(displayName, 0, "cannot read file");
  return TextReader(buffer.str(), displayName);
}

TextReader::TextReader(std::string content, std::string displayName)
    : text_(NormaliseLineEnds(content)), name_(std::move(displayName)) {}

void TextReader::Fail(const std::string& message) const {
  throw InputError(name_, line_, message);
}

void TextReader::SkipSpace() {
  while (pos_ < text_.size() && IsSpace(text_[pos_])) {
    if (text_[pos_] == '\n') ++line_;
    ++pos_;
  }
}

std::string TextReader::Token(std::size_t& end) const {
  end = pos_;
  while (end < text_.size() && !IsSpace(text_[end]))
    ++end;
  return text_.substr(pos_, end - pos_);
}

std::int32_t TextReader::ReadInt(const std::string& what) {
  SkipSpace();
  if (AtEndOfFile()) Fail("expected an integer (" + what + "), found end of file");
  std::size_t end;
  std::string token = Token(end);
  if (!ValidInteger(token)) Fail("expected an integer (" + what + "), found \"" + token + "\"");
  const char* first = token.data() + (token[0] == '+' ? 1 : 0);
  std::int64_t value = 0;
  auto result = std::from_chars(first, token.data() + token.size(), value);
  if (result.ec != std::errc() || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    Fail("integer out of range (" + what + "): \"" + token + "\"");
  pos_ = end;
  return static_cast<std::int32_t>(value);
}

double TextReader::ReadReal(const std::string& what) {
  SkipSpace();
  if (AtEndOfFile()) Fail("expected a real number (" + what + "), found end of file");
  std::size_t end;
  std::string token = Token(end);
  if (!ValidReal(token)) Fail("expected a real number (" + what + "), found \"" + token + "\"");
  const char* first = token.data() + (token[0] == '+' ? 1 : 0);
  double value = 0;
  auto result = std::from_chars(first, token.data() + token.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    Fail("real number out of range (" + what + "): \"" + token + "\"");
  if (result.ec != std::errc() || result.ptr != token.data() + token.size())
    Fail("expected a real number (" + what + "), found \"" + token + "\"");
  pos_ = end;
  return value;
}

void TextReader::NextLine() {
  while (pos_ < text_.size() && text_[pos_] != '\n')
    ++pos_;
  if (pos_ < text_.size()) {
    ++pos_;
    ++line_;
  }
}

bool TextReader::RestOfLineBlank() const {
  for (std::size_t i = pos_; i < text_.size() && text_[i] != '\n'; ++i)
    if (!IsBlank(text_[i])) return false;
  return true;
}

void TextReader::SkipBlankLines() {
  while (!AtEndOfFile() && RestOfLineBlank())
    NextLine();
}

std::string TextReader::ReadLine(const std::string& what) {
  if (AtEndOfFile()) Fail("expected a line (" + what + "), found end of file");
  std::size_t end = pos_;
  while (end < text_.size() && text_[end] != '\n')
    ++end;
  std::string line = text_.substr(pos_, end - pos_);
  pos_ = end;
  NextLine();
  return line;
}

std::string TextReader::ReadWord() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n')) {
    if (text_[pos_] == '\n') ++line_;
    ++pos_;
  }
  std::size_t end = pos_;
  while (end < text_.size() && text_[end] != ' ' && text_[end] != '\n')
    ++end;
  std::string word = text_.substr(pos_, end - pos_);
  pos_ = end;
  return word;
}

bool TextReader::AtEnd() const {
  for (std::size_t i = pos_; i < text_.size(); ++i)
    if (!IsSpace(text_[i])) return false;
  return true;
}

bool TextReader::AtBlankLineStart() const {
  if (AtEndOfFile()) return true;
  if (pos_ > 0 && text_[pos_ - 1] != '\n') return false;
  return RestOfLineBlank();
}

}  // namespace murinex
