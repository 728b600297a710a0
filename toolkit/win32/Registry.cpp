#include "toolkit/win32/Registry.h"

#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Format.h"

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

std::string TRegistry::ReadString(const std::string& name) {
  if (!currentKey_) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(currentKey_.Get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      size == 0)
    return {};
  std::vector<char> data(size + 1, '\0');  // room for a zero the value may lack
  if (RegQueryValueExA(currentKey_.Get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    throw ERegistryException(Format(kFailedToGetData, name.c_str()));
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException(Format(kInvalidDataType, name.c_str()));
  return std::string(data.data());  // ends at the first zero character
}
