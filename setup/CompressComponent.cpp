#include "setup/CompressComponent.h"

#include "compress/Compress.h"
#include "toolkit/win32/Layout.h"

namespace {

bool ApplyCompressProperty(TComponent& component, const std::string& property,
                           const TLayoutValue& value, TLayoutReader& reader) {
  auto* compress = dynamic_cast<TCompress*>(&component);
  if (!compress) return false;
  if (property == "OnCompress")
    compress->SetOnCompress(reader.Handler<TCompressEvent>(value));
  else if (property == "OnExpand")
    compress->SetOnExpand(reader.Handler<TExpandEvent>(value));
  else if (property == "OnCheckFile")
    compress->SetOnCheckFile(reader.Handler<TFilenameCheckEvent>(value));
  else if (property == "OnRecognize")
    compress->SetOnRecognize(reader.Handler<TRecognizeEvent>(value));
  else if (property == "OnShowProgress")
    compress->SetOnShowProgress(reader.Handler<TShowProgressEvent>(value));
  else if (property == "TargetPath")
    compress->SetTargetPath(reader.String(value));
  else if (property == "MakeDirectories")
    compress->SetMakeDirectories(reader.Boolean(value));
  else if (property == "ExceptionOnFileError")
    compress->SetExceptionOnFileError(reader.Boolean(value));
  else
    return false;
  return true;
}

}  // namespace

void RegisterCompressComponent() {
  RegisterComponentClass(
      "TCompress", [](TComponent* owner) { return new TCompress(owner); }, &ApplyCompressProperty);
}
