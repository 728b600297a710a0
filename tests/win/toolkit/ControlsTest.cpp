// Controls on real windows: labels sized to their text, graphic controls painting into
// their parent, the drive box's event order, the directory list's change event.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ScriptedAnswerer_win32.h"
#include "toolkit/Exception.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/FileCtrl.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

namespace {

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner) : TForm(owner) { SetBounds(0, 0, 400, 300); }
};

// Measures text the way the parent's window would draw it.
SIZE TextSizeOn(HWND window, TFont& font, const std::string& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return SIZE{r.right, r.bottom};
}

TEST(Label, AutoSizeTakesTheSizeOfItsTextAfterCaptionAndFontChanges) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 300, 200);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetCaption("Select a directory  for installation:");
  label->Font().SetHeight(-13);
  const SIZE expected = TextSizeOn(panel->Handle(), label->Font(), label->Caption());
  EXPECT_GE(label->Width(), expected.cx);
  EXPECT_LE(label->Width(), expected.cx + expected.cy);
  EXPECT_EQ(label->Height(), expected.cy);

  label->SetWordWrap(true);
  label->SetWidth(60);
  label->SetCaption("one two three four five six");
  EXPECT_EQ(label->Width(), 60);
  EXPECT_GT(label->Height(), expected.cy * 2);  // several lines in the width
}

}  // namespace

namespace {

TEST(DriveComboBox, ClickSeesThePreviousDriveThenChangeSeesTheNewOne) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* box = new TDriveComboBox(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 150, 22);
  ASSERT_GE(box->ItemCount(), 2) << "needs two drives (Wine has c: and z:)";
  std::vector<std::string> events;
  box->OnClick = [&](TObject*) { events.push_back(std::string("click ") + box->Drive()); };
  box->OnChange = [&](TObject*) { events.push_back(std::string("change ") + box->Drive()); };
  const char start = box->Drive();
  int other = 0;
  while (box->ItemDrive(other) == start) ++other;
  const char target = box->ItemDrive(other);

  // The user's choice, as Windows reports it.
  SendMessageA(box->Handle(), CB_SETCURSEL, other, 0);
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box->Handle()));
  EXPECT_EQ(events, (std::vector<std::string>{std::string("click ") + start,
                                              std::string("change ") + target}));
  events.clear();
  box->SetDrive(target);  // no change, no event
  EXPECT_TRUE(events.empty());
  box->SetDrive(start);
  EXPECT_EQ(events, (std::vector<std::string>{std::string("change ") + start}));
}

TEST(DirectoryListBox, ChangeEventOnlyWhenTheDirectoryReallyChanges) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* list = new TDirectoryListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 150, 120);
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string base = std::string(temp) + "kestrel-dirlist";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "\\Tools").c_str(), nullptr);
  int changes = 0;
  list->OnChange = [&](TObject*) { ++changes; };

  list->SetDirectory(base);
  EXPECT_EQ(changes, 1);
  list->SetDirectory(base + "\\");  // the same directory
  std::string lower = base;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  list->SetDirectory(lower);  // names compare without case
  EXPECT_EQ(changes, 1);
  // The folders of the path, then the subdirectories; opening one moves there.
  EXPECT_EQ(list->ItemPath(0).substr(1), ":\\");
  EXPECT_EQ(list->ItemPath(list->ItemCount() - 1), base + "\\Tools");
  list->OpenItem(list->ItemCount() - 1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(list->Directory(), base + "\\Tools");
  EXPECT_THROW(list->SetDirectory(base + "\\no such folder"), EInOutError);
  EXPECT_EQ(list->Directory(), base + "\\Tools");

  list->SetDrive(list->Drive() == 'z' ? 'c' : 'z');
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(list->Directory().substr(1, 1), ":");
  RemoveDirectoryA((base + "\\Tools").c_str());
  RemoveDirectoryA(base.c_str());
}

