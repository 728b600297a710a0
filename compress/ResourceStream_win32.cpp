// Opening the archive that travels as a resource of type "TCOMPRESS" inside the program or
// inside a library.
#include <windows.h>

#include "compress/Compress.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/Stream.h"

namespace {

constexpr char kArchiveResourceType[] = "TCOMPRESS";
const std::string kLoadFailurePrefix = "Could not load ";
const std::string kLoadFailureSuffix = " DLL";

// The resource's bytes live in the module's image, so a library that holds them stays
// loaded until the stream is freed.
class TResourceStream : public TReadOnlyMemoryStream {
public:
  TResourceStream(const void* data, int64_t size, LoadedModule library)
      : TReadOnlyMemoryStream(data, size), library_(std::move(library)) {}

private:
  LoadedModule library_;
};

}  // namespace

std::unique_ptr<TStream> TCompress::OpenArchiveResource(const std::string& ResName,
                                                        const std::string& LibraryName) {
  LoadedModule library;
  if (!LibraryName.empty()) {
    library.Reset(LoadLibraryA(LibraryName.c_str()));
    if (!library) throw Exception(kLoadFailurePrefix + LibraryName + kLoadFailureSuffix);
  }
  const HMODULE module = library ? library.Get() : GetModuleHandleA(nullptr);

  // The system's lookup ignores the case of names given as text.
  HRSRC found = FindResourceA(module, ResName.c_str(), kArchiveResourceType);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw EResNotFound(ResName);
  return std::make_unique<TResourceStream>(data, SizeofResource(module, found), std::move(library));
}
