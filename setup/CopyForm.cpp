#include "setup/CopyForm.h"

#include <memory>

#include "setup/CompressComponent.h"
#include "setup/ExistingFiles.h"
#include "setup/Questions.h"
#include "toolkit/Stream.h"
#include "toolkit/StringList.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"

const char* const ArchiveResourceName = "data";

namespace {
constexpr const char* kLayoutResource = "FRMCOPY";
constexpr const char* kExtractingPrefix = "Extracting: ";
constexpr const char* kKeepSiteDatabaseQuestion =
    "There is currently a site database file. Do you want to keep the existing file? ";
}  // namespace

TfrmCopy::TfrmCopy(TComponent* owner, TInstallation& installation)
    : TForm(owner), installation_(installation) {
  RegisterGauge();
  RegisterCompressComponent();
  LoadLayout(kLayoutResource,
             {
                 {"btnCopyCancelClick", Handler(&TfrmCopy::btnCopyCancelClick)},
                 {"Compress1ShowProgress", Handler(&TfrmCopy::Compress1ShowProgress)},
             });
  BindField(Panel3, "Panel3");
  BindField(Gauge1, "Gauge1");
  BindField(Label1, "Label1");
  BindField(Label2, "Label2");
  BindField(btnCopyCancel, "btnCopyCancel");
  BindField(Compress1, "Compress1");
  DoCreate();
}

void TfrmCopy::ExtractFiles() {
  const std::unique_ptr<TStream> archive = TCompress::OpenArchiveResource(ArchiveResourceName, "");
  Compress1->SetMakeDirectories(true);
  Compress1->SetTargetPath(installation_.DestDir);
  TStringList members(/*ownsObjects=*/true);
  TStringList oneName;
  Compress1->ReadMemberList(*archive, members);
  installation_.MemberCount = members.Count();
  TExistingFiles existing(Compress1->FileSystem(), installation_);
  const auto keepSiteDatabase = [] { return AskYesUnlessClosing(kKeepSiteDatabaseQuestion); };

  for (int i = 0; i < installation_.MemberCount; ++i) {
    const std::string name = members[i];
    const auto& member = static_cast<const TCompressedFileInfo&>(*members.Objects(i));
    Label1->SetCaption(kExtractingPrefix + name);
    Application->ProcessMessages();
    if (existing.MakeRoomFor(name, member.ExpandedSize, keepSiteDatabase)) {
      oneName.Clear();
      oneName.Add(name);
      Compress1->ExpandMembers(*archive, &oneName);
    }
  }
}

// The engine reports each block's cumulative percentage of the member; each report is added
// as it comes, divided among the members, and the gauge keeps the sum within its range.
void TfrmCopy::Compress1ShowProgress(int32_t& PercentageDone) {
  Gauge1->SetProgress(Gauge1->Progress() + PercentageDone / installation_.MemberCount);
}

// The window has no close query, so closing hides it; the extraction goes on regardless.
void TfrmCopy::btnCopyCancelClick(TObject*) {
  Close();
}
