#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "ExtractionFixture.h"
#include "setup/CopyForm.h"
#include "setup/Installation.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScriptedAnswerer_win32.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

namespace {

using ::testing::ElementsAre;

const char* const kKeepQuestion =
    "There is currently a site database file. Do you want to keep the existing file? ";

class Extraction : public ::testing::Test {
protected:
  void SetUp() override { frmCopy = new TfrmCopy(&app, installation); }

  std::string Dest(const std::string& name) const { return dest / name; }
  std::string Backup(const std::string& name) const { return dest / ("Backup\\" + name); }

  // The destination as a person would leave it after an earlier installation: every member
  // present with the given text.
  void PlaceOldFiles(const std::string& text) {
    for (const TTestMember& m : TestMembers()) WriteWholeFile(Dest(m.name), text + m.name);
  }
  void PlaceOldBackups(const std::string& text) {
    MakeDirectory(dest / "Backup");
    for (const TTestMember& m : TestMembers()) WriteWholeFile(Backup(m.name), text + m.name);
  }
  void ExpectNewFilesInstalled() {
    for (const TTestMember& m : TestMembers())
      EXPECT_EQ(ReadWholeFile(Dest(m.name)), m.content) << m.name;
  }

  TApplication app;
  TScratchFolder dest;
  TInstallation installation{dest.Path()};
  TfrmCopy* frmCopy = nullptr;
};

TEST_F(Extraction, FreshInstallationExpandsEveryMemberWithoutAQuestion) {
  installation.BackupReplaced = true;
  TScriptedAnswerer answers;
  frmCopy->ExtractFiles();

  ExpectNewFilesInstalled();
  EXPECT_TRUE(answers.Questions().empty());
  EXPECT_FALSE(IsDirectory(dest / "Backup")) << "no file was replaced";
  EXPECT_EQ(installation.MemberCount, 3);
  EXPECT_EQ(frmCopy->Label1->Caption(), "Extracting: whatsnew.txt");
  // Three members of one input block each add 100 div 3.
  EXPECT_EQ(frmCopy->Gauge1->Progress(), 99);
}

TEST_F(Extraction, MembersKeepTheArchivesDateAndAttributes) {
  frmCopy->ExtractFiles();
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(Dest("readme.txt").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.dwFileAttributes & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  FILETIME local;
  WORD dosDate = 0, dosTime = 0;
  FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  FileTimeToDosDateTime(&local, &dosDate, &dosTime);
  EXPECT_EQ(dosDate, ((2026 - 1980) << 9) | (12 << 5) | 1);  // as make-test-archive.py writes
  EXPECT_EQ(dosTime, 12 << 11);
}

TEST_F(Extraction, ReinstallationWithoutBackupsReplacesTheFiles) {
  PlaceOldFiles("old ");
  TScriptedAnswerer answers{mrNo};
  frmCopy->ExtractFiles();

  ExpectNewFilesInstalled();
  EXPECT_FALSE(IsDirectory(dest / "Backup"));
  ASSERT_EQ(answers.Questions().size(), 1u);
  EXPECT_EQ(answers.Questions()[0].text, kKeepQuestion);
  EXPECT_EQ(answers.Questions()[0].type, mtConfirmation);
  EXPECT_EQ(answers.Questions()[0].buttons, mbYesNo);
}

TEST_F(Extraction, ReinstallationWithBackupsMovesEachOldFileIntoBackup) {
  installation.BackupReplaced = true;
  PlaceOldFiles("old ");
  TScriptedAnswerer answers{mrNo};
  frmCopy->ExtractFiles();

  ExpectNewFilesInstalled();
  for (const TTestMember& m : TestMembers())
    EXPECT_EQ(ReadWholeFile(Backup(m.name)), "old " + m.name) << m.name;
  EXPECT_EQ(answers.Remaining(), 0);
}

TEST_F(Extraction, KeptSiteDatabaseStaysAndItsCopyReplacesTheOlderBackup) {
  installation.BackupReplaced = true;
  PlaceOldBackups("first ");
  // The file on disk in lower case; the archive stores "Sites.INI".
  WriteWholeFile(Dest("sites.ini"), "the user's sites");
  TScriptedAnswerer answers{mrYes};
  std::string captionAtQuestion;
  TMessageAnswerer scripted = SetMessageAnswerer(nullptr);
  SetMessageAnswerer([&](const TMessageQuestion& question) {
    captionAtQuestion = frmCopy->Label1->Caption();
    return scripted(question);
  });
  frmCopy->ExtractFiles();
  SetMessageAnswerer(scripted);  // the scripted answerer puts back the real box itself

  EXPECT_EQ(captionAtQuestion, "Extracting: Sites.INI") << "named also when it is kept";

  EXPECT_EQ(ReadWholeFile(Dest("sites.ini")), "the user's sites");
  EXPECT_EQ(ReadWholeFile(Backup("Sites.INI")), "the user's sites");
  EXPECT_EQ(ReadWholeFile(Backup("readme.txt")), "first readme.txt") << "not replaced this time";
  EXPECT_EQ(ReadWholeFile(Dest("readme.txt")), TestMembers()[0].content);
  ASSERT_EQ(answers.Questions().size(), 1u);
  EXPECT_EQ(answers.Questions()[0].text, kKeepQuestion);
  // The kept member adds nothing to the gauge.
  EXPECT_EQ(frmCopy->Gauge1->Progress(), 66);
}

// A member file that cannot be created stops the extraction with the engine's error instead
// of being passed over while the setup goes on to report success.
TEST_F(Extraction, MemberFileThatCannotBeCreatedRaises) {
  MakeDirectory(Dest("whatsnew.txt"));  // a folder in the way of the last member
  TScriptedAnswerer answers;
  try {
    frmCopy->ExtractFiles();
    FAIL() << "the extraction reported success";
  } catch (const EFCreateError& error) {
    EXPECT_THAT(error.Message(), ::testing::StartsWith("Cannot create file "));
    EXPECT_THAT(error.Message(), ::testing::HasSubstr("whatsnew.txt"));
  }
  EXPECT_EQ(ReadWholeFile(Dest("readme.txt")), TestMembers()[0].content) << "written before";
  EXPECT_EQ(ReadWholeFile(Dest("Sites.INI")), TestMembers()[1].content);
}

TEST_F(Extraction, CancelHidesTheWindowAndTheExtractionGoesOn) {
  frmCopy->Show();
  ASSERT_TRUE(IsWindowVisible(frmCopy->Handle()));
  // The click waits in the queue until the extraction processes pending messages.
  PostMessageA(frmCopy->btnCopyCancel->Handle(), BM_CLICK, 0, 0);
  frmCopy->ExtractFiles();
  EXPECT_FALSE(IsWindowVisible(frmCopy->Handle()));
  EXPECT_FALSE(frmCopy->Visible());
  ExpectNewFilesInstalled();
  EXPECT_EQ(frmCopy->Gauge1->Progress(), 99) << "updated on the hidden window too";
}

TEST(ExtractionProgress, AddsEachReportDividedByTheMemberCountAndNeverResets) {
  TApplication app;
  TInstallation installation("C:\\Kestrel");
  auto* form = new TfrmCopy(&app, installation);
  installation.MemberCount = 5;
  int32_t report = 40;
  form->Compress1ShowProgress(report);
  EXPECT_EQ(report, 40) << "the report is handed back unchanged";
  report = 99;
  form->Compress1ShowProgress(report);
  EXPECT_EQ(form->Gauge1->Progress(), 8 + 19);
  for (int i = 0; i < 10; ++i) form->Compress1ShowProgress(report);
  EXPECT_EQ(form->Gauge1->Progress(), 100) << "kept within the gauge's range";
  installation.MemberCount = 101;  // more than 100 members: every report adds 0
  auto* fresh = new TfrmCopy(&app, installation);
  report = 100;
  fresh->Compress1ShowProgress(report);
  EXPECT_EQ(fresh->Gauge1->Progress(), 0);
}

TEST(ExtractionWindow, IsABorderlessBoxOnTopWithTheLayoutsStartingValues) {
  TApplication app;
  SetLayoutPixelsPerInch(kDesignPixelsPerInch);
  TInstallation installation("C:\\Kestrel");
  auto* form = new TfrmCopy(&app, installation);
  SetLayoutPixelsPerInch(0);
  const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_NE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  RECT client;
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 305);
  EXPECT_EQ(client.bottom, 149);
  EXPECT_EQ(form->Label1->Caption(), ".");
  EXPECT_EQ(form->Label2->Caption(), "Extracting Files");
  EXPECT_EQ(form->btnCopyCancel->Caption(), "Cancel");
  EXPECT_EQ(form->Gauge1->Progress(), 0);
  EXPECT_TRUE(form->Compress1->MakeDirectories());
  EXPECT_TRUE(form->Compress1->ExceptionOnFileError());
  form->Show();
  RECT window;
  GetWindowRect(form->Handle(), &window);
  EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - 305) / 2) << "centred on the screen";
}

}  // namespace
