// The file dialog's rules without a display.
#include "dialogs/file_dialog_rules.h"

#include <gtest/gtest.h>

namespace {

// "a|b|" as "a" NUL "b" NUL, to write selections readably.
QString z(QString text) { return text.replace(u'|', u'\0'); }

TEST(FileDialog, FilterTextBecomesQtNameFilters) {
  // "filter text => name filters joined by ' / '"
  for (const char* c : {"Web page (*.htm;*.html)|*.htm;*.html|All files (*.*)|*.* => "
                        "Web page (*.htm;*.html) (*.htm *.html) / All files (*.*) (*)",
                        "Notes: plain|*.txt => Notes (plain)",  // a colon separates too
                        "Text| *.txt ; ;*.doc|Trailing description => Text (*.txt *.doc)",
                        "a|*.a||b|*.b => a (*.a)",  // two separators in a row end the list
                        "Odd|  |x|*.x => Odd () / x (*.x)", " => "}) {
    const QStringList parts = QString::fromLatin1(c).split(" => ");
    EXPECT_EQ(dialogs::nameFilters(parts[0]).join(" / ").toStdString(), parts[1].toStdString());
  }
}

TEST(FileDialog, MultiSelectionTextNamesTheSharedFolderAndSplitsBack) {
  // "paths => text", "|" standing for NUL.
  for (const char* c : {"/home/u/a.txt => /home/u/a.txt||", "/x/1/a /x/2/b => /x|1/a|2/b||",
                        "/data/a.txt /data/c.txt => /data|a.txt|c.txt||", "/a /b/c => /|a|b/c||"}) {
    const QStringList parts = QString::fromLatin1(c).split(" => ");
    EXPECT_EQ(dialogs::multiSelectionText(parts[0].split(u' ')), z(parts[1])) << c;
  }
  // "text => folder|names...", "|" standing for NUL in the text.
  for (const char* c : {"/home/u/a.txt|| => /home/u/|a.txt", "a.txt||/x/y => |a.txt",
                        "/|x|y|| => /|x|y", "/data|a.txt|c d.txt|| => /data|a.txt|c d.txt"}) {
    const QStringList parts = QString::fromLatin1(c).split(" => ");
    const auto r = dialogs::splitMultiFileName(z(parts[0]));
    ASSERT_TRUE(r) << c;
    EXPECT_EQ((r->folder + "|" + r->files.join(u'|')).toStdString(), parts[1].toStdString());
  }
  // Without the closing double NUL (a name set by hand, a single choice) nothing splits.
  EXPECT_FALSE(dialogs::splitMultiFileName(z("/home/u/a.txt|")));
}

TEST(FileDialog, ErrorsCarryTheirNumberSourceAndDescription) {
  for (const auto& [number, text] :
       {std::pair{dialogs::kErrCancel, "32755 dialogs_core_test.cFileDialog User selected cancel."},
        {dialogs::kErrInvalidArgument,
         "5 dialogs_core_test.cFileDialog Invalid procedure call or argument"},
        {dialogs::kErrOverflow, "6 dialogs_core_test.cFileDialog Overflow"}}) {
    const dialogs::FileDialogError e = dialogs::fileDialogError(number);
    EXPECT_EQ(QString::number(e.number) + " " + e.source + " " + e.description, text);
  }
}

}  // namespace
