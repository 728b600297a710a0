#include "setup/MainForm.h"

#include <windows.h>

#include "compress/FileSystem.h"
#include "setup/Installation.h"
#include "setup/InstallationRoad.h"
#include "toolkit/StringList.h"
#include "toolkit/win32/Dialogs.h"

TfrmMain* frmMain = nullptr;

namespace {
constexpr const char* kLayoutResource = "FRMMAIN";
constexpr const char* kProductName = "Kestrel 2.2";
constexpr const char* kWindowCaption = "Kestrel Setup";
constexpr const char* kWelcomeText = "Welcome to Kestrel Setup!";
constexpr const char* kProgramText = "This program will install Kestrel on your system.";
constexpr const char* kDefaultDestination = "C:\\Program Files\\Kestrel";
constexpr const char* kDestinationFolder = "Kestrel";
constexpr const char* kUnableToAccess = "Unable to access ";
constexpr const char* kCloseQuestion =
    "Setup is not complete.  If you abort now, the program may not run properly.  Are you "
    "sure you want to cancel installation? ";
// The welcome panel sits this much above the window's middle.
constexpr int kWelcomeRaise = 12;
}  // namespace

TfrmMain::TfrmMain(TComponent* owner) : TForm(owner) {
  frmMain = this;
  RegisterGradient();
  LoadLayout(kLayoutResource, {
                                  {"FormCreate", Handler(&TfrmMain::FormCreate)},
                                  {"FormCloseQuery", Handler(&TfrmMain::FormCloseQuery)},
                                  {"btnContinueClick", Handler(&TfrmMain::btnContinueClick)},
                                  {"btnCancelClick", Handler(&TfrmMain::btnCancelClick)},
                                  {"btnDirContinueClick", Handler(&TfrmMain::btnDirContinueClick)},
                                  {"dirChange", Handler(&TfrmMain::dirChange)},
                                  {"driveClick", Handler(&TfrmMain::driveClick)},
                                  {"driveChange", Handler(&TfrmMain::driveChange)},
                              });
  BindField(Gradient1, "Gradient1");
  BindField(lblShadowName, "lblShadowName");
  BindField(lblTopName, "lblTopName");
  BindField(Label4, "Label4");
  BindField(Label3, "Label3");
  BindField(WelcomePanel, "WelcomePanel");
  BindField(imgIcon, "imgIcon");
  BindField(lblProgramName, "lblProgramName");
  BindField(lblWelcome, "lblWelcome");
  BindField(lblProgram, "lblProgram");
  BindField(Label1, "Label1");
  BindField(btnContinue, "btnContinue");
  BindField(btnCancel, "btnCancel");
  BindField(PathPanel, "PathPanel");
  BindField(lblDestDir, "lblDestDir");
  BindField(txtDestPath, "txtDestPath");
  BindField(btnDirContinue, "btnDirContinue");
  BindField(btnDestCancel, "btnDestCancel");
  BindField(dir, "dir");
  BindField(drive, "drive");
  DoCreate();
}

TfrmMain::~TfrmMain() {
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::FormCreate(TObject*) {
  frmMain->dir->SetDirectory(LowerCaseAscii(frmMain->dir->Directory()));
  lblWelcome->SetCaption(kWelcomeText);
  lblProgram->SetCaption(kProgramText);
  lblTopName->SetCaption(kProductName);
  lblShadowName->SetCaption(kProductName);
  frmMain->SetCaption(kWindowCaption);
  lblProgramName->SetCaption(kProductName);
  CenterPanels();
}

void TfrmMain::CenterPanels() {
  const int width = frmMain->Width();
  const int height = frmMain->Height();
  WelcomePanel->SetTop(height / 2 - WelcomePanel->Height() / 2 - kWelcomeRaise);
  WelcomePanel->SetLeft(width / 2 - WelcomePanel->Width() / 2);
  PathPanel->SetTop(height / 2 - PathPanel->Height() / 2);
  PathPanel->SetLeft(width / 2 - PathPanel->Width() / 2);
  PathPanel->Hide();
}

void TfrmMain::btnContinueClick(TObject*) {
  txtDestPath->SetText(kDefaultDestination);
  WelcomePanel->Hide();
  PathPanel->Show();
}

void TfrmMain::dirChange(TObject*) {
  txtDestPath->SetText(AppendBackslash(dir->Directory()) + kDestinationFolder);
}

void TfrmMain::driveClick(TObject*) {
  LastDrive = drive->Drive();
}

void TfrmMain::driveChange(TObject*) {
  const char letter = drive->Drive();
  if (CanAccessDrive(letter))
    dir->SetDrive(letter);
  else
    drive->SetDrive(LastDrive);
}

bool TfrmMain::CanAccessDrive(char letter) {
  const std::string root = std::string(1, letter) + ":\\";
  if (PlatformFileSystem().DirectoryExists(root)) return true;
  MessageDlg(kUnableToAccess + root, mtError, mbOKButton);
  return false;
}

// The whole installation, from the destination as typed to the end of the program. A
// relative destination is taken in the folder the person sees in the list, once, so that
// every step, and every question, names the same folder.
void TfrmMain::btnDirContinueClick(TObject*) {
  TInstallation installation(AbsoluteDestination(txtDestPath->Text(), dir->Directory()));
  if (!ConfirmDestination(installation)) return;  // the panel stays as it was
  PathPanel->Hide();
  RunInstallation(installation);
}

void TfrmMain::btnCancelClick(TObject*) {
  Close();
}

void TfrmMain::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = MessageDlg(kCloseQuestion, mtWarning, mbYesNo) == mrYes;
}
