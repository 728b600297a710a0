// The main window: the gradient backdrop with the product's name, the welcome panel and
// the destination panel with its edit box, directory list and drive box.
#pragma once

#include "controls/Gradient.h"
#include "toolkit/win32/ExtCtrls.h"
#include "toolkit/win32/FileCtrl.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

class TfrmMain : public TForm {
public:
  // Loads the layout; frmMain refers to the window before FormCreate runs.
  explicit TfrmMain(TComponent* owner);
  ~TfrmMain() override;

  TGradient* Gradient1;
  TLabel* lblShadowName;
  TLabel* lblTopName;
  TLabel* Label4;
  TLabel* Label3;
  TPanel* WelcomePanel;
  TImage* imgIcon;
  TLabel* lblProgramName;
  TLabel* lblWelcome;
  TLabel* lblProgram;
  TLabel* Label1;
  TButton* btnContinue;
  TButton* btnCancel;
  TPanel* PathPanel;
  TLabel* lblDestDir;
  TEdit* txtDestPath;
  TButton* btnDirContinue;
  TButton* btnDestCancel;
  TDirectoryListBox* dir;
  TDriveComboBox* drive;

  void FormCreate(TObject* sender);
  void btnContinueClick(TObject* sender);
  void dirChange(TObject* sender);
  void driveClick(TObject* sender);
  void driveChange(TObject* sender);
  void btnDirContinueClick(TObject* sender);
  void btnCancelClick(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& CanClose);

  // Places both panels once, from the window's size as loaded, and hides PathPanel.
  void CenterPanels();
  // True when letter:\ is a directory; otherwise says so in an error box.
  bool CanAccessDrive(char letter);

  // The drive letter current in the drive box before the person's latest choice; 0 at
  // first.
  char LastDrive = '\0';
};

extern TfrmMain* frmMain;
