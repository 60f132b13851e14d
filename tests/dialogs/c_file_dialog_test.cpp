// cFileDialog without a display: the dialog call is a stand-in for the user's choice.
#include "dialogs/c_file_dialog.h"

#include <gtest/gtest.h>

#include <optional>

using dialogs::cFileDialog;
using dialogs::FileDialogError;
using dialogs::FileDialogPlatform;
using dialogs::OpenFileName;

namespace {

const QChar kNul(u'\0');
QString nuls(int n) { return QString(n, kNul); }

const QString kOpenFilter = QString::fromLatin1(dialogs::kOpenCommandFilter);

// Records what the dialog was given and answers with a prepared result.
struct FakeDialogs {
  std::optional<OpenFileName> seenOpen;
  std::optional<OpenFileName> seenSave;
  bool answer = true;
  QString resultText;         // written into the buffer, NUL-padded
  int resultFilterIndex = 0;  // 0: leave as it was

  FileDialogPlatform platform() {
    auto respond = [this](OpenFileName& ofn) {
      if (answer) {
        ofn.lpstrFile = resultText + nuls(ofn.nMaxFile - resultText.size());
        if (resultFilterIndex != 0) {
          ofn.nFilterIndex = resultFilterIndex;
        }
      }
      return answer;
    };
    return {[this, respond](OpenFileName& ofn) {
              seenOpen = ofn;
              return respond(ofn);
            },
            [this, respond](OpenFileName& ofn) {
              seenSave = ofn;
              return respond(ofn);
            }};
  }
};

template <typename F>
FileDialogError errorOf(F&& f) {
  try {
    f();
  } catch (const FileDialogError& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return FileDialogError(0, {}, {});
}

TEST(FileDialogProperties, DefaultsAndRecordAtConstruction) {
  FakeDialogs fake;
  const cFileDialog fd(fake.platform());
  EXPECT_FALSE(fd.CancelError());
  EXPECT_EQ(fd.FileName(), QString());
  EXPECT_EQ(fd.FileTitle(), QString());
  EXPECT_EQ(fd.Filter(), QString());
  EXPECT_EQ(fd.FilterIndex(), 1);
  EXPECT_EQ(fd.DefaultExt(), QString());
  EXPECT_EQ(fd.DialogTitle(), QString());
  EXPECT_EQ(fd.flags(), 0);
  EXPECT_EQ(fd.hwnd(), nullptr);
  EXPECT_EQ(fd.InitDir(), QString());
  const OpenFileName& r = fd.record();
  EXPECT_EQ(r.lStructSize, 76);
  EXPECT_EQ(r.nFilterIndex, 1);
  EXPECT_FALSE(r.lpstrFilter.has_value());
  EXPECT_FALSE(r.lpstrInitialDir.has_value());
  EXPECT_FALSE(r.lpstrDefExt.has_value());
  EXPECT_FALSE(r.lpstrTitle.has_value());
  EXPECT_EQ(r.Flags, 0);
}

TEST(FileDialogProperties, SettersFillTheRecordAsDocumented) {
  FakeDialogs fake;
  cFileDialog fd(fake.platform());
  auto* owner = reinterpret_cast<QWidget*>(0x1234);  // never dereferenced by the class
  fd.setHwnd(owner);
  fd.setFilterIndex(3);
  fd.setDialogTitle(QStringLiteral("Pick"));
  fd.setDefaultExt(QStringLiteral("htm"));
  fd.setInitDir(QStringLiteral("/tmp"));
  fd.setFlags(5);
  fd.setFileTitle(QStringLiteral("t"));
  fd.setCancelError(true);

  EXPECT_EQ(fd.hwnd(), owner);
  EXPECT_EQ(fd.record().hwndOwner, owner);
  EXPECT_EQ(fd.FilterIndex(), 3);
  EXPECT_EQ(fd.record().nFilterIndex, 3);
  EXPECT_EQ(fd.DialogTitle(), QStringLiteral("Pick"));
  EXPECT_EQ(fd.record().lpstrTitle, QStringLiteral("Pick"));
  EXPECT_EQ(fd.DefaultExt(), QStringLiteral("htm"));
  EXPECT_EQ(fd.record().lpstrDefExt, QStringLiteral("htm") + nuls(2));
  EXPECT_EQ(fd.InitDir(), QStringLiteral("/tmp"));
  EXPECT_EQ(fd.record().lpstrInitialDir, QStringLiteral("/tmp") + nuls(2));
  EXPECT_EQ(fd.flags(), 5);
  EXPECT_EQ(fd.record().Flags, 0) << "flags reach the record only when a dialog is shown";
  EXPECT_EQ(fd.FileTitle(), QStringLiteral("t"));
  EXPECT_TRUE(fd.CancelError());

  // Set to the empty text, the record gets two NULs, not "none".
  fd.setDefaultExt(QString());
  fd.setInitDir(QString());
  EXPECT_EQ(fd.record().lpstrDefExt, nuls(2));
  EXPECT_EQ(fd.record().lpstrInitialDir, nuls(2));
}

TEST(FileDialogProperties, FileNameLongerThanItsBufferIsStoredThenRefused) {
  FakeDialogs fake;
  cFileDialog fd(fake.platform());
  const QString exact(1024, u'a');
  fd.setFileName(exact);
  EXPECT_EQ(fd.FileName(), exact);

  const QString tooLong(1025, u'b');
  const FileDialogError e = errorOf([&] { fd.setFileName(tooLong); });
  EXPECT_EQ(e.number(), dialogs::kErrInvalidArgument);
  EXPECT_EQ(fd.FileName(), tooLong);

  // A show then refuses as well, before any dialog appears; with the multi-selection
  // buffer the same name fits.
  const FileDialogError show = errorOf([&] { fd.ShowOpen(); });
  EXPECT_EQ(show.number(), dialogs::kErrInvalidArgument);
  EXPECT_FALSE(fake.seenOpen.has_value());
  EXPECT_THROW(fd.ShowSave(), FileDialogError);
  EXPECT_FALSE(fake.seenSave.has_value());
  fd.setFlags(dialogs::kOfnAllowMultiSelect);
  fake.answer = false;
  EXPECT_NO_THROW(fd.ShowOpen());
  ASSERT_TRUE(fake.seenOpen.has_value());
  EXPECT_TRUE(fake.seenOpen->lpstrFile.startsWith(tooLong));
}

TEST(FileDialogFilter, OpenCommandFilterBecomesEightNulSeparatedFields) {
  FakeDialogs fake;
  cFileDialog fd(fake.platform());
  EXPECT_EQ(kOpenFilter,
            QStringLiteral("Web page (*.htm;*.html)|*.htm;*.html|Supported image formats|"
                           "*.gif;*.tif;*.pcd;*.jpg;*.wmf;*.tga;*.jpeg;*.ras;*.png;*.eps;*.bmp;"
                           "*.pcx|Text formats (*.txt;*.doc)|*.txt;*.doc|All files (*.*)|*.*"));
  EXPECT_EQ(dialogs::kOpenCommandFlags, 5);
  fd.setFilter(kOpenFilter);
  EXPECT_EQ(fd.Filter(), kOpenFilter);
  const QString converted = *fd.record().lpstrFilter;
  ASSERT_TRUE(converted.endsWith(nuls(2)));
  const QStringList fields = converted.chopped(2).split(kNul);
  ASSERT_EQ(fields.size(), 8);
  EXPECT_EQ(fields[0], QStringLiteral("Web page (*.htm;*.html)"));
  EXPECT_EQ(fields[1], QStringLiteral("*.htm;*.html"));
  EXPECT_EQ(fields[2], QStringLiteral("Supported image formats"));
  EXPECT_EQ(fields[6], QStringLiteral("All files (*.*)"));
  EXPECT_EQ(fields[7], QStringLiteral("*.*"));
  EXPECT_EQ(converted.count(kNul), 9);
}

TEST(FileDialogFilter, ColonsSplitLikeBarsAndEmptyTextGivesDoubleNul) {
  EXPECT_EQ(dialogs::ConvertFilter(QStringLiteral("Notes: plain|*.txt")),
            QStringLiteral("Notes") + kNul + QStringLiteral(" plain") + kNul +
                QStringLiteral("*.txt") + nuls(2));
  EXPECT_EQ(dialogs::ConvertFilter(QString()), nuls(2));
  EXPECT_EQ(dialogs::ConvertFilter(QStringLiteral("||")), nuls(4));
}

TEST(FileDialogFilter, OverlongFilterOverflowsAndKeepsTheRecordsFilter) {
  FakeDialogs fake;
  cFileDialog fd(fake.platform());
  fd.setFilter(QStringLiteral("a|*.a"));
  const QString before = *fd.record().lpstrFilter;

  const QString at(32767, u'x');
  fd.setFilter(at);
  EXPECT_EQ(fd.record().lpstrFilter->size(), 32769);

  fd.setFilter(QStringLiteral("a|*.a"));
  const QString huge(32768, u'y');
  const FileDialogError e = errorOf([&] { fd.setFilter(huge); });
  EXPECT_EQ(e.number(), dialogs::kErrOverflow);
  EXPECT_EQ(e.description(), QStringLiteral("Overflow"));
  EXPECT_EQ(fd.Filter(), huge);
  EXPECT_EQ(*fd.record().lpstrFilter, before);
}

TEST(FileDialogStripNull, StopsAtTheFirstNul) {
  EXPECT_EQ(dialogs::StripNull(QStringLiteral("abc")), QStringLiteral("abc"));
  EXPECT_EQ(dialogs::StripNull(QStringLiteral("ab") + kNul + QStringLiteral("cd") + kNul),
            QStringLiteral("ab"));
  EXPECT_EQ(dialogs::StripNull(kNul + QStringLiteral("x")), QString());
  EXPECT_EQ(dialogs::StripNull(QString()), QString());
}

TEST(FileDialogShow, OpenBuildsTheBuffersAndKeepsTheFullPath) {
  FakeDialogs fake;
  fake.resultText = QStringLiteral("/home/u/page.htm");
  fake.resultFilterIndex = 3;
  cFileDialog fd(fake.platform());
  fd.setFlags(5);
  fd.setFileName(QStringLiteral("start.htm"));
  fd.setFileTitle(QStringLiteral("title"));
  fd.ShowOpen();

  ASSERT_TRUE(fake.seenOpen.has_value());
  const OpenFileName& seen = *fake.seenOpen;
  EXPECT_EQ(seen.Flags, 5);
  EXPECT_EQ(seen.nMaxFile, 1024);
  EXPECT_EQ(seen.lpstrFile.size(), 1024);
  EXPECT_EQ(seen.lpstrFile, QStringLiteral("start.htm") + nuls(1024 - 9));
  EXPECT_EQ(seen.nMaxFileTitle, 1024);
  EXPECT_EQ(seen.lpstrFileTitle, QStringLiteral("title") + nuls(1024 - 5));
  EXPECT_EQ(seen.lStructSize, 76);

  EXPECT_EQ(fd.FileName(), QStringLiteral("/home/u/page.htm"));
  EXPECT_EQ(fd.FilterIndex(), 3) << "the filter the user chose";
  EXPECT_EQ(fd.FileTitle(), QStringLiteral("title")) << "not taken from the dialog";
}

TEST(FileDialogShow, MultiSelectionUsesTheLargeBufferAndKeepsItWhole) {
  FakeDialogs fake;
  fake.resultText = QStringLiteral("/data") + kNul + QStringLiteral("a.txt") + kNul +
                    QStringLiteral("b.txt") + kNul + QStringLiteral("c d.txt") + nuls(2);
  cFileDialog fd(fake.platform());
  fd.setFlags(dialogs::kOfnAllowMultiSelect);
  fd.ShowOpen();

  ASSERT_TRUE(fake.seenOpen.has_value());
  EXPECT_EQ(fake.seenOpen->nMaxFile, 8192);
  EXPECT_EQ(fake.seenOpen->nMaxFileTitle, 8192);
  EXPECT_EQ(fake.seenOpen->Flags, dialogs::kOfnAllowMultiSelect | dialogs::kOfnExplorer);
  EXPECT_EQ(fd.flags(), dialogs::kOfnAllowMultiSelect) << "the stored flags stay as set";
  EXPECT_EQ(fd.FileName().size(), 8192);

  QString dir = QStringLiteral("old");
  QStringList files{QStringLiteral("x")};
  std::int32_t count = 42;
  fd.ParseMultiFileName(dir, files, count);
  EXPECT_EQ(dir, QStringLiteral("/data"));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(files, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                QStringLiteral("c d.txt")}));
}

