#include "world/text_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "world/error.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

TEST(TextReaderTest, NumbersAcrossBlanksTabsAndLineEnds) {
  TextReader in("1 2\t3\n\n  4\n-5 +6", "f");
  EXPECT_EQ(in.ReadInt("a"), 1);
  EXPECT_EQ(in.ReadInt("b"), 2);
  EXPECT_EQ(in.ReadInt("c"), 3);
  EXPECT_EQ(in.ReadInt("d"), 4);  // stands two lines further on
  EXPECT_EQ(in.ReadInt("e"), -5);
  EXPECT_EQ(in.ReadInt("f"), 6);
  EXPECT_TRUE(in.AtEnd());
}

TEST(TextReaderTest, RealForms) {
  TextReader in(".5 1. -2.25 3e2 1.5E-1 7", "f");
  EXPECT_EQ(in.ReadReal("a"), 0.5);
  EXPECT_EQ(in.ReadReal("b"), 1.0);
  EXPECT_EQ(in.ReadReal("c"), -2.25);
  EXPECT_EQ(in.ReadReal("d"), 300.0);
  EXPECT_EQ(in.ReadReal("e"), 0.15);
  EXPECT_EQ(in.ReadReal("f"), 7.0);
}

TEST(TextReaderTest, CrLfReadsLikeLf) {
  TextReader lf("title\n12 13  label\n\nname line\n", "f");
  TextReader crlf("title\r\n12 13  label\r\n\r\nname line\r\n", "f");
  for (TextReader* in : {&lf, &crlf}) {
    EXPECT_EQ(in->ReadLine("title"), "title");
    EXPECT_EQ(in->ReadInt("a"), 12);
    EXPECT_EQ(in->ReadInt("b"), 13);
    in->NextLine();  // the trailing label is ignored
    in->SkipBlankLines();
    EXPECT_EQ(in->ReadLine("name"), "name line");
    EXPECT_TRUE(in->AtEnd());
  }
}

TEST(TextReaderTest, SkipBlankLinesTreatsTabsAsBlank) {
  TextReader in("  \n\t \n\nvalue\n", "f");
  in.SkipBlankLines();
  EXPECT_EQ(in.Line(), 4);
  EXPECT_EQ(in.ReadLine("v"), "value");
}

TEST(TextReaderTest, ReadWordSeparatesOnlyAtTheBlank) {
  TextReader in("  Grey\tX  7\n\n next", "f");
  EXPECT_EQ(in.ReadWord(), "Grey\tX");
  EXPECT_EQ(in.ReadInt("id"), 7);
  EXPECT_EQ(in.ReadWord(), "next");  // skips the line ends before it
  EXPECT_EQ(in.ReadWord(), "");
}

TEST(TextReaderTest, ReadWordDoesNotConsumeTheLineEnd) {
  TextReader in("word\nsecond", "f");
  EXPECT_EQ(in.ReadWord(), "word");
  EXPECT_EQ(in.Line(), 1);
  EXPECT_TRUE(in.RestOfLineBlank());
}

TEST(TextReaderTest, AtEndWhenOnlyBlanksRemain) {
  TextReader in("5 \n \t\n\n", "f");
  EXPECT_FALSE(in.AtEnd());
  in.ReadInt("x");
  EXPECT_TRUE(in.AtEnd());
  EXPECT_FALSE(in.AtEndOfFile());
}

TEST(TextReaderTest, NotANumberNamesFileLineAndValue) {
  TextReader in("title\n1 2\n  x3 4\n", "data/world1.txt");
  in.ReadLine("title");
  in.ReadInt("w");
  in.ReadInt("h");
  try {
    in.ReadInt("season count");
    FAIL() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "data/world1.txt");
    EXPECT_EQ(e.line(), 3);
    EXPECT_STREQ(e.what(), "data/world1.txt:3: expected an integer (season count), found \"x3\"");
  }
}

TEST(TextReaderTest, AnIntegerIsNotAReal) {
  TextReader in("1.5 2x 12345678901", "f");
  EXPECT_THROW(in.ReadInt("a"), InputError);
  in.ReadReal("a");
  EXPECT_THROW(in.ReadReal("b"), InputError);
}

TEST(TextReaderTest, OutOfRangeInteger) {
  TextReader in("12345678901", "f");
  try {
    in.ReadInt("count");
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("out of range"));
  }
}

TEST(TextReaderTest, EndOfFileIsAnErrorNotZero) {
  TextReader in("1\n", "f");
  in.ReadInt("a");
  try {
    in.ReadReal("Decay");
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("expected a real number (Decay), found end of file"));
  }
  EXPECT_THROW(in.ReadLine("name"), InputError);
}

TEST(TextReaderTest, MissingFile) {
  try {
    TextReader::Open("/nonexistent/dir/file.txt", "data/file.txt");
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("data/file.txt: cannot open file"));
  }
}

TEST(TextReaderTest, BlankLineStart) {
  TextReader in("1 2\n\n3", "f");
  EXPECT_FALSE(in.AtBlankLineStart());
  in.ReadInt("a");
  EXPECT_FALSE(in.AtBlankLineStart());  // not at the start of a line
  in.ReadInt("b");
  in.NextLine();
  EXPECT_TRUE(in.AtBlankLineStart());
  in.NextLine();
  EXPECT_FALSE(in.AtBlankLineStart());
  in.ReadInt("c");
  EXPECT_TRUE(in.AtBlankLineStart());  // end of file
}

}  // namespace
}  // namespace murinex
