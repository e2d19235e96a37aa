#include "sim/persistence/state_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "world/error.h"
#include "world/format.h"

namespace murinex {

namespace {

constexpr std::string_view ChecksumKey = "checksum";

std::string Hex64(std::uint64_t value) {
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
  return digits;
}

bool ParseHex64(std::string_view text, std::uint64_t& value) {
  if (text.size() != 16) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return error == std::errc() && end == text.data() + text.size();
}

// A blank, a line end or any other control character would break the record
// apart; '%' starts an escape itself.
bool NeedsEscape(unsigned char c) {
  return c <= 0x20 || c == 0x7F || c == '%';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, std::min(text.find('\n'), std::size_t{80}));
}

}  // namespace

std::uint64_t StateChecksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// ---------------------------------------------------------------- writing

StateWriter::StateWriter(std::string_view format, int version) {
  text_.reserve(1 << 16);
  text_ += format;
  text_ += ' ';
  text_ += std::to_string(version);
  text_ += '\n';
}

void StateWriter::Begin(std::string_view key) {
  text_ += key;
}

void StateWriter::Int(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  text_ += ' ';
  text_.append(digits, result.ptr);
}

void StateWriter::Real(double value) {
  text_ += ' ';
  text_ += Hex64(std::bit_cast<std::uint64_t>(value));
}

void StateWriter::Text(const std::string& value) {
  static const char Digits[] = "0123456789abcdef";
  text_ += ' ';
  if (value.empty()) {
    text_ += '%';
    return;
  }
  for (unsigned char c : value) {
    if (NeedsEscape(c)) {
      text_ += '%';
      text_ += Digits[c >> 4];
      text_ += Digits[c & 15];
    } else {
      text_ += static_cast<char>(c);
    }
  }
}

void StateWriter::End() {
  text_ += '\n';
}

std::string StateWriter::Finish() {
  const std::uint64_t sum = StateChecksum(text_);
  text_ += ChecksumKey;
  text_ += ' ';
  text_ += Hex64(sum);
  text_ += '\n';
  return std::move(text_);
}

// ---------------------------------------------------------------- reading

StateReader::StateReader(std::string text, std::string displayName, std::string_view format,
                         int version)
    : text_(std::move(text)), name_(std::move(displayName)) {
  const std::string expected = std::string(format) + ' ';
  if (text_.compare(0, expected.size(), expected) != 0)
    throw InputError(name_, 1,
                     "not a Murinex checkpoint: expected \"" + std::string(format) +
                         "\" at the start, found \"" + FirstLine(text_) + "\"");
  const std::size_t firstEnd = text_.find('\n');
  const std::string versionText =
      text_.substr(expected.size(),
                   firstEnd == std::string::npos ? std::string::npos : firstEnd - expected.size());
  if (versionText != std::to_string(version))
    throw InputError(name_, 1,
                     "checkpoint format version " + versionText +
                         " cannot be read; this program "
                         "reads version " +
                         std::to_string(version));
  // The checksum line: the last line, complete with its line end.
  const std::size_t lastStart = text_.size() < 2 ? 0 : text_.rfind('\n', text_.size() - 2) + 1;
  const std::string_view last = std::string_view(text_).substr(lastStart);
  std::uint64_t stored = 0;
  if (text_.empty() || text_.back() != '\n' || last.substr(0, ChecksumKey.size()) != ChecksumKey ||
      last.size() != ChecksumKey.size() + 18 || last[ChecksumKey.size()] != ' ' ||
      !ParseHex64(last.substr(ChecksumKey.size() + 1, 16), stored))
    throw InputError(name_, 0,
                     "the checkpoint is incomplete: its checksum line is missing (the file was "
                     "cut short)");
  bodyEnd_ = lastStart;
  if (StateChecksum(std::string_view(text_).substr(0, bodyEnd_)) != stored)
    throw InputError(name_, 0,
                     "the checkpoint is damaged: its checksum does not match its contents");
  pos_ = firstEnd + 1;
  line_ = 1;
}

void StateReader::Fail(const std::string& message) const {
  throw InputError(name_, line_, message);
}

bool StateReader::AtEnd() const {
  return pos_ >= bodyEnd_;
}

std::string_view StateReader::NextToken(const std::string& what) {
  while (pos_ < lineEnd_ && text_[pos_] == ' ')
    ++pos_;
  if (pos_ >= lineEnd_) Fail("expected " + what + ", found the end of the record");
  const std::size_t start = pos_;
  while (pos_ < lineEnd_ && text_[pos_] != ' ')
    ++pos_;
  return std::string_view(text_).substr(start, pos_ - start);
}

void StateReader::Begin(std::string_view key) {
  if (AtEnd()) Fail("expected the record \"" + std::string(key) + "\", found the end");
  line_ += 1;
  lineEnd_ = text_.find('\n', pos_);
  const std::string_view found = NextToken("the record \"" + std::string(key) + "\"");
  if (found != key)
    Fail("expected the record \"" + std::string(key) + "\", found \"" + std::string(found) + "\"");
  key_ = key;
}

std::int64_t StateReader::Int(const std::string& what, std::int64_t min, std::int64_t max) {
  const std::string_view token = NextToken(what);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size())
    Fail("expected an integer (" + what + "), found \"" + std::string(token) + "\"");
  if (value < min || value > max)
    Fail(what + " of the record \"" + key_ + "\" must lie in " + std::to_string(min) + " .. " +
         std::to_string(max) + ", found " + std::to_string(value));
  return value;
}

double StateReader::Real(const std::string& what) {
  const std::string_view token = NextToken(what);
  std::uint64_t bits = 0;
  if (!ParseHex64(token, bits))
    Fail("expected a real as 16 hex digits (" + what + "), found \"" + std::string(token) + "\"");
  // No state the program saves holds a value that is not a number: one would
  // reach the protocols as "nan" or "inf".
  const double value = std::bit_cast<double>(bits);
  if (!std::isfinite(value))
    Fail(what + " of the record \"" + key_ + "\" is not a finite number (" + FormatGeneral(value) +
         ")");
  return value;
}

std::string StateReader::Text(const std::string& what) {
  const std::string_view token = NextToken(what);
  if (token == "%") return "";
  std::string value;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (token[i] != '%') {
      value += token[i];
      continue;
    }
    const int high = i + 2 < token.size() ? HexDigit(token[i + 1]) : -1;
    const int low = i + 2 < token.size() ? HexDigit(token[i + 2]) : -1;
    if (high < 0 || low < 0)
      Fail("a broken escape in " + what + ": \"" + std::string(token) + "\"");
    value += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return value;
}

void StateReader::End() {
  while (pos_ < lineEnd_ && text_[pos_] == ' ')
    ++pos_;
  if (pos_ < lineEnd_) Fail("unexpected values at the end of the record");
  pos_ = lineEnd_ + 1;
}

}  // namespace murinex
