// OpenSaveDialog without a display: the dialog call is a stand-in that records what it was
// given and answers as a user would.
#include "dialogs/open_save_dialog.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// "a|b|" as "a" NUL "b" NUL, to write buffers readably.
QString z(QString text) { return text.replace(u'|', u'\0'); }

// The error a call raised, as "number source description"; empty when none.
QString errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const dialogs::FileDialogError& e) {
    return QString::number(e.number()) + " " + e.source() + " " + e.description();
  }
  return {};
}

TEST(FileDialog, ShowFillsTheRecordAndKeepsAChoiceWholeOnlyForMultiSelection) {
  platform::OpenFileName seen;  // the record as the last dialog got it
  QString chosen;               // what the user picks; empty: cancels
  const auto user = [&](platform::OpenFileName& ofn) {
    seen = ofn;
    ofn.lpstrFile = chosen.leftJustified(ofn.nMaxFile, u'\0');
    return !chosen.isEmpty();
  };
  dialogs::OpenSaveDialog fd({user, user});
  chosen = "/home/u/page.htm";
  fd.setFlags(5);
  fd.setFileName("start.htm");
  fd.setFilter("Notes: plain|*.txt");  // "|" and ":" become NULs, then a double NUL
  fd.ShowOpen();
  EXPECT_EQ(seen.lpstrFilter, z("Notes| plain|*.txt||"));
  EXPECT_EQ(seen.Flags, 5);
  EXPECT_EQ(seen.lpstrFile, QString("start.htm").leftJustified(1024, u'\0'));
  EXPECT_EQ(fd.FileName(), chosen);

  // Cancelled: nothing changes, or the cancel error when asked for.
  chosen.clear();
  EXPECT_EQ(errorOf([&] { fd.ShowOpen(); }), "");
  fd.setCancelError(true);
  for (const auto& show :
       {&dialogs::OpenSaveDialog::ShowOpen, &dialogs::OpenSaveDialog::ShowSave}) {
    EXPECT_EQ(errorOf([&] { (fd.*show)(); }),
              "32755 dialogs_core_test.cFileDialog User selected cancel.");
  }
  EXPECT_EQ(fd.FileName(), "/home/u/page.htm");

  chosen = z("/data|a.txt|c d.txt||");
  fd.setFlags(platform::kOfnAllowMultiSelect);
  fd.ShowSave();  // a save dialog never selects several files
  EXPECT_EQ(seen.nMaxFile, 1024);
  EXPECT_EQ(fd.FileName(), "/data");
  fd.ShowOpen();
  EXPECT_EQ(seen.nMaxFile, 8192);
  EXPECT_EQ(seen.Flags, platform::kOfnAllowMultiSelect | platform::kOfnExplorer);
  EXPECT_EQ(fd.FileName(), chosen.leftJustified(8192, u'\0')) << "kept whole";

  // A name longer than the buffer is kept but refused, and no dialog shows with it.
  const QString invalid = "5 dialogs_core_test.cFileDialog Invalid procedure call or argument";
  fd.setFlags(0);
  EXPECT_EQ(errorOf([&] { fd.setFileName(QString(1024, u'n')); }), "");
  EXPECT_EQ(errorOf([&] { fd.setFileName(QString(1025, u'n')); }), invalid);
  EXPECT_EQ(fd.FileName().size(), 1025);
  seen = {};
  EXPECT_EQ(errorOf([&] { fd.ShowSave(); }), invalid);
  EXPECT_EQ(seen.nMaxFile, 0) << "a dialog showed";
}

TEST(ParseMultiFileName, SplitsTheSelectionUpToTheDoubleNul) {
  // "buffer => directory|names...|count", "|" standing for NUL in the buffer.
  for (const char* c : {"/home/u/a.txt|||| => /home/u/|a.txt|1", "a.txt||/x/y => |a.txt|1",
                        "/|x|y|| => /|x|y|2", "/data|a.txt|c d.txt|| => /data|a.txt|c d.txt|2"}) {
    const QStringList parts = QString::fromLatin1(c).split(" => ");
    const auto r = dialogs::ParseMultiFileName(z(parts[0]), "s");
    EXPECT_EQ(r.folder + "|" + r.files.join(u'|') + "|" + QString::number(r.fileCount), parts[1]);
  }
  // Without the double NUL (a name set by hand, a single selection) it fails.
  EXPECT_NE(errorOf([] { dialogs::ParseMultiFileName("/home/u/a.txt", "s"); }), "");
}

}  // namespace
