// The runner's synopsis in the documentation is the one `murinex-run --help`
// prints, and names every option the help lists.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <set>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

const std::filesystem::path Root = test::TestData() / ".." / "..";

// The option an option line of the help starts with ("  --dir DIR  the run folder"
// or "  -h,--help ..."), or nothing. (No <regex>: GCC 12 warns inside it under the
// sanitizers.)
std::string OptionOf(const std::string& line) {
  std::size_t at = line.find_first_not_of(' ');
  if (at == 0 || at == std::string::npos) return "";
  if (line.compare(at, 3, "-h,") == 0) at += 3;
  if (line.compare(at, 2, "--") != 0) return "";
  std::size_t end = at + 2;
  while (end < line.size() &&
         (std::islower(static_cast<unsigned char>(line[end])) || line[end] == '-'))
    ++end;
  return end > at + 2 ? line.substr(at, end - at) : "";
}

// Whether `name` stands in `text` as a whole option, not as the start of a longer one.
bool NamesOption(const std::string& text, const std::string& name) {
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const std::size_t after = at + name.size();
    if (after < text.size() && !std::islower(static_cast<unsigned char>(text[after])) &&
        text[after] != '-')
      return true;
  }
  return false;
}

// The help's usage lines, without "usage: " and with the continuation lines
// moved left by as much.
std::vector<std::string> HelpSynopsis(const std::vector<std::string>& help) {
  const std::string prefix = "usage: ";
  std::vector<std::string> lines;
  for (const std::string& line : help) {
    if (line.empty()) break;
    if (lines.empty()) {
      EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
      lines.push_back(line.substr(prefix.size()));
    } else {
      EXPECT_EQ(line.rfind(std::string(prefix.size(), ' '), 0), 0u) << line;
      lines.push_back(line.substr(prefix.size()));
    }
  }
  return lines;
}

// Every indented block of a Markdown file that starts with "murinex-run --dir",
// its lines without the four blanks of the indentation.
std::vector<std::vector<std::string>> DocumentedSynopses(const std::filesystem::path& file) {
  std::vector<std::vector<std::string>> blocks;
  const auto lines = test::ReadLines(file);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("    murinex-run --dir", 0) != 0) continue;
    std::vector<std::string> block;
    for (; i < lines.size() && lines[i].rfind("    ", 0) == 0; ++i)
      block.push_back(lines[i].substr(4));
    blocks.push_back(block);
  }
  return blocks;
}

TEST(RunnerSynopsis, TheDocumentedSynopsisIsTheHelpsAndNamesEveryOption) {
  test::TempDir scratch;
  const std::filesystem::path out = scratch / "help.txt";
  ASSERT_EQ(std::system((std::string(MURINEX_RUN_BINARY) + " --help >" + out.string()).c_str()), 0);
  const auto help = test::ReadLines(out);
  const std::vector<std::string> synopsis = HelpSynopsis(help);
  ASSERT_GE(synopsis.size(), 1u);

  // The documentation's pages: the user's guide, and README where it holds a synopsis.
  std::size_t found = 0;
  for (const auto& file : {Root / "README.md", Root / "docs" / "guide.md"}) {
    if (!std::filesystem::exists(file)) continue;
    for (const auto& block : DocumentedSynopses(file)) {
      ++found;
      EXPECT_EQ(block, synopsis) << file << " has a synopsis other than --help's";
    }
  }
  EXPECT_GE(found, 1u) << "no page documents the synopsis";

  // Every option of the help's list is in the synopsis (--help aside).
  std::string joined;
  for (const std::string& line : synopsis)
    joined += line + "\n";
  std::set<std::string> listed;
  for (const std::string& line : help)
    if (const std::string name = OptionOf(line); !name.empty()) listed.insert(name);
  EXPECT_GE(listed.size(), 10u);
  listed.erase("--help");
  for (const std::string& name : listed) {
    EXPECT_TRUE(NamesOption(joined, name)) << name << " is missing from the synopsis";
  }
}

}  // namespace
}  // namespace murinex
