// A shell-link double: it records every call in order, answers a chosen result code for
// any method by name, and forwards the rest to the platform's real shell-link object, so
// the files it saves are real shortcuts. Each interface counts its own references.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

class ShellLinkDouble {
public:
  // The double that the installed factory hands out next; one at a time.
  static ShellLinkDouble* current;
  static HRESULT Factory(IShellLinkW** link);

  ShellLinkDouble();
  ~ShellLinkDouble();

  // Answer `result` from the named method ("SetPath", "Load", ...) instead of the real one.
  void Force(const std::string& method, HRESULT result) { forced_[method] = result; }

  std::vector<std::string> calls;
  int linkReferences = 0;  // held by the code under test on the IShellLinkW face
  int fileReferences = 0;  // held on the IPersistFile face
  int linkReleases = 0;
  int fileReleases = 0;
  int objectsMade = 0;

  // Called by the two faces: a forced failure code is answered without calling the real
  // object; a forced success code is answered after the real call has been made.
  template <typename RealCall>
  HRESULT Run(const std::string& method, RealCall real) {
    const auto forced = forced_.find(method);
    if (forced != forced_.end() && FAILED(forced->second)) return forced->second;
    const HRESULT result = real();
    return forced == forced_.end() ? result : forced->second;
  }
  HRESULT Answer(const std::string& method, HRESULT real);
  bool IsForced(const std::string& method) const { return forced_.count(method) != 0; }
  IShellLinkW* RealLink() const { return realLink_; }
  IPersistFile* RealFile() const { return realFile_; }
  IShellLinkW* LinkFace();
  IPersistFile* FileFace();

private:
  void MakeRealObject();
  void ReleaseRealObject();

  std::map<std::string, HRESULT> forced_;
  IShellLinkW* realLink_ = nullptr;
  IPersistFile* realFile_ = nullptr;
  IShellLinkW* linkFace_ = nullptr;
  IPersistFile* fileFace_ = nullptr;
};
