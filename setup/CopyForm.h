// The extraction window: a borderless box on top of the others that expands every member
// of the embedded archive into the destination, dealing with the files already there
// (keep the site database, back up, delete), with a caption line and a progress gauge.
#pragma once

#include <cstdint>

#include "compress/Compress.h"
#include "controls/Gauges.h"
#include "setup/Installation.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

class TfrmCopy : public TForm {
public:
  // Loads the layout: gauge at 0, caption line ".". The window installs `installation`,
  // which must outlive it.
  TfrmCopy(TComponent* owner, TInstallation& installation);

  TPanel* Panel3;
  TGauge* Gauge1;
  TLabel* Label1;
  TLabel* Label2;
  TButton* btnCopyCancel;
  TCompress* Compress1;

  // Expands every member into the installation's DestDir and sets its MemberCount. Raises
  // what the archive component raises, and EBackupError when a file to be replaced cannot
  // be backed up as asked (setup/ExistingFiles.h); the files written before stay.
  void ExtractFiles();

  void Compress1ShowProgress(int32_t& PercentageDone);
  void btnCopyCancelClick(TObject* sender);

private:
  TInstallation& installation_;
};

// The name of the embedded archive resource (type TCOMPRESS).
extern const char* const ArchiveResourceName;
