#include "setup/CompressComponent.h"

#include "compress/Compress.h"
#include "toolkit/win32/Layout.h"

namespace {

const TPropertyTable& CompressLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TCompress> table{
      nullptr,
      {
          {"OnCompress", [](TCompress& c, P p) { c.SetOnCompress(p.Handler<TCompressEvent>()); }},
          {"OnExpand", [](TCompress& c, P p) { c.SetOnExpand(p.Handler<TExpandEvent>()); }},
          {"OnCheckFile",
           [](TCompress& c, P p) { c.SetOnCheckFile(p.Handler<TFilenameCheckEvent>()); }},
          {"OnRecognize",
           [](TCompress& c, P p) { c.SetOnRecognize(p.Handler<TRecognizeEvent>()); }},
          {"OnShowProgress",
           [](TCompress& c, P p) { c.SetOnShowProgress(p.Handler<TShowProgressEvent>()); }},
          {"TargetPath", [](TCompress& c, P p) { c.SetTargetPath(p.String()); }},
          {"MakeDirectories", [](TCompress& c, P p) { c.SetMakeDirectories(p.Boolean()); }},
          {"ExceptionOnFileError",
           [](TCompress& c, P p) { c.SetExceptionOnFileError(p.Boolean()); }},
      }};
  return table;
}

}  // namespace

void RegisterCompressComponent() {
  RegisterComponentClass(
      "TCompress", [](TComponent* owner) { return new TCompress(owner); },
      CompressLayoutProperties());
}
