#pragma once

// The two directions of the checkpoint share one list of fields per record:
// Saver writes what it is given, Loader fills it. Used by the checkpoint's
// own files only.

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

#include "sim/persistence/state_text.h"
#include "world/fields.h"

namespace murinex::checkpoint {

constexpr std::int64_t I32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t I32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t I64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t I64Max = std::numeric_limits<std::int64_t>::max();

// `what` names a value in error messages.
class Saver {
 public:
  static constexpr bool Loading = false;
  explicit Saver(StateWriter& out) : out_(out) {}

  void Begin(std::string_view key) { out_.Begin(key); }
  void End() { out_.End(); }
  void operator()(const std::int32_t& v, const char*) { out_.Int(v); }
  void operator()(const std::int64_t& v, const char*) { out_.Int(v); }
  void operator()(const std::uint32_t& v, const char*) { out_.Int(v); }
  void operator()(const bool& v, const char*) { out_.Int(v ? 1 : 0); }
  void operator()(const double& v, const char*) { out_.Real(v); }
  void operator()(const std::string& v, const char*) { out_.Text(v); }
  void operator()(const char& v, const char*) { out_.Int(static_cast<unsigned char>(v)); }
  // A byte that indexes a table of `count` entries.
  void Byte(const std::uint8_t& v, const char*, int) { out_.Int(v); }
  void Size(const std::size_t& n, const char*) { out_.Int(static_cast<std::int64_t>(n)); }
  // One field of a record's field list.
  template <class T>
  void Field(const FieldInfo& f, const T& v) {
    if constexpr (std::is_same_v<T, std::uint8_t>)
      out_.Int(v);
    else
      (*this)(v, f.name);
  }

 private:
  StateWriter& out_;
};

class Loader {
 public:
  static constexpr bool Loading = true;
  explicit Loader(StateReader& in) : in_(in) {}

  void Begin(std::string_view key) { in_.Begin(key); }
  void End() { in_.End(); }
  void operator()(std::int32_t& v, const char* what) {
    v = static_cast<std::int32_t>(in_.Int(what, I32Min, I32Max));
  }
  void operator()(std::int64_t& v, const char* what) { v = in_.Int(what, I64Min, I64Max); }
  void operator()(std::uint32_t& v, const char* what) {
    v = static_cast<std::uint32_t>(in_.Int(what, 0, 0xFFFFFFFFll));
  }
  void operator()(bool& v, const char* what) { v = in_.Int(what, 0, 1) != 0; }
  void operator()(double& v, const char* what) { v = in_.Real(what); }
  void operator()(std::string& v, const char* what) { v = in_.Text(what); }
  void operator()(char& v, const char* what) { v = static_cast<char>(in_.Int(what, 0, 255)); }
  void Byte(std::uint8_t& v, const char* what, int count) {
    v = static_cast<std::uint8_t>(in_.Int(what, 0, count - 1));
  }
  // Every entry takes at least one byte of the text, so a bad count cannot
  // ask for more memory than the file itself.
  void Size(std::size_t& n, const char* what) {
    n = static_cast<std::size_t>(in_.Int(what, 0, in_.Remaining()));
  }
  // One field of a record's field list. Reals must be finite (the reader sees
  // to that); a byte must index its table. A position must lie within the
  // coordinate limit, or the geometry's integer arithmetic could overflow.
  // Other values may drift slightly outside what the input files allow while a
  // run goes on (a need level after the action costs), so they are not held to
  // the input ranges here.
  template <class T>
  void Field(const FieldInfo& f, T& v) {
    if constexpr (std::is_same_v<T, std::uint8_t>) {
      Byte(v, f.name, f.options ? f.options : 256);
    } else {
      (*this)(v, f.name);
      if constexpr (std::is_same_v<T, std::int32_t>)
        if (f.range == murinex::Field::Position && !InRange(f.range, v))
          in_.Fail(std::string(f.name) + " lies beyond the coordinate limit: " + std::to_string(v));
    }
  }
  StateReader& Reader() { return in_; }

 private:
  StateReader& in_;
};

// Hands every field of a record's list to a Saver or a Loader:
// `MotiveFields(motive, Through(io))`.
template <class IO>
class Through {
 public:
  explicit Through(IO& io) : io_(io) {}
  template <class T>
  void operator()(const FieldInfo& f, T& value) const {
    if constexpr (std::is_enum_v<std::remove_const_t<T>>) {
      // A need, goal, action or terrain kind is kept as its byte.
      std::uint8_t byte = static_cast<std::uint8_t>(value);
      io_.Field(f, byte);
      if constexpr (IO::Loading) value = static_cast<T>(byte);
    } else {
      io_.Field(f, value);
    }
  }

 private:
  IO& io_;
};

// A list of plain values: its size, then each element through `each`.
template <class IO, class Vector, class Each>
void Elements(IO& io, Vector& list, const char* what, Each each) {
  std::size_t n = list.size();
  io.Size(n, what);
  if constexpr (IO::Loading) list.resize(n);
  for (auto& element : list)
    each(element);
}

template <class IO, class Array>
void Reals(IO& io, Array& values, const char* what) {
  for (auto& v : values)
    io(v, what);
}

// A chart line: title, colour, the values and the colour of every point.
template <class IO, class L>
void SeriesRecord(IO& io, L& line) {
  io.Begin("series");
  io(line.Title, "line title");
  io(line.Colour, "line colour");
  Elements(io, line.Values, "point count", [&](auto& v) { io(v, "line value"); });
  Elements(io, line.Colours, "colour count", [&](auto& c) { io(c, "point colour"); });
  io.End();
}

}  // namespace murinex::checkpoint