TEST(FileDialogShow, SaveIgnoresMultiSelection) {
  FakeDialogs fake;
  fake.resultText = QStringLiteral("/tmp/out.htm");
  cFileDialog fd(fake.platform());
  fd.setFlags(dialogs::kOfnAllowMultiSelect | dialogs::kOfnOverwritePrompt);
  fd.ShowSave();
  EXPECT_FALSE(fake.seenOpen.has_value());
  ASSERT_TRUE(fake.seenSave.has_value());
  EXPECT_EQ(fake.seenSave->nMaxFile, 1024);
  EXPECT_EQ(fake.seenSave->Flags, dialogs::kOfnAllowMultiSelect | dialogs::kOfnOverwritePrompt);
  EXPECT_EQ(fd.FileName(), QStringLiteral("/tmp/out.htm"));
}

TEST(FileDialogCancel, WithoutCancelErrorNothingChanges) {
  FakeDialogs fake;
  fake.answer = false;
  cFileDialog fd(fake.platform());
  fd.setFileName(QStringLiteral("/before.htm"));
  EXPECT_NO_THROW(fd.ShowOpen());
  EXPECT_NO_THROW(fd.ShowSave());
  EXPECT_EQ(fd.FileName(), QStringLiteral("/before.htm"));
  EXPECT_EQ(fd.FilterIndex(), 1);
}

