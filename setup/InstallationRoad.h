// The installation road: what Continue on the destination panel does, from the destination
// as typed to "Kestrel Setup Complete." and the end of the program.
#pragma once

#include <functional>
#include <string>

#include "setup/Installation.h"

// When the destination is no folder: asks whether to create it, and on Yes creates it, one
// level (the archive component creates deeper folders as it writes). False on No.
bool ConfirmDestination(const TInstallation& installation);

// The road from the backup question to "Kestrel Setup Complete." and the end of the
// program: extraction, shortcuts, README. Errors are not caught: they leave for the
// application's default handler, with the extraction window left on screen when the
// extraction failed.
void RunInstallation(TInstallation& installation);

// The destination as the installation uses it: a path typed relative to a folder ("K",
// "..\K", "\K", "C:K" on the list's drive, or nothing) is taken in `listFolder`, the
// folder the directory list shows; "." and ".." are resolved.
std::string AbsoluteDestination(const std::string& typed, const std::string& listFolder);

// Starts the README's command line in a normal window without waiting for it (by default
// the Notepad of the Windows folder); tests put a recorder here. Returns the previous
// starter; an empty one restores the default.
using TCommandStarter = std::function<void(const std::string& commandLine)>;
TCommandStarter SetCommandStarter(TCommandStarter starter);
// The default starter.
void StartSystemNotepad(const std::string& commandLine);

// The command line that opens the installed README: not quoted, as Notepad takes the rest
// of its command line as the file name.
std::string ReadmeCommandLine(const std::string& destDir);
