#pragma once

#include <filesystem>
#include <string>

namespace murinex {

// The file called `name` in `folder`; when no file has exactly that name, the
// first one (in name order) whose name differs only in the case of its letters.
// The run's files come from a file system that ignores case. Empty when none fits.
std::filesystem::path FindFileNoCase(const std::filesystem::path& folder, const std::string& name);

}  // namespace murinex
