// Read access to the Windows registry: open an existing key under a root, read string
// values, close. Every accessor closes what it opened when it goes.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/Handles_win32.h"
#include "toolkit/Object.h"

class TRegistry : public TObject {
public:
  // Root HKEY_CURRENT_USER; keys are opened with the access given here. Reading is all
  // the program does, and a profile may allow no more than that.
  explicit TRegistry(REGSAM access = KEY_READ);
  ~TRegistry() override;

  HKEY RootKey() const { return rootKey_; }
  void SetRootKey(HKEY root);

  // Opens key below the root. Without canCreate a missing key is not created and the call
  // returns false; with it the key is created. A key that was open is closed first.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  HKEY CurrentKey() const { return currentKey_.Get(); }

  // The text of a string or expandable-string value of the open key, up to its first zero
  // character; empty when no key is open, the value is missing or its size is 0. Raises
  // ERegistryException "Invalid data type for '%s'" for any other value type and
  // "Failed to get data for '%s'" when the data cannot be read after its size was known.
  std::string ReadString(const std::string& name);

private:
  HKEY rootKey_ = HKEY_CURRENT_USER;
  RegistryKey currentKey_;
  REGSAM access_;
};
