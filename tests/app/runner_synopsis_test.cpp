// The runner's synopsis in the documentation is the one `murinex-run --help`
// prints, and names every option the help lists.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

const std::filesystem::path Root = test::TestData() / ".." / "..";

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
  const std::regex option(R"(^\s+(?:-h,)?(--[a-z-]+))");
  std::set<std::string> listed;
  for (const std::string& line : help) {
    std::smatch m;
    if (std::regex_search(line, m, option)) listed.insert(m[1]);
  }
  EXPECT_GE(listed.size(), 10u);
  listed.erase("--help");
  for (const std::string& name : listed) {
    EXPECT_TRUE(std::regex_search(joined, std::regex(name + "[^a-z-]")))
        << name << " is missing from the synopsis";
  }
}

}  // namespace
}  // namespace murinex
