// The questions the setup puts on its road, as Yes/No message boxes.
#pragma once

#include <string>

#include "toolkit/win32/Dialogs.h"

// True when the person answers Yes.
bool AskYes(const std::string& question, TMsgDlgType type);

// A question whose Yes keeps the user's files (keep the site database, back up replaced
// files). Once a close has been confirmed, before the question or while it was up, the box
// closes unanswered: nobody said No, so the answer that loses nothing counts.
bool AskYesUnlessClosing(const std::string& question);
