#include "toolkit/win32/FileCtrl.h"

#include <algorithm>
#include <cctype>

#include "toolkit/Characters.h"
#include "toolkit/Exception.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Paths.h"
#include "toolkit/win32/WideText.h"

namespace {
constexpr int kDropDownItems = 8;

// Without a trailing backslash, except for a drive's root ("c:\").
std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && EndsWithCharacter(path, '\\')) path.pop_back();
  return path;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

char LowerLetter(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A folder's name as the 8-bit calls can open it: the name itself, or, where the code page
// cannot write all its letters (a system without UTF-8), its short name; empty if neither.
std::string OpenableName(const WIN32_FIND_DATAW& data) {
  bool exact = false;
  std::string name = AnsiText(data.cFileName, &exact);
  if (exact) return name;
  name = AnsiText(data.cAlternateFileName, &exact);
  return exact ? name : std::string();
}

std::vector<std::string> Subdirectories(const std::string& directory) {
  std::vector<std::string> names;
  std::string pattern = directory;
  if (!EndsWithCharacter(pattern, '\\')) pattern += '\\';
  pattern += '*';
  // Found as 16-bit names: the 8-bit record holds MAX_PATH bytes, fewer than a long name
  // takes in UTF-8.
  WIN32_FIND_DATAW data;
  const FindHandle find(FindFirstFileW(WideText(pattern).c_str(), &data));
  if (!find) return names;
  do {
    const std::string name = OpenableName(data);
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !name.empty() && name != "." &&
        name != "..")
      names.push_back(name);
  } while (FindNextFileW(find.Get(), &data));
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  return names;
}

void FillWith(HDC dc, const RECT& r, COLORREF color) {
  BrushHandle brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush.Get());
}
}  // namespace

std::vector<std::string> PathFolders(const std::string& path) {
  std::vector<std::string> folders;
  const size_t root = RootLength(path);
  if (root == 0) return folders;
  folders.push_back(path.substr(0, root));
  for (size_t start = root; start < path.size();) {
    if (path[start] == '\\') {
      ++start;
      continue;
    }
    const size_t end = std::min(FindFirstCharacterOf(path, "\\", start), path.size());
    folders.push_back(path.substr(0, end));
    start = end;
  }
  return folders;
}

char PathDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))
             ? LowerLetter(path[0])
             : '\0';
}

// ---- TDirectoryListBox ----

TDirectoryListBox::TDirectoryListBox(TComponent* owner)
    : TWinControl(owner), directory_(WithoutTrailingBackslash(CurrentDirectory())) {
  SetTabStop(true);
  SetColor(clWindow);
  BuildList();
}

void TDirectoryListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = "LISTBOX";
  params.style &= ~WS_CLIPCHILDREN;
  params.style |=
      LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TDirectoryListBox::HandleCreated() {
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  FillListWindow();
}

void TDirectoryListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  if (HandleAllocated()) {
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
    Invalidate();
  }
}

char TDirectoryListBox::Drive() const {
  return directory_.empty() ? '\0' : LowerLetter(directory_[0]);
}

void TDirectoryListBox::SetDirectory(const std::string& directory) {
  if (directory.empty()) return;
  const std::string full = WithoutTrailingBackslash(FullPath(directory));
  if (lstrcmpiA(full.c_str(), directory_.c_str()) == 0) return;
  if (!IsDirectory(full)) throw EInOutError(ERROR_PATH_NOT_FOUND);
  directory_ = full;
  BuildList();
  Change();
}

void TDirectoryListBox::SetDrive(char drive) {
  if (LowerLetter(drive) == Drive()) return;
  const std::string root = std::string(1, drive) + ":";
  std::string full = WithoutTrailingBackslash(FullPath(root));  // the drive's own current one
  if (!IsDirectory(full)) full = root + "\\";
  if (!IsDirectory(full)) throw EInOutError(ERROR_PATH_NOT_FOUND);
  directory_ = full;
  BuildList();
  Change();
}

void TDirectoryListBox::Change() {
  if (OnChange) OnChange(this);
}

void TDirectoryListBox::BuildList() {
  entries_.clear();
  const std::vector<std::string> folders = PathFolders(directory_);
  for (size_t i = 0; i < folders.size(); ++i) {
    std::string text = folders[i];
    if (i == 0) {
      if (PathDrive(text)) text[0] = LowerLetter(text[0]);  // "c:\"; a share reads as it is
    } else {
      text = text.substr(FindLastCharacterOf(text, "\\") + 1);
    }
    entries_.push_back({folders[i], text, static_cast<int>(i), true});
  }
  current_ = static_cast<int>(entries_.size()) - 1;
  const int level = static_cast<int>(entries_.size());
  const std::string prefix = EndsWithCharacter(directory_, '\\') ? directory_ : directory_ + "\\";
  for (const std::string& name : Subdirectories(directory_))
    entries_.push_back({prefix + name, name, level, false});
  FillListWindow();
}

