#include "tests/win/shelllink/ShellLinkDouble.h"

#include <string>
#include <utility>

namespace {

// The 16-bit texts the code under test passes, recorded in the process's code page.
std::string Narrow(LPCWSTR text) {
  if (!text) return "(null)";
  char buffer[2 * MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

class LinkFace final : public IShellLinkW {
public:
  explicit LinkFace(ShellLinkDouble& owner) : d_(owner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IPersistFile) {
      d_.calls.push_back("QueryInterface(IPersistFile)");
      if (d_.IsForced("QueryInterface")) {
        *out = nullptr;
        return d_.Answer("QueryInterface", S_OK);
      }
      *out = d_.FileFace();
      d_.FileFace()->AddRef();
      return S_OK;
    }
    if (iid == IID_IUnknown || iid == IID_IShellLinkW) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++d_.linkReferences; }
  ULONG STDMETHODCALLTYPE Release() override {
    d_.calls.push_back("Release(IShellLinkW)");
    ++d_.linkReleases;
    return --d_.linkReferences;
  }

  HRESULT STDMETHODCALLTYPE GetPath(LPWSTR file, int size, WIN32_FIND_DATAW* data,
                                    DWORD flags) override {
    return d_.RealLink()->GetPath(file, size, data, flags);
  }
  HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE* list) override {
    return d_.RealLink()->GetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE list) override {
    return d_.RealLink()->SetIDList(list);
  }
  HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR text, int size) override {
    return d_.RealLink()->GetDescription(text, size);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR text) override {
    d_.calls.push_back("SetDescription(" + Narrow(text) + ")");
    return d_.Run("SetDescription", [&] { return d_.RealLink()->SetDescription(text); });
  }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR text, int size) override {
    return d_.RealLink()->GetWorkingDirectory(text, size);
  }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR text) override {
    d_.calls.push_back("SetWorkingDirectory(" + Narrow(text) + ")");
    return d_.Run("SetWorkingDirectory", [&] { return d_.RealLink()->SetWorkingDirectory(text); });
  }
  HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR text, int size) override {
    return d_.RealLink()->GetArguments(text, size);
  }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR text) override {
    d_.calls.push_back("SetArguments(" + Narrow(text) + ")");
    return d_.Run("SetArguments", [&] { return d_.RealLink()->SetArguments(text); });
  }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD* key) override { return d_.RealLink()->GetHotkey(key); }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD key) override {
    d_.calls.push_back("SetHotkey(" + std::to_string(key) + ")");
    return d_.Run("SetHotkey", [&] { return d_.RealLink()->SetHotkey(key); });
  }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int* show) override {
    return d_.RealLink()->GetShowCmd(show);
  }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int show) override {
    d_.calls.push_back("SetShowCmd(" + std::to_string(show) + ")");
    return d_.Run("SetShowCmd", [&] { return d_.RealLink()->SetShowCmd(show); });
  }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR text, int size, int* index) override {
    return d_.RealLink()->GetIconLocation(text, size, index);
  }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR text, int index) override {
    d_.calls.push_back("SetIconLocation(" + Narrow(text) + "," + std::to_string(index) + ")");
    return d_.Run("SetIconLocation", [&] { return d_.RealLink()->SetIconLocation(text, index); });
  }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR text, DWORD reserved) override {
    return d_.RealLink()->SetRelativePath(text, reserved);
  }
  HRESULT STDMETHODCALLTYPE Resolve(HWND window, DWORD flags) override {
    d_.calls.push_back("Resolve(" + std::to_string(reinterpret_cast<UINT_PTR>(window)) + "," +
                       std::to_string(flags) + ")");
    return d_.Run("Resolve", [&] { return d_.RealLink()->Resolve(window, flags); });
  }
  HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR text) override {
    d_.calls.push_back("SetPath(" + Narrow(text) + ")");
    return d_.Run("SetPath", [&] { return d_.RealLink()->SetPath(text); });
  }

private:
  ShellLinkDouble& d_;
};

class FileFace final : public IPersistFile {
public:
  explicit FileFace(ShellLinkDouble& owner) : d_(owner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return d_.LinkFace()->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++d_.fileReferences; }
  ULONG STDMETHODCALLTYPE Release() override {
    d_.calls.push_back("Release(IPersistFile)");
    ++d_.fileReleases;
    return --d_.fileReferences;
  }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override { return d_.RealFile()->GetClassID(id); }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return d_.RealFile()->IsDirty(); }
  HRESULT STDMETHODCALLTYPE Load(LPCOLESTR name, DWORD mode) override {
    d_.calls.push_back("Load(" + Narrow(name) + "," + std::to_string(mode) + ")");
    return d_.Run("Load", [&] { return d_.RealFile()->Load(name, mode); });
  }
  HRESULT STDMETHODCALLTYPE Save(LPCOLESTR name, BOOL remember) override {
    d_.calls.push_back("Save(" + Narrow(name) + "," + std::to_string(remember) + ")");
    return d_.Run("Save", [&] { return d_.RealFile()->Save(name, remember); });
  }
  HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR name) override {
    return d_.RealFile()->SaveCompleted(name);
  }
  HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR* name) override {
    return d_.RealFile()->GetCurFile(name);
  }

private:
  ShellLinkDouble& d_;
};

}  // namespace

ShellLinkDouble* ShellLinkDouble::current = nullptr;

HRESULT ShellLinkDouble::Factory(IShellLinkW** link) {
  current->calls.push_back("NewShellLinkObject");
  ++current->objectsMade;
  if (current->IsForced("NewShellLinkObject")) {
    *link = nullptr;
    return current->Answer("NewShellLinkObject", S_OK);
  }
  current->MakeRealObject();
  current->LinkFace()->AddRef();
  *link = current->LinkFace();
  return S_OK;
}

ShellLinkDouble::ShellLinkDouble() {
  linkFace_ = new class LinkFace(*this);
  fileFace_ = new class FileFace(*this);
}

ShellLinkDouble::~ShellLinkDouble() {
  ReleaseRealObject();
  delete static_cast<class FileFace*>(fileFace_);
  delete static_cast<class LinkFace*>(linkFace_);
}

// Each object handed out stands for a fresh platform object, as CoCreateInstance gives.
void ShellLinkDouble::MakeRealObject() {
  ReleaseRealObject();
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                   reinterpret_cast<void**>(&realLink_));
  if (realLink_) realLink_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&realFile_));
}

void ShellLinkDouble::ReleaseRealObject() {
  if (realFile_) std::exchange(realFile_, nullptr)->Release();
  if (realLink_) std::exchange(realLink_, nullptr)->Release();
}

HRESULT ShellLinkDouble::Answer(const std::string& method, HRESULT real) {
  const auto forced = forced_.find(method);
  return forced == forced_.end() ? real : forced->second;
}

IShellLinkW* ShellLinkDouble::LinkFace() {
  return linkFace_;
}

IPersistFile* ShellLinkDouble::FileFace() {
  return fileFace_;
}
