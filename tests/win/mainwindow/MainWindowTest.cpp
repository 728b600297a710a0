// The main window driven in-process at design scale, with the message boxes answered by a
// script: panel positions, the texts, moving between the panels, the directory list and
// drive box links, the unreadable drive and the close question.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/Installation.h"
#include "setup/MainForm.h"
#include "tests/support/ScriptedAnswerer_win32.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

namespace {

constexpr const char* kCloseQuestion =
    "Setup is not complete.  If you abort now, the program may not run properly.  Are you sure "
    "you want to cancel installation? ";

void Click(TButton* button) {
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
}

// What Windows tells the drive box's parent when the user picks entry index.
void PickDrive(TDriveComboBox* box, int index) {
  SendMessageA(box->Handle(), CB_SETCURSEL, index, 0);
  SendMessageA(GetParent(box->Handle()), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box->Handle()));
}

class MainWindow : public ::testing::Test {
protected:
  void SetUp() override {
    SetLayoutPixelsPerInch(kDesignPixelsPerInch);
    app.SetTitle("Setup");
    form = app.CreateForm<TfrmMain>();
  }
  void TearDown() override {
    SetLayoutPixelsPerInch(0);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  TScriptedAnswerer answerer;
  TApplication app;
  TfrmMain* form = nullptr;
};

TEST_F(MainWindow, CreationSetsTheTextsAndPlacesThePanelsOnce) {
  EXPECT_EQ(frmMain, form);
  EXPECT_EQ(form->Caption(), "Kestrel Setup");
  EXPECT_EQ(form->lblWelcome->Caption(), "Welcome to Kestrel Setup!");
  EXPECT_EQ(form->lblProgram->Caption(), "This program will install Kestrel on your system.");
  EXPECT_EQ(form->lblTopName->Caption(), "Kestrel 2.2");
  EXPECT_EQ(form->lblShadowName->Caption(), "Kestrel 2.2");
  EXPECT_EQ(form->lblProgramName->Caption(), "Kestrel 2.2");
  EXPECT_EQ(form->lblDestDir->Caption(), "Select a directory  for installation:");
  EXPECT_EQ(form->Width(), 675);
  EXPECT_EQ(form->Height(), 426);
  EXPECT_EQ(form->WelcomePanel->BoundsRect(), Bounds(190, 111, 295, 181));
  EXPECT_EQ(form->PathPanel->BoundsRect(), Bounds(180, 77, 314, 272));
  EXPECT_TRUE(form->WelcomePanel->Visible());
  EXPECT_FALSE(form->PathPanel->Visible());

  form->Show();  // maximised
  app.ProcessMessages();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  EXPECT_GT(form->Width(), 675);
  EXPECT_EQ(form->Gradient1->Width(), form->ClientRect().Width());
  EXPECT_EQ(form->WelcomePanel->BoundsRect(), Bounds(190, 111, 295, 181));
  EXPECT_EQ(form->PathPanel->BoundsRect(), Bounds(180, 77, 314, 272));
  EXPECT_TRUE(answerer.Questions().empty());
}

TEST_F(MainWindow, WelcomeContinueAlwaysResetsTheDestination) {
  form->dir->SetDirectory("C:\\");
  EXPECT_EQ(form->txtDestPath->Text(), "C:\\Kestrel");
  SetWindowTextA(form->txtDestPath->Handle(), "typed by hand");
  Click(form->btnContinue);
  EXPECT_EQ(form->txtDestPath->Text(), "C:\\Program Files\\Kestrel");
  EXPECT_FALSE(form->WelcomePanel->Visible());
  EXPECT_TRUE(form->PathPanel->Visible());
}

TEST_F(MainWindow, PickingADirectoryProposesItsKestrelSubdirectory) {
  CreateDirectoryA("C:\\Tools", nullptr);
  Click(form->btnContinue);
  form->dir->SetDirectory("C:\\");
  EXPECT_EQ(form->txtDestPath->Text(), "C:\\Kestrel");
  form->dir->SetDirectory("C:\\Tools");
  EXPECT_EQ(form->txtDestPath->Text(), "C:\\Tools\\Kestrel");
  EXPECT_EQ(AppendBackslash("C:\\Tools\\"), "C:\\Tools\\");
  EXPECT_EQ(AppendBackslash("C"), "C");
  EXPECT_EQ(AppendBackslash(""), "");
  RemoveDirectoryA("C:\\Tools");
}

// A drive letter that leads nowhere, defined for one test.
class UnreadableDrive {
public:
  UnreadableDrive() { DefineDosDeviceA(0, "Q:", "C:\\kestrel-no-such-folder"); }
  ~UnreadableDrive() { DefineDosDeviceA(DDD_REMOVE_DEFINITION, "Q:", nullptr); }
};

TEST(MainWindowDrives, AnUnreadableDriveIsReportedOnceAndThePreviousDriveComesBack) {
  UnreadableDrive q;
  SetLayoutPixelsPerInch(kDesignPixelsPerInch);
  TScriptedAnswerer answerer;
  TApplication app;
  auto* form = app.CreateForm<TfrmMain>();
  Click(form->btnContinue);
  const char before = form->drive->Drive();
  const std::string destination = form->txtDestPath->Text();
  const std::string directory = form->dir->Directory();
  int index = -1;
  for (int i = 0; i < form->drive->ItemCount(); ++i)
    if (form->drive->ItemDrive(i) == 'q') index = i;
  ASSERT_GE(index, 0) << "Q: is not among the drives";

  PickDrive(form->drive, index);
  ASSERT_EQ(answerer.Questions().size(), 1u);
  EXPECT_EQ(answerer.Questions()[0].text, "Unable to access q:\\");
  EXPECT_EQ(answerer.Questions()[0].type, mtError);
  EXPECT_EQ(answerer.Questions()[0].buttons, mbOKButton);
  EXPECT_EQ(form->LastDrive, before);
  EXPECT_EQ(form->drive->Drive(), before);
  const int shown = static_cast<int>(SendMessageA(form->drive->Handle(), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(form->drive->ItemDrive(shown), before);
  EXPECT_EQ(form->dir->Directory(), directory);
  EXPECT_EQ(form->txtDestPath->Text(), destination);

  // Started from a network folder the box shows no drive; an unreadable one is reported
  // once and the box shows none again.
  form->drive->SetDrive('\0');
  PickDrive(form->drive, index);
  ASSERT_EQ(answerer.Questions().size(), 2u);
  EXPECT_EQ(answerer.Questions()[1].text, "Unable to access q:\\");
  EXPECT_EQ(form->drive->Drive(), '\0');
  EXPECT_EQ(form->dir->Directory(), directory);
  SetLayoutPixelsPerInch(0);
}

TEST_F(MainWindow, ChoosingAReadableDriveMovesTheDirectoryList) {
  Click(form->btnContinue);
  ASSERT_EQ(form->dir->Drive(), form->drive->Drive());
  const char target = form->drive->Drive() == 'c' ? 'z' : 'c';
  int index = -1;
  for (int i = 0; i < form->drive->ItemCount(); ++i)
    if (form->drive->ItemDrive(i) == target) index = i;
  ASSERT_GE(index, 0);
  PickDrive(form->drive, index);
  EXPECT_TRUE(answerer.Questions().empty());
  EXPECT_EQ(form->drive->Drive(), target);
  EXPECT_EQ(form->dir->Drive(), target);
  EXPECT_EQ(form->txtDestPath->Text(), AppendBackslash(form->dir->Directory()) + "Kestrel");
}

TEST_F(MainWindow, CancelAndTheCloseBoxAskFirstNoKeepsEverything) {
  Click(form->btnCancel);
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  Click(form->btnContinue);
  Click(form->btnDestCancel);
  ASSERT_EQ(answerer.Questions().size(), 3u);
  for (const TMessageQuestion& q : answerer.Questions()) {
    EXPECT_EQ(q.text, kCloseQuestion);
    EXPECT_EQ(q.type, mtWarning);
    EXPECT_EQ(q.caption, "Warning");
    EXPECT_EQ(q.buttons, mbYesNo);
  }
  EXPECT_FALSE(app.Terminated());
  EXPECT_TRUE(form->PathPanel->Visible());
  EXPECT_EQ(form->txtDestPath->Text(), "C:\\Program Files\\Kestrel");
}

// A key pressed in a control, as the message loop receives it.
void PressKey(TApplication& app, HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
  app.ProcessMessages();
}

TEST_F(MainWindow, EnterPressesTheVisibleContinueAndEscDoesNothing) {
  const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);

  form->Show();
  app.ProcessMessages();
  PressKey(app, form->btnContinue->Handle(), VK_ESCAPE);
  EXPECT_TRUE(form->WelcomePanel->Visible());
  PressKey(app, form->btnContinue->Handle(), VK_RETURN);
  ASSERT_TRUE(form->PathPanel->Visible());
  EXPECT_TRUE(answerer.Questions().empty());

  // Enter in the typed path runs the destination's Continue with that path: it asks to
  // create the folder (No keeps the panel). The hidden welcome Continue would have put the
  // default path back without a question.
  const std::string typed = "C:\\kestrel-typed-by-hand";
  SetWindowTextA(form->txtDestPath->Handle(), typed.c_str());
  form->txtDestPath->SetFocus();
  PressKey(app, form->txtDestPath->Handle(), VK_ESCAPE);
  EXPECT_TRUE(answerer.Questions().empty());
  PressKey(app, form->txtDestPath->Handle(), VK_RETURN);
  ASSERT_EQ(answerer.Questions().size(), 1u);
  EXPECT_NE(answerer.Questions()[0].text.find(typed), std::string::npos)
      << answerer.Questions()[0].text;
  EXPECT_EQ(form->txtDestPath->Text(), typed);
  EXPECT_FALSE(app.Terminated());
}

TEST_F(MainWindow, YesEndsTheProgramWithoutAnotherBox) {
  answerer.Add(mrYes);
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(answerer.Questions().size(), 1u);
  EXPECT_EQ(answerer.Unscripted(), 0);
}

}  // namespace
