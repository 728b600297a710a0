// Opening the archive that travels as a resource of type "TCOMPRESS" inside the program or
// inside a library.
#include <windows.h>

#include "compress/Compress.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

namespace {

constexpr char kArchiveResourceType[] = "TCOMPRESS";
const std::string kLoadFailurePrefix = "Could not load ";
const std::string kLoadFailureSuffix = " DLL";

// A library loaded for as long as the object lives.
class TLoadedLibrary {
public:
  explicit TLoadedLibrary(const std::string& name) : module_(LoadLibraryA(name.c_str())) {
    if (module_ == nullptr) throw Exception(kLoadFailurePrefix + name + kLoadFailureSuffix);
  }
  ~TLoadedLibrary() { FreeLibrary(module_); }
  TLoadedLibrary(const TLoadedLibrary&) = delete;
  TLoadedLibrary& operator=(const TLoadedLibrary&) = delete;
  HMODULE Module() const { return module_; }

private:
  HMODULE module_;
};

// The resource's bytes live in the module's image, so a library that holds them stays
// loaded until the stream is freed.
class TResourceStream : public TReadOnlyMemoryStream {
public:
  TResourceStream(const void* data, int64_t size, std::unique_ptr<TLoadedLibrary> library)
      : TReadOnlyMemoryStream(data, size), library_(std::move(library)) {}

private:
  std::unique_ptr<TLoadedLibrary> library_;
};

}  // namespace

std::unique_ptr<TStream> TCompress::OpenArchiveResource(const std::string& ResName,
                                                        const std::string& LibraryName) {
  std::unique_ptr<TLoadedLibrary> library;
  if (!LibraryName.empty()) library = std::make_unique<TLoadedLibrary>(LibraryName);
  const HMODULE module = library ? library->Module() : GetModuleHandleA(nullptr);

  // The system's lookup ignores the case of names given as text.
  HRSRC found = FindResourceA(module, ResName.c_str(), kArchiveResourceType);
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw EResNotFound(ResName);
  return std::make_unique<TResourceStream>(data, SizeofResource(module, found), std::move(library));
}
