#include "app/file_lookup.h"

#include <algorithm>
#include <vector>

namespace murinex {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return text;
}

}  // namespace

std::filesystem::path FindFileNoCase(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  const std::filesystem::path exact = folder / name;
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  std::vector<std::filesystem::path> matches;
  const std::string wanted = Lower(name);
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.is_regular_file(error) && Lower(entry.path().filename().string()) == wanted)
      matches.push_back(entry.path());
  if (matches.empty()) return {};
  return *std::min_element(matches.begin(), matches.end());
}

}  // namespace murinex