// A folder with letters the code page cannot write (a system without UTF-8) is listed by
// its short name, which the 8-bit calls can open, not by a name with "?" in it.
TEST(DirectoryListBox, AFolderTheCodePageCannotWriteOpensByItsShortName) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* list = new TDirectoryListBox(form);
  list->SetParent(form);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring base = std::wstring(temp) + L"kestrel-dirlist-letters";
  const std::wstring folder = base + L"\\\u0141\u00f3d\u017a \u4e2d\u6587";
  CreateDirectoryW(base.c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);

  list->SetDirectory(std::string(base.begin(), base.end()));  // ASCII
  ASSERT_EQ(list->ItemPath(list->ItemCount() - 1).find('?'), std::string::npos);
  list->OpenItem(list->ItemCount() - 1);
  wchar_t opened[MAX_PATH] = {};
  const std::string shortPath = list->Directory();
  GetLongPathNameW(std::wstring(shortPath.begin(), shortPath.end()).c_str(), opened, MAX_PATH);
  EXPECT_EQ(lstrcmpiW(opened, folder.c_str()), 0) << shortPath;
  RemoveDirectoryW(folder.c_str());
  RemoveDirectoryW(base.c_str());
}

// Started from a network folder: the share is the root of the list, its folders follow,
// and the drive box shows no drive until one is chosen.
TEST(DirectoryListBox, ANetworkFolderHasItsShareAsTheRoot) {
  using Folders = std::vector<std::string>;
  EXPECT_EQ(
      PathFolders("\\\\server\\share\\dir\\sub"),
      (Folders{"\\\\server\\share", "\\\\server\\share\\dir", "\\\\server\\share\\dir\\sub"}));
  EXPECT_EQ(PathFolders("\\\\server\\share"), (Folders{"\\\\server\\share"}));
  EXPECT_EQ(PathFolders("c:\\"), (Folders{"c:\\"}));
  EXPECT_EQ(PathFolders("C:\\Tools\\Kestrel"),
            (Folders{"C:\\", "C:\\Tools", "C:\\Tools\\Kestrel"}));
  EXPECT_EQ(PathDrive("\\\\server\\share\\dir"), '\0');
  EXPECT_EQ(PathDrive("C:\\Tools"), 'c');

  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* box = new TDriveComboBox(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 150, 22);
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->SetDrive('\0');  // back to a network folder: nothing to check or move to
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCURSEL, 0, 0), CB_ERR);
  box->SelectItem(0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box->Drive(), box->ItemDrive(0));
}

TEST(Form, CloseAsksTheQueryMainFormEndsTheApplicationOthersHide) {
  TApplication app;
  auto* main = app.CreateForm<TTestForm>();
  auto* other = app.CreateForm<TTestForm>();
  bool allow = false;
  int asked = 0;
  main->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  other->Show();
  other->Close();
  EXPECT_FALSE(other->Visible());
  SendMessageA(main->Handle(), WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(app.Terminated());
  allow = true;
  main->Close();
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(app.Terminated());
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(WinControl, AnErrorInAHandlerReachesTheDefaultHandler) {
  TApplication app;
  app.SetTitle("Setup");
  TScriptedAnswerer answerer;
  auto* form = app.CreateForm<TTestForm>();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 80, 24);
  button->OnClick = [](TObject*) { throw EInvalidOperation("Cannot create file C:\\x"); };
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(answerer.Questions().size(), 1u);
  EXPECT_EQ(answerer.Questions()[0].text, "Cannot create file C:\\x.");
  EXPECT_EQ(answerer.Questions()[0].caption, "Setup");
}

TEST(WinControl, TabOrderIsTheWindowOrderAndEnterPressesTheVisibleDefaultButton) {
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  auto* first = new TButton(form);
  auto* second = new TButton(form);
  first->SetParent(form);
  second->SetParent(form);
  first->SetBounds(10, 10, 80, 24);
  second->SetBounds(10, 40, 80, 24);
  second->SetTabOrder(0);
  EXPECT_EQ(first->TabOrder(), 1);
  HWND top = GetWindow(form->Handle(), GW_CHILD);
  EXPECT_EQ(top, second->Handle());
  EXPECT_EQ(GetWindow(top, GW_HWNDNEXT), first->Handle());

  int clicks = 0;
  first->SetDefault(true);
  form->Show();  // only a visible default button counts
  first->OnClick = [&](TObject*) { ++clicks; };
  const LRESULT id = SendMessageA(form->Handle(), DM_GETDEFID, 0, 0);
  EXPECT_EQ(HIWORD(id), DC_HASDEFID);
  EXPECT_EQ(LOWORD(id), GetDlgCtrlID(first->Handle()));
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
