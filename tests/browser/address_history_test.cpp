// Completion and history rules of the address box, on the history the box keeps.
#include "browser/address_history.h"
#include "browser/page_properties.h"

#include <gtest/gtest.h>

#include <vector>

using browser::AddressBoxCore;
using browser::AddressHistory;

namespace {

// A history as the box builds it: every text a finished document, oldest first.
AddressHistory historyOf(const std::vector<const char*>& oldestFirst) {
  AddressHistory history;
  for (const char* text : oldestFirst) {
    const int at = history.indexOf(QString::fromUtf8(text));
    if (at >= 0) {
      history.removeAt(at);
    }
    history.prepend(QString::fromUtf8(text));
  }
  return history;
}

struct CompletionCase {
  const char* name;
  std::vector<const char*> history;  // oldest first
  const char* typed;
  int caret;
  const char* text;  // nullptr: nothing is completed
  int selStart;
  int selLength;
};

class Completion : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(Completion, FillsTheBoxAndSelectsTheRest) {
  const CompletionCase& c = GetParam();
  const AddressBoxCore box;
  const auto edit = box.change(QString::fromUtf8(c.typed), c.caret, historyOf(c.history));
  if (c.text == nullptr) {
    EXPECT_FALSE(edit.has_value());
    return;
  }
  ASSERT_TRUE(edit.has_value());
  EXPECT_EQ(edit->text, QString::fromUtf8(c.text));
  EXPECT_EQ(edit->selStart, c.selStart);
  EXPECT_EQ(edit->selLength, c.selLength);
}

INSTANTIATE_TEST_SUITE_P(
    AddressBox, Completion,
    ::testing::Values(
        CompletionCase{"SecondSearchAddsHttp", {"http://wxyz"}, "wx", 2, "http://wxyz", 9, 2},
        CompletionCase{"NeverSkipsPastHttp", {"http://wxyz"}, "xy", 2, nullptr, 0, 0},
        CompletionCase{"IgnoresCaseKeepsTheEntrys", {"http://wxyz"}, "WX", 2, "http://wxyz", 9, 2},
        CompletionCase{"PrefersTheNewest", {"abd", "abc"}, "a", 1, "abc", 1, 2},
        CompletionCase{"SelectsFromTheCaret",
                       {"http://example.org"},
                       "http://ex",
                       4,
                       "http://example.org",
                       4,
                       14},
        CompletionCase{"EmptiedBoxStaysEmpty", {"abc"}, "", 0, nullptr, 0, 0},
        CompletionCase{"NoEntryNoChange", {"abc"}, "q", 1, nullptr, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddressBox, DeleteBackspaceCutAndItsOwnChangeAreNotCompleted) {
  AddressBoxCore box;
  const AddressHistory history = historyOf({"abc"});
  box.keyPressed(Qt::Key_Backspace);
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, history));
  // A change with no key in between (a paste from the context menu) is not completed either.
  EXPECT_FALSE(box.change(QStringLiteral("ab"), 2, history));
  box.keyPressed(Qt::Key_B);
  EXPECT_TRUE(box.change(QStringLiteral("ab"), 2, history));
  box.keyPressed(Qt::Key_Delete);
  EXPECT_FALSE(box.change(QStringLiteral("ab"), 2, history));
  box.keyPressed(Qt::Key_X);
  box.cut();
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, history));
  box.keyPressed(Qt::Key_X);
  box.beginCompleting();
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, history));
  box.endCompleting();
  EXPECT_TRUE(box.change(QStringLiteral("a"), 1, history));
}

TEST(AddressBox, HistoryKeepsOneOfEachExactlyNewestFirst) {
  const AddressHistory history = historyOf({"b", "abc", "c", "abc", "Abc"});
  // Removal is case-sensitive although completion is not.
  EXPECT_EQ(history.entries(), (QStringList{"Abc", "abc", "c", "b"}));
  EXPECT_EQ(history.findFirstWithPrefix(QStringLiteral("AB")), 0);
}

TEST(PageTexts, OnlySpacesAreTrimmed) {
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("  News  ")), QStringLiteral("News"));
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("\tNews ")), QStringLiteral("\tNews"));
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("    ")), QString());
}

}  // namespace
