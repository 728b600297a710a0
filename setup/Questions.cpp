#include "setup/Questions.h"

#include "toolkit/win32/Application.h"

bool AskYes(const std::string& question, TMsgDlgType type) {
  return MessageDlg(question, type, mbYesNo) == mrYes;
}

bool AskYesUnlessClosing(const std::string& question) {
  const bool yes = AskYes(question, mtConfirmation);
  return yes || (Application && Application->Terminated());
}