TEST(FileDialogCancel, WithCancelErrorRaisesNumberSourceAndDescription) {
  FakeDialogs fake;
  fake.answer = false;
  cFileDialog fd(fake.platform());
  fd.setCancelError(true);
  fd.setFileName(QStringLiteral("/before.htm"));
  for (const bool open : {true, false}) {
    const FileDialogError e = errorOf([&] { open ? fd.ShowOpen() : fd.ShowSave(); });
    EXPECT_EQ(e.number(), 32755);
    EXPECT_EQ(e.source(), QStringLiteral("dialogs_core_test.cFileDialog"));
    EXPECT_EQ(e.description(), QStringLiteral("User selected cancel."));
    EXPECT_STREQ(e.what(), "User selected cancel.");
    EXPECT_EQ(fd.FileName(), QStringLiteral("/before.htm"));
  }
}

TEST(FileDialogCancel, MissingDialogCountsAsFailed) {
  cFileDialog fd(FileDialogPlatform{});
  EXPECT_NO_THROW(fd.ShowOpen());
  fd.setCancelError(true);
  EXPECT_THROW(fd.ShowSave(), FileDialogError);
}

TEST(ParseMultiFileName, OneFileChosenInAMultiSelectionDialog) {
  const auto r = dialogs::ParseMultiFileName(QStringLiteral("/home/u/a.txt") + nuls(8179), "s");
  EXPECT_EQ(r.lFileCount, 1);
  EXPECT_EQ(r.sDir, QStringLiteral("/home/u/"));
  EXPECT_EQ(r.sFiles, QStringList{QStringLiteral("a.txt")});
}

