#include "browser/address_box.h"

#include <gtest/gtest.h>

#include <random>

using browser::AddressBoxCore;
using browser::BoxEdit;
using browser::findStringPrefix;

TEST(FindStringPrefix, SearchesAfterStartWrappingAroundIgnoringCase) {
  const QStringList list = {QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("xyz"),
                            QStringLiteral("ABE")};
  EXPECT_EQ(findStringPrefix(list, -1, QStringLiteral("ab")), 0);
  EXPECT_EQ(findStringPrefix(list, 0, QStringLiteral("ab")), 1);
  EXPECT_EQ(findStringPrefix(list, 1, QStringLiteral("ab")), 3);
  EXPECT_EQ(findStringPrefix(list, 3, QStringLiteral("ab")), 0);  // wraps to the top
  EXPECT_EQ(findStringPrefix(list, 2, QStringLiteral("XY")), 2);  // back round to start itself
  EXPECT_EQ(findStringPrefix(list, -1, QStringLiteral("q")), -1);
  EXPECT_EQ(findStringPrefix({}, -1, QStringLiteral("a")), -1);
  EXPECT_EQ(findStringPrefix(list, 99, QStringLiteral("x")), 2);
  EXPECT_EQ(findStringPrefix(list, -1, QStringLiteral("abcd")), -1);
}

namespace {
BoxEdit complete(const AddressBoxCore& box, const QString& typed, const QStringList& history) {
  const auto edit = box.change(typed, static_cast<int>(typed.size()), history);
  return edit.value_or(BoxEdit{typed, static_cast<int>(typed.size()), 0});
}
}  // namespace

TEST(AddressCompletion, SecondSearchAddsHttpAndMovesTheSelection) {
  const AddressBoxCore box;
  const QStringList history = {QStringLiteral("http://wxyz")};
  const BoxEdit edit = complete(box, QStringLiteral("wx"), history);
  EXPECT_EQ(edit.text, QStringLiteral("http://wxyz"));
  EXPECT_EQ(edit.selStart, 9);
  EXPECT_EQ(edit.selLength, 2);
  // No skipping past "http://": xy is not a prefix of anything.
  EXPECT_FALSE(box.change(QStringLiteral("xy"), 2, history).has_value());
}

TEST(AddressCompletion, CompletesToTheEntryAsStoredAndPrefersTheNewest) {
  const AddressBoxCore box;
  const BoxEdit upper = complete(box, QStringLiteral("WX"), {QStringLiteral("http://wxyz")});
  EXPECT_EQ(upper.text, QStringLiteral("http://wxyz"));
  const BoxEdit newest =
      complete(box, QStringLiteral("a"), {QStringLiteral("abc"), QStringLiteral("abd")});
  EXPECT_EQ(newest.text, QStringLiteral("abc"));
  EXPECT_EQ(newest.selStart, 1);
  EXPECT_EQ(newest.selLength, 2);
}

TEST(AddressCompletion, CaretInTheMiddleSelectsFromTheCaret) {
  const AddressBoxCore box;
  const auto edit = box.change(QStringLiteral("http://ex"), 4, {QStringLiteral("http://example.org")});
  ASSERT_TRUE(edit.has_value());
  EXPECT_EQ(edit->selStart, 4);
  EXPECT_EQ(edit->selLength, 14);
}

TEST(AddressCompletion, DeleteBackspaceAndCutSuppressUntilTheNextKey) {
  AddressBoxCore box;
  const QStringList history = {QStringLiteral("abc")};
  box.keyDown(browser::kVkBack);
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, history).has_value());
  // A change with no key in between (a paste from the context menu) is not completed either.
  EXPECT_FALSE(box.change(QStringLiteral("ab"), 2, history).has_value());
  box.keyDown('B');
  EXPECT_TRUE(box.change(QStringLiteral("ab"), 2, history).has_value());
  box.keyDown(browser::kVkDelete);
  EXPECT_TRUE(box.blnDelete());
  box.keyDown('X');
  box.cut();
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, history).has_value());
}

TEST(AddressCompletion, ItsOwnChangeIsNotCompletedAgain) {
  AddressBoxCore box;
  box.beginCompleting();
  EXPECT_FALSE(box.change(QStringLiteral("a"), 1, {QStringLiteral("abc")}).has_value());
  box.endCompleting();
  EXPECT_TRUE(box.change(QStringLiteral("a"), 1, {QStringLiteral("abc")}).has_value());
}

TEST(AddressCompletion, EmptiedBoxStaysEmpty) {
  const AddressBoxCore box;
  EXPECT_FALSE(box.change(QString(), 0, {QStringLiteral("abc")}).has_value());
}

TEST(AddressHistory, DocumentMovesTextToTopWithExactDeduplication) {
  const QStringList once = AddressBoxCore::historyAfterDocument({}, QStringLiteral("http://www."));
  EXPECT_EQ(once, QStringList{QStringLiteral("http://www.")});
  const QStringList history = {QStringLiteral("b"), QStringLiteral("abc"), QStringLiteral("c")};
  EXPECT_EQ(AddressBoxCore::historyAfterDocument(history, QStringLiteral("abc")),
            (QStringList{QStringLiteral("abc"), QStringLiteral("b"), QStringLiteral("c")}));
  // Removal is case-sensitive although completion is not.
  EXPECT_EQ(AddressBoxCore::historyAfterDocument({QStringLiteral("abc")}, QStringLiteral("Abc")),
            (QStringList{QStringLiteral("Abc"), QStringLiteral("abc")}));
  EXPECT_EQ(AddressBoxCore::historyAfterDocument(history, QString()), history);
}

TEST(TrimSpaces, OnlySpacesAreRemoved) {
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("  News  ")), QStringLiteral("News"));
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("\tNews ")), QStringLiteral("\tNews"));
  EXPECT_EQ(browser::trimSpaces(QStringLiteral("    ")), QString());
  EXPECT_EQ(browser::trimSpaces(QString()), QString());
}

TEST(AddressHistoryIndex, AgreesWithThePlainPrefixSearchUnderRandomUpdates) {
  browser::AddressHistory history;
  std::mt19937 rng(7);
  const QStringList alphabet = {QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("b"),
                                QStringLiteral("/"), QStringLiteral("\u00e9"), QStringLiteral("\u00c9")};
  const auto word = [&] {
    QString w = rng() % 2 ? QStringLiteral("http://") : QString();
    for (unsigned n = rng() % 5; n > 0; --n) {
      w += alphabet.at(static_cast<int>(rng() % alphabet.size()));
    }
    return w;
  };
  for (int round = 0; round < 3000; ++round) {
    const QString text = word();
    if (rng() % 4 == 0 && history.count() > 0) {
      history.removeAt(static_cast<int>(rng() % history.count()));
    } else {
      const int at = history.indexOf(text);
      if (at >= 0) {
        history.removeAt(at);
      }
      history.prepend(text);
    }
    const QString probe = word();
    ASSERT_EQ(history.findFirstWithPrefix(probe), findStringPrefix(history.entries(), -1, probe))
        << probe.toStdString();
  }
}