void TDirectoryListBox::FillListWindow() {
  if (!HandleAllocated()) return;
  HWND list = Handle();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const Entry& e : entries_)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str()));
  SendMessageA(list, LB_SETCURSEL, current_, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void TDirectoryListBox::OpenItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  SetDirectory(entries_[index].path);
}

void TDirectoryListBox::CommandNotify(WORD code) {
  if (code == LBN_DBLCLK) OpenItem(static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0)));
}

// Each entry: a small folder (open along the path, closed for subdirectories) indented by
// its level, then its name.
void TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) return;
  const Entry& e = entries_[item.itemID];
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool selected = item.itemState & ODS_SELECTED;
  FillWith(dc, r, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int unit = std::max(1, itemHeight_ / 2);
  const int x = r.left + 2 + e.level * unit;
  const int h = r.bottom - r.top;
  RECT folder{x, r.top + h / 4, x + unit * 2 - 2, r.bottom - h / 5};
  FillWith(dc, folder, RGB(128, 128, 0));
  RECT inner{folder.left + 1, folder.top + 1, folder.right - 1, folder.bottom - 1};
  FillWith(dc, inner, e.open ? RGB(255, 255, 192) : RGB(255, 255, 0));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT text{folder.right + 4, r.top, r.right, r.bottom};
  DrawTextW(dc, WideText(e.text).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

// ---- TDriveComboBox ----

TDriveComboBox::TDriveComboBox(TComponent* owner)
    : TWinControl(owner), drive_(PathDrive(CurrentDirectory())) {
  SetTabStop(true);
  SetColor(clWindow);
  BuildList();
}

void TDriveComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.systemClass = "COMBOBOX";
  params.style &= ~WS_CLIPCHILDREN;
  params.style |= CBS_DROPDOWNLIST | WS_VSCROLL;
}

int TDriveComboBox::WindowHeight() {
  return Height() * kDropDownItems;
}

void TDriveComboBox::BuildList() {
  letters_.clear();
  texts_.clear();
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    const char letter = static_cast<char>('a' + i);
    std::string text = std::string(1, letter) + ":";
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    char label[MAX_PATH + 1] = {};
    // Only fixed drives are asked for their label: asking a removable one may wait for it.
    if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
        GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                              0) &&
        label[0])
      text += std::string(" [") + label + "]";
    letters_.push_back(letter);
    texts_.push_back(text);
  }
}

void TDriveComboBox::HandleCreated() {
  for (const std::string& text : texts_)
    SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ShowDrive();
}

void TDriveComboBox::ShowDrive() {
  if (!HandleAllocated()) return;
  auto it = std::find(letters_.begin(), letters_.end(), drive_);
  SendMessageA(Handle(), CB_SETCURSEL, it == letters_.end() ? -1 : it - letters_.begin(), 0);
}

void TDriveComboBox::SetDrive(char drive) {
  drive = LowerLetter(drive);
  if (drive == drive_) return;
  drive_ = drive;
  ShowDrive();
  if (drive_ && OnChange) OnChange(this);
}

void TDriveComboBox::SelectItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETCURSEL, index, 0);
  Click();
  SetDrive(letters_[index]);
}

void TDriveComboBox::CommandNotify(WORD code) {
  if (code == CBN_SELCHANGE) {
    const int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= ItemCount()) return;
    Click();
    SetDrive(letters_[index]);
  }
}

// ---- layout properties ----

const TPropertyTable& DirectoryListBoxLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TDirectoryListBox> table{
      &WinControlLayoutProperties(),
      {
          {"ItemHeight", [](TDirectoryListBox& c, P p) { c.SetItemHeight(p.ScaledInteger()); }},
          {"OnChange", [](TDirectoryListBox& c, P p) { c.OnChange = p.Handler<TNotifyEvent>(); }},
      }};
  return table;
}

const TPropertyTable& DriveComboBoxLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TDriveComboBox> table{
      &WinControlLayoutProperties(),
      {
          {"OnChange", [](TDriveComboBox& c, P p) { c.OnChange = p.Handler<TNotifyEvent>(); }},
      }};
  return table;
}