TEST(ParseMultiFileName, BareNameKeepsNoFillerAndIgnoresWhatFollowsTheEnd) {
  // Only the selection counts: the filler and text after the double NUL never leak in.
  const auto bare = dialogs::ParseMultiFileName(QStringLiteral("a.txt") + nuls(20), "s");
  EXPECT_EQ(bare.sDir, QString());
  EXPECT_EQ(bare.sFiles, QStringList{QStringLiteral("a.txt")});
  const auto tail =
      dialogs::ParseMultiFileName(QStringLiteral("a.txt") + nuls(2) + QStringLiteral("/x/y"), "s");
  EXPECT_EQ(tail.sDir, QString());
  EXPECT_EQ(tail.sFiles, QStringList{QStringLiteral("a.txt")});
}

TEST(ParseMultiFileName, SeveralFilesAndRootFolder) {
  const auto r = dialogs::ParseMultiFileName(
      QStringLiteral("/") + kNul + QStringLiteral("x") + kNul + QStringLiteral("y") + nuls(2), "s");
  EXPECT_EQ(r.sDir, QStringLiteral("/"));
  EXPECT_EQ(r.lFileCount, 2);
  EXPECT_EQ(r.sFiles, (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
}

TEST(ParseMultiFileName, WithoutDoubleNulFailsAndLeavesOutputs) {
  FakeDialogs fake;
  cFileDialog fd(fake.platform());
  QString dir = QStringLiteral("keep");
  QStringList files{QStringLiteral("keep")};
  std::int32_t count = 7;
  for (const QString& name : {QString(), QStringLiteral("/home/u/a.txt"),
                              QStringLiteral("/d") + kNul + QStringLiteral("a")}) {
    fd.setFileName(name);
    const FileDialogError e = errorOf([&] { fd.ParseMultiFileName(dir, files, count); });
    EXPECT_EQ(e.number(), dialogs::kErrInvalidArgument);
    EXPECT_EQ(e.source(), QStringLiteral("dialogs_core_test.cFileDialog"));
    EXPECT_EQ(dir, QStringLiteral("keep"));
    EXPECT_EQ(files, QStringList{QStringLiteral("keep")});
    EXPECT_EQ(count, 7);
  }
}

TEST(ParseMultiFileName, SingleSelectionResultIsRefused) {
  // A single-selection dialog strips the buffer, so no double NUL remains.
  FakeDialogs fake;
  fake.resultText = QStringLiteral("/home/u/a.txt");
  cFileDialog fd(fake.platform());
  fd.ShowOpen();
  QString dir;
  QStringList files;
  std::int32_t count = 0;
  EXPECT_THROW(fd.ParseMultiFileName(dir, files, count), FileDialogError);
}

}  // namespace
