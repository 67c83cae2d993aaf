// The file-type filter the dialogs are given, and matching names against it.
#include "toolkit/dialog_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tovi::FileFilter;
using tovi::MatchesFilter;
using tovi::MatchesFilterPattern;
using tovi::ParseDialogFilter;
using Patterns = std::vector<std::string>;

std::string Bytes(const char* text, size_t size) {
  return std::string(text, size);
}
#define FILTER(literal) Bytes(literal, sizeof(literal) - 1)

TEST(DialogFilter, ParsesThePairsOfTheSourceFileFilter) {
  std::vector<FileFilter> filters = ParseDialogFilter(
      FILTER("Ostrel source files (*.ost)\0*.ost\0All Files (*.*)\0*.*\0\0"));
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Ostrel source files (*.ost)");
  EXPECT_EQ(filters[0].patterns, Patterns{"*.ost"});
  EXPECT_EQ(filters[1].description, "All Files (*.*)");
  EXPECT_EQ(filters[1].patterns, Patterns{"*.*"});
}

TEST(DialogFilter, ToleratesMissingClosingNuls) {
  EXPECT_EQ(ParseDialogFilter(FILTER("A\0*.a\0")).size(), 1u);
  std::vector<FileFilter> filters = ParseDialogFilter(FILTER("A\0*.a"));
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].patterns, Patterns{"*.a"});
}

TEST(DialogFilter, IgnoresDescriptionsWithoutPatterns) {
  EXPECT_TRUE(ParseDialogFilter("").empty());
  EXPECT_TRUE(ParseDialogFilter(FILTER("\0")).empty());
  EXPECT_TRUE(ParseDialogFilter(FILTER("Lonely")).empty());
  EXPECT_TRUE(ParseDialogFilter(FILTER("Lonely\0\0")).empty());
  // A trailing description is dropped; pairs after the closing NUL too.
  std::vector<FileFilter> filters =
      ParseDialogFilter(FILTER("A\0*.a\0B\0\0C\0*.c\0\0"));
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].description, "A");
  // Patterns that are all separators leave the description out, not the
  // pairs after it.
  filters = ParseDialogFilter(FILTER("A\0 ; ;\0B\0*.b\0\0"));
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].description, "B");
}

TEST(DialogFilter, SplitsPatternsOnSemicolons) {
  std::vector<FileFilter> filters =
      ParseDialogFilter(FILTER("Code\0*.ost; *.BAS;;*.txt ;\0\0"));
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].patterns, (Patterns{"*.ost", "*.BAS", "*.txt"}));
  EXPECT_TRUE(MatchesFilter(filters[0], "x.bas"));
  EXPECT_TRUE(MatchesFilter(filters[0], "notes.TXT"));
  EXPECT_FALSE(MatchesFilter(filters[0], "x.c"));
}

TEST(DialogFilter, MatchesGlobsIgnoringAsciiCase) {
  EXPECT_TRUE(MatchesFilterPattern("main.ost", "*.ost"));
  EXPECT_TRUE(MatchesFilterPattern("MAIN.OST", "*.ost"));
  EXPECT_TRUE(MatchesFilterPattern("main.ost", "*.OsT"));
  EXPECT_TRUE(MatchesFilterPattern(".ost", "*.ost"));
  EXPECT_FALSE(MatchesFilterPattern("main.ost.bak", "*.ost"));
  EXPECT_FALSE(MatchesFilterPattern("mainost", "*.ost"));
  EXPECT_FALSE(MatchesFilterPattern("main.os", "*.ost"));

  EXPECT_TRUE(MatchesFilterPattern("file1.txt", "file?.txt"));
  EXPECT_FALSE(MatchesFilterPattern("file.txt", "file?.txt"));
  EXPECT_FALSE(MatchesFilterPattern("file12.txt", "file?.txt"));
  EXPECT_TRUE(MatchesFilterPattern("a-b-c", "a*b*c"));
  EXPECT_TRUE(MatchesFilterPattern("abcbc", "a*bc"));
  EXPECT_FALSE(MatchesFilterPattern("abcb", "a*bc"));
  EXPECT_TRUE(MatchesFilterPattern("anything", "*"));
  EXPECT_TRUE(MatchesFilterPattern("", "*"));
  EXPECT_FALSE(MatchesFilterPattern("x", ""));
  // Only ASCII letters fold; other bytes compare as they are.
  EXPECT_TRUE(MatchesFilterPattern("\xc3\xa9.ost", "\xc3\xa9.OST"));
  EXPECT_FALSE(MatchesFilterPattern("\xc3\xa9.ost", "\xc3\x89.ost"));
  EXPECT_FALSE(MatchesFilterPattern("[.ost", "{.ost"));
}

TEST(DialogFilter, StarDotStarMatchesNamesWithoutADot) {
  for (const char* name : {"readme", "a.b", "a.b.c", ".hidden", "", "x."}) {
    EXPECT_TRUE(MatchesFilterPattern(name, "*.*")) << name;
  }
  EXPECT_TRUE(MatchesFilterPattern("notes", "notes.*"));
  EXPECT_TRUE(MatchesFilterPattern("NOTES.txt", "notes.*"));
  EXPECT_FALSE(MatchesFilterPattern("notesx", "notes.*"));
  EXPECT_FALSE(MatchesFilterPattern("readme", "*.ost"));
}

TEST(DialogFilter, ManyStarsStayQuick) {
  std::string name(5000, 'a');
  EXPECT_FALSE(MatchesFilterPattern(name, "*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(MatchesFilterPattern(name + "b", "*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
