#include "toolkit/win32/Registry.h"

#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Format.h"
#include "toolkit/win32/WideText.h"

namespace {
constexpr const char* kInvalidDataType = "Invalid data type for '%s'";
constexpr const char* kFailedToGetData = "Failed to get data for '%s'";
}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() {
  CloseKey();
}

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  rootKey_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  CloseKey();
  HKEY opened = nullptr;
  LONG result;
  if (canCreate) {
    result = RegCreateKeyExA(rootKey_, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                             nullptr, &opened, nullptr);
  } else {
    result = RegOpenKeyExA(rootKey_, key.c_str(), 0, access_, &opened);
  }
  if (result != ERROR_SUCCESS) return false;
  currentKey_.Reset(opened);
  return true;
}

void TRegistry::CloseKey() {
  currentKey_.Reset();
}

// Read as 16-bit text and converted here: the 8-bit read reports a size that need not fit
// the converted text, and would write a letter outside the code page as a look-alike.
std::string TRegistry::ReadString(const std::string& name) {
  if (!currentKey_) return {};
  const std::wstring wideName = WideText(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(currentKey_.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0)
    return {};
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1,
                            L'\0');  // room for a zero the value may lack
  if (RegQueryValueExW(currentKey_.Get(), wideName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    throw ERegistryException(Format(kFailedToGetData, name.c_str()));
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException(Format(kInvalidDataType, name.c_str()));
  return AnsiText(data.data());  // ends at the first zero character
}
