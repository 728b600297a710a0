// The extraction window: a borderless box on top of the others that expands every member
// of the embedded archive into the destination, dealing with the files already there
// (keep the site database, back up, delete), with a caption line and a progress gauge.
#pragma once

#include <cstdint>

#include "compress/Compress.h"
#include "controls/Gauges.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

// A replaced file that could not be backed up, as the user asked; the file stays as it was.
KESTREL_DECLARE_EXCEPTION(EBackupError);

class TfrmCopy : public TForm {
public:
  // Loads the layout: gauge at 0, caption line ".".
  explicit TfrmCopy(TComponent* owner);

  TPanel* Panel3;
  TGauge* Gauge1;
  TLabel* Label1;
  TLabel* Label2;
  TButton* btnCopyCancel;
  TCompress* Compress1;

  // Expands every member into DestDir; sets DestDirSlash and MemberCount. Raises what the
  // archive component raises, and EBackupError when a file to be replaced cannot be backed
  // up as asked; the files written before stay.
  void ExtractFiles();

  void Compress1ShowProgress(int32_t& PercentageDone);
  void btnCopyCancelClick(TObject* sender);
};

// The name of the embedded archive resource (type TCOMPRESS).
extern const char* const ArchiveResourceName;
// The member whose existing file the user may keep, compared in upper case.
extern const char* const SiteDatabaseName;
// The folder under the destination that receives the replaced files.
extern const char* const BackupFolderName;
