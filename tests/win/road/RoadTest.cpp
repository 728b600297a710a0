#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "ExtractionFixture.h"
#include "setup/CopyForm.h"
#include "setup/InstallationRoad.h"
#include "setup/MainForm.h"
#include "setup/SetupState.h"
#include "setup/ShellLink.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

namespace {

using ::testing::ElementsAre;

const char* const kBackupQuestion = "Do you want to backup replaced files ?";
const char* const kShortcutQuestion = "Add a shortcut to the Start Menu?";
const char* const kReadmeQuestion = "Do you want to view the README file now?";
const char* const kComplete = "Kestrel Setup Complete.";
const char* const kCloseQuestion =
    "Setup is not complete.  If you abort now, the program may not run properly.  Are you "
    "sure you want to cancel installation? ";

std::string CreateQuestion(const std::string& dir) {
  return "The directory " + dir + " does not exist. Create it?";
}

// What a person saw: "caption|text" of every box, in order.
std::vector<std::string> Seen(const TScriptedAnswerer& answers) {
  std::vector<std::string> seen;
  for (const TMessageQuestion& q : answers.Questions()) seen.push_back(q.caption + "|" + q.text);
  return seen;
}

TfrmCopy* FindCopyWindow(TApplication& app) {
  for (int i = 0; i < app.ComponentCount(); ++i)
    if (auto* form = dynamic_cast<TfrmCopy*>(app.Components(i))) return form;
  return nullptr;
}

class Road : public ::testing::Test {
protected:
  void SetUp() override {
    app.SetTitle("Setup");
    form = app.CreateForm<TfrmMain>();
    form->btnContinueClick(nullptr);  // on the destination panel, as a person gets there
    previousStarter = SetCommandStarter(
        [this](const std::string& commandLine) { started.push_back(commandLine); });
  }
  void TearDown() override {
    SetCommandStarter(previousStarter);
    // A road that ended posted the quit message; it must not end the next test's loop.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Types the destination and presses Continue; an error goes to the default handler as
  // it would from a click.
  void ContinueWith(const std::string& destination) {
    form->txtDestPath->SetText(destination);
    SendMessageA(form->btnDirContinue->Handle(), BM_CLICK, 0, 0);
  }

  TComLibrary com;  // as the program has it, for the shortcuts
  TApplication app;
  TfrmMain* form = nullptr;
  TScratchFolder scratch;
  std::vector<std::string> started;
  TCommandStarter previousStarter;
};

TEST_F(Road, FreshInstallationAsksInOrderStartsTheReadmeAndEnds) {
  const std::string dest = scratch / "Kestrel";
  TScriptedAnswerer answers{mrYes, mrNo, mrNo, mrYes};
  ContinueWith(dest);

  EXPECT_THAT(Seen(answers), ElementsAre("Confirm|" + CreateQuestion(dest),
                                         std::string("Confirm|") + kBackupQuestion,
                                         std::string("Confirm|") + kShortcutQuestion,
                                         std::string("Information|") + kReadmeQuestion,
                                         std::string("Setup|") + kComplete));
  EXPECT_EQ(answers.Questions()[3].type, mtInformation);
  EXPECT_EQ(answers.Questions()[3].buttons, mbYesNo);
  EXPECT_EQ(answers.Questions()[4].type, mtCustom);
  EXPECT_EQ(answers.Questions()[4].buttons, mbOKButton);
  EXPECT_THAT(started, ElementsAre("notepad " + dest + "\\readme.txt"));
  for (const TTestMember& m : TestMembers())
    EXPECT_EQ(ReadWholeFile(dest + "\\" + m.name), m.content) << m.name;
  EXPECT_EQ(DestDir, dest);
  EXPECT_FALSE(BackupReplaced);
  EXPECT_TRUE(app.Terminated()) << "ended without the close question";
  EXPECT_EQ(FindCopyWindow(app), nullptr) << "the extraction window is destroyed";
  EXPECT_FALSE(form->PathPanel->Visible());
}

TEST_F(Road, ReadmeCommandLineIsUnquoted) {
  EXPECT_EQ(ReadmeCommandLine("C:\\Program Files\\Kestrel"),
            "notepad C:\\Program Files\\Kestrel\\readme.txt");
  EXPECT_EQ(ReadmeCommandLine("C:\\"), "notepad C:\\readme.txt");
}

// An existing destination: no create question; backups on; shortcuts written through the
// shell; the README declined.
TEST_F(Road, ReinstallationWithBackupsAndShortcuts) {
  WriteWholeFile(scratch / "readme.txt", "old readme");
  TScriptedAnswerer answers{mrYes, mrYes, mrNo};
  ContinueWith(scratch.Path());

  EXPECT_THAT(Seen(answers), ElementsAre(std::string("Confirm|") + kBackupQuestion,
                                         std::string("Confirm|") + kShortcutQuestion,
                                         std::string("Information|") + kReadmeQuestion,
                                         std::string("Setup|") + kComplete));
  EXPECT_EQ(ReadWholeFile(scratch / "Backup\\readme.txt"), "old readme");
  EXPECT_EQ(ReadWholeFile(scratch / "readme.txt"), TestMembers()[0].content);
  EXPECT_TRUE(started.empty());
  for (const char* folder : {"Programs", "SendTo"}) {
    const std::string link = GetShellFolder(folder) + "\\Kestrel.lnk";
    EXPECT_TRUE(IsFile(link)) << link;
    DeleteFileA(link.c_str());
  }
  EXPECT_TRUE(app.Terminated());
}

TEST_F(Road, NoToCreateStaysOnTheDestinationPanelWithTheTypedText) {
  const std::string typed = scratch / "Typed by hand";
  TScriptedAnswerer answers{mrNo};
  ContinueWith(typed);

  EXPECT_THAT(Seen(answers), ElementsAre("Confirm|" + CreateQuestion(typed)));
  EXPECT_TRUE(form->PathPanel->Visible());
  EXPECT_EQ(form->txtDestPath->Text(), typed);
  EXPECT_FALSE(IsDirectory(typed));
  EXPECT_FALSE(app.Terminated());
}

TEST_F(Road, EmptyDestinationIsAskedAboutAsTyped) {
  TScriptedAnswerer answers{mrNo};
  ContinueWith("");
  EXPECT_THAT(Seen(answers), ElementsAre("Confirm|The directory  does not exist. Create it?"));
}

// A member file that cannot be created: the error box of the default handler instead of
// "Kestrel Setup Complete.", the extraction window left up, both panels of the main
// window hidden and the program still running.
TEST_F(Road, ExtractionErrorReachesTheDefaultHandlerAndStopsTheRoad) {
  MakeDirectory(scratch / "whatsnew.txt");
  TScriptedAnswerer answers{mrNo};
  ContinueWith(scratch.Path());

  ASSERT_EQ(answers.Questions().size(), 2u);
  const TMessageQuestion& box = answers.Questions()[1];
  EXPECT_EQ(box.caption, "Setup");
  EXPECT_EQ(box.type, mtError);
  EXPECT_EQ(box.buttons, mbOKButton);
  EXPECT_THAT(box.text, ::testing::StartsWith("Cannot create file "));
  EXPECT_THAT(box.text, ::testing::EndsWith("whatsnew.txt."));
  TfrmCopy* copy = FindCopyWindow(app);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(IsWindowVisible(copy->Handle()));
  EXPECT_FALSE(form->PathPanel->Visible());
  EXPECT_FALSE(form->WelcomePanel->Visible());
  EXPECT_FALSE(app.Terminated());
  EXPECT_TRUE(started.empty());
}

// The close box pressed during the extraction and confirmed: every member is still
// written, the later boxes close at once with No, and the program ends.
TEST_F(Road, CloseConfirmedDuringTheExtractionLetsItFinishThenEnds) {
  TScriptedAnswerer answers{mrNo, mrYes};
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);  // waits for the extraction's message pump
  ContinueWith(scratch.Path());

  EXPECT_THAT(Seen(answers), ElementsAre(std::string("Confirm|") + kBackupQuestion,
                                         std::string("Warning|") + kCloseQuestion));
  for (const TTestMember& m : TestMembers())
    EXPECT_EQ(ReadWholeFile(scratch / m.name), m.content) << m.name;
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(FindCopyWindow(app), nullptr);
}

}  // namespace
