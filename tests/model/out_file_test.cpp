#include "model/out_file.h"

#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempDir;
using test::WriteText;

TEST(AtomicFileTest, CommitReplacesTheFileWithAllPiecesAndLeavesNoTemporary) {
  TempDir dir;
  const fs::path target = dir / "dump.dat";
  WriteText(target, "old content\n");
  {
    AtomicFile file(target.string(), "dump.dat");
    file.Write("first ");
    file.Write("second\n");
    // Until the commit, readers still see the old file.
    EXPECT_EQ(ReadText(target), "old content\n");
    file.Commit();
  }
  EXPECT_EQ(ReadText(target), "first second\n");
  EXPECT_FALSE(fs::exists(dir / "dump.dat.tmp"));
}

TEST(AtomicFileTest, AnAbandonedFileLeavesTheOldOneAndRemovesItsTemporary) {
  TempDir dir;
  const fs::path target = dir / "dump.dat";
  WriteText(target, "old content\n");
  try {
    AtomicFile file(target.string(), "dump.dat");
    file.Write("half a ");
    throw std::runtime_error("the writer failed half-way");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(ReadText(target), "old content\n");
  EXPECT_FALSE(fs::exists(dir / "dump.dat.tmp"));
}

TEST(AtomicFileTest, WritingAfterTheCommitIsAnErrorNamingTheFile) {
  TempDir dir;
  AtomicFile file((dir / "a.dat").string(), "data/a.dat");
  file.Commit();
  try {
    file.Write("late");
    FAIL() << "a write after the commit was accepted";
  } catch (const InputError& e) {
    EXPECT_NE(std::string(e.what()).find("data/a.dat"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadText(dir / "a.dat"), "");
}

TEST(AtomicFileTest, AFolderThatDoesNotExistIsAnError) {
  TempDir dir;
  EXPECT_THROW(AtomicFile((dir / "missing" / "a.dat").string(), "missing/a.dat"), InputError);
}

}  // namespace
}  // namespace murinex
