#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "ExtractionFixture.h"
#include "setup/CopyForm.h"
#include "setup/Installation.h"
#include "setup/InstallationRoad.h"
#include "setup/MainForm.h"
#include "setup/ProcessSafety.h"
#include "setup/ShellLink.h"
#include "tests/support/CodePageRun_win32.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/ScriptedAnswerer_win32.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Dialogs.h"
#include "toolkit/win32/WideText.h"

namespace {

using ::testing::ElementsAre;

const char* const kBackupQuestion = "Do you want to backup replaced files ?";
const char* const kShortcutQuestion = "Add a shortcut to the Start Menu?";
const char* const kReadmeQuestion = "Do you want to view the README file now?";
const char* const kComplete = "Kestrel Setup Complete.";
const char* const kSitesQuestion =
    "There is currently a site database file. Do you want to keep the existing file? ";
const char* const kUsersSites = "[sites]\r\nhome=ftp.users-own.test\r\n";
const char* const kCloseQuestion =
    "Setup is not complete.  If you abort now, the program may not run properly.  Are you "
    "sure you want to cancel installation? ";

std::string CreateQuestion(const std::string& dir) {
  return "The directory " + dir + " does not exist. Create it?";
}

// What a person saw: "caption|text" of every box, in order.
std::vector<std::string> Seen(const TScriptedAnswerer& answers) {
  std::vector<std::string> seen;
  for (const TMessageQuestion& q : answers.Questions()) seen.push_back(q.caption + "|" + q.text);
  return seen;
}

// The boxes of an installation into a folder that does not exist yet, to the end.
std::vector<std::string> EveryBoxOfANewFolder(const std::string& dest) {
  return {"Confirm|" + CreateQuestion(dest), std::string("Confirm|") + kBackupQuestion,
          std::string("Confirm|") + kShortcutQuestion,
          std::string("Information|") + kReadmeQuestion, std::string("Setup|") + kComplete};
}

TfrmCopy* FindCopyWindow(TApplication& app) {
  for (int i = 0; i < app.ComponentCount(); ++i)
    if (auto* form = dynamic_cast<TfrmCopy*>(app.Components(i))) return form;
  return nullptr;
}

class Road : public ::testing::Test {
protected:
  void SetUp() override {
    app.SetTitle("Setup");
    form = app.CreateForm<TfrmMain>();
    form->btnContinueClick(nullptr);  // on the destination panel, as a person gets there
    previousStarter = SetCommandStarter(
        [this](const std::string& commandLine) { started.push_back(commandLine); });
  }
  void TearDown() override {
    SetCommandStarter(previousStarter);
    // A road that ended posted the quit message; it must not end the next test's loop.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Types the destination and presses Continue; an error goes to the default handler as
  // it would from a click.
  void ContinueWith(const std::string& destination) {
    form->txtDestPath->SetText(destination);
    SendMessageA(form->btnDirContinue->Handle(), BM_CLICK, 0, 0);
  }

  ComLibrary com;  // as the program has it, for the shortcuts
  TApplication app;
  TfrmMain* form = nullptr;
  TScratchFolder scratch;
  std::vector<std::string> started;
  TCommandStarter previousStarter;
};

TEST_F(Road, FreshInstallationAsksInOrderStartsTheReadmeAndEnds) {
  const std::string dest = scratch / "Kestrel";
  TScriptedAnswerer answers{mrYes, mrNo, mrNo, mrYes};
  ContinueWith(dest);

  EXPECT_EQ(Seen(answers), EveryBoxOfANewFolder(dest));
  EXPECT_EQ(answers.Questions()[3].type, mtInformation);
  EXPECT_EQ(answers.Questions()[3].buttons, mbYesNo);
  EXPECT_EQ(answers.Questions()[4].type, mtCustom);
  EXPECT_EQ(answers.Questions()[4].buttons, mbOKButton);
  EXPECT_THAT(started, ElementsAre("notepad " + dest + "\\readme.txt"));
  for (const TTestMember& m : TestMembers())
    EXPECT_EQ(ReadWholeFile(dest + "\\" + m.name), m.content) << m.name;
  EXPECT_TRUE(app.Terminated()) << "ended without the close question";
  EXPECT_EQ(FindCopyWindow(app), nullptr) << "the extraction window is destroyed";
  EXPECT_FALSE(form->PathPanel->Visible());
}

// Owned by the main window, so Windows gives it no taskbar button of its own ("frmCopy");
// still borderless, on top and centred.
TEST_F(Road, ExtractionWindowBelongsToTheMainWindow) {
  TInstallation installation(scratch.Path());
  TfrmCopy* copy = new TfrmCopy(&app, installation);
  copy->Show();
  HWND window = copy->Handle();
  EXPECT_EQ(GetWindow(window, GW_OWNER), form->Handle());
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  delete copy;
}

TEST_F(Road, ReadmeCommandLineIsUnquoted) {
  EXPECT_EQ(ReadmeCommandLine("C:\\Program Files\\Kestrel"),
            "notepad C:\\Program Files\\Kestrel\\readme.txt");
  EXPECT_EQ(ReadmeCommandLine("C:\\"), "notepad C:\\readme.txt");
}

// An existing destination: no create question; backups on; shortcuts written through the
// shell; the README declined.
TEST_F(Road, ReinstallationWithBackupsAndShortcuts) {
  WriteWholeFile(scratch / "readme.txt", "old readme");
  TScriptedAnswerer answers{mrYes, mrYes, mrNo};
  ContinueWith(scratch.Path());

  EXPECT_THAT(Seen(answers), ElementsAre(std::string("Confirm|") + kBackupQuestion,
                                         std::string("Confirm|") + kShortcutQuestion,
                                         std::string("Information|") + kReadmeQuestion,
                                         std::string("Setup|") + kComplete));
  EXPECT_EQ(ReadWholeFile(scratch / "Backup\\readme.txt"), "old readme");
  EXPECT_EQ(ReadWholeFile(scratch / "readme.txt"), TestMembers()[0].content);
  EXPECT_TRUE(started.empty());
  for (const char* folder : {"Programs", "SendTo"}) {
    const std::string link = GetShellFolder(folder) + "\\Kestrel.lnk";
    EXPECT_TRUE(IsFile(link)) << link;
    DeleteFileA(link.c_str());
  }
  EXPECT_TRUE(app.Terminated());
}

TEST_F(Road, NoToCreateStaysOnTheDestinationPanelWithTheTypedText) {
  const std::string typed = scratch / "Typed by hand";
  TScriptedAnswerer answers{mrNo};
  ContinueWith(typed);

  EXPECT_THAT(Seen(answers), ElementsAre("Confirm|" + CreateQuestion(typed)));
  EXPECT_TRUE(form->PathPanel->Visible());
  EXPECT_EQ(form->txtDestPath->Text(), typed);
  EXPECT_FALSE(IsDirectory(typed));
  EXPECT_FALSE(app.Terminated());
}

// A destination typed relative to a folder is the folder the directory list shows, for
// every step: the question names it, the existing site database there is asked about,
// and the files, the README and the shortcut all go there.
TEST_F(Road, ARelativeDestinationIsTakenInTheListsFolderForEveryStep) {
  form->dir->SetDirectory(scratch.Path());
  MakeDirectory(scratch / "K");
  WriteWholeFile(scratch / "K\\sites.ini", kUsersSites);
  TScriptedAnswerer answers{mrNo, mrYes, mrNo, mrYes};
  ContinueWith("K");

  EXPECT_THAT(Seen(answers), ElementsAre(std::string("Confirm|") + kBackupQuestion,
                                         std::string("Confirm|") + kSitesQuestion,
                                         std::string("Confirm|") + kShortcutQuestion,
                                         std::string("Information|") + kReadmeQuestion,
                                         std::string("Setup|") + kComplete));
  EXPECT_EQ(ReadWholeFile(scratch / "K\\sites.ini"), kUsersSites);
  EXPECT_EQ(ReadWholeFile(scratch / "K\\readme.txt"), TestMembers()[0].content);
  EXPECT_THAT(started, ElementsAre("notepad " + scratch / "K\\readme.txt"));
  EXPECT_FALSE(IsFile(scratch / "Kreadme.txt"));
}

TEST(Destination, IsMadeWholeAgainstTheListsFolder) {
  const struct {
    const char* typed;
    const char* whole;
  } rows[] = {
      {"K", "C:\\list\\here\\K"},
      {"", "C:\\list\\here"},
      {"..\\K", "C:\\list\\K"},
      {".\\K\\", "C:\\list\\here\\K\\"},
      {"\\K", "C:\\K"},
      {"c:K", "C:\\list\\here\\K"},
      {"C:\\Program Files\\Kestrel", "C:\\Program Files\\Kestrel"},
      {"C:\\a\\..\\Kestrel", "C:\\Kestrel"},
      {"\\\\server\\share\\Kestrel", "\\\\server\\share\\Kestrel"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(AbsoluteDestination(row.typed, "C:\\list\\here"), row.whole) << row.typed;
}

// A member file that cannot be created: the error box of the default handler instead of
// "Kestrel Setup Complete.", the extraction window left up, both panels of the main
// window hidden and the program still running.
TEST_F(Road, ExtractionErrorReachesTheDefaultHandlerAndStopsTheRoad) {
  MakeDirectory(scratch / "whatsnew.txt");
  TScriptedAnswerer answers{mrNo};
  ContinueWith(scratch.Path());

  ASSERT_EQ(answers.Questions().size(), 2u);
  const TMessageQuestion& box = answers.Questions()[1];
  EXPECT_EQ(box.caption, "Setup");
  EXPECT_EQ(box.type, mtError);
  EXPECT_EQ(box.buttons, mbOKButton);
  EXPECT_THAT(box.text, ::testing::StartsWith("Cannot create file "));
  EXPECT_THAT(box.text, ::testing::EndsWith("whatsnew.txt."));
  TfrmCopy* copy = FindCopyWindow(app);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(IsWindowVisible(copy->Handle()));
  EXPECT_FALSE(form->PathPanel->Visible());
  EXPECT_FALSE(form->WelcomePanel->Visible());
  EXPECT_FALSE(app.Terminated());
  EXPECT_TRUE(started.empty());
}

// The close box pressed during the extraction and confirmed: every member is still
// written, the later boxes close at once with No, and the program ends. The site-database
// question is never put, so the user's file stays as it was.
TEST_F(Road, CloseConfirmedDuringTheExtractionLetsItFinishThenEnds) {
  WriteWholeFile(scratch / "sites.ini", kUsersSites);
  TScriptedAnswerer answers{mrNo, mrYes};
  PostMessageA(form->Handle(), WM_CLOSE, 0, 0);  // waits for the extraction's message pump
  ContinueWith(scratch.Path());

  EXPECT_THAT(Seen(answers), ElementsAre(std::string("Confirm|") + kBackupQuestion,
                                         std::string("Warning|") + kCloseQuestion));
  for (const TTestMember& m : TestMembers())
    if (m.name != "Sites.INI") {
      EXPECT_EQ(ReadWholeFile(scratch / m.name), m.content) << m.name;
    }
  EXPECT_EQ(ReadWholeFile(scratch / "sites.ini"), kUsersSites);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(FindCopyWindow(app), nullptr);
}

// The real boxes, answered by a timer inside their modal loops as a person would: each step
// waits for the box with its text, checks what the person could reach, then acts.
enum class Act { Yes, No, Ok, PressCloseBox, CancelCopyWindow };
struct Step {
  std::string text;
  Act act;
};

class BoxRobot {
public:
  BoxRobot(TApplication& app, TfrmMain& main, std::vector<Step> steps)
      : app_(app), main_(main), steps_(std::move(steps)) {
    current = this;
    timer_ = SetTimer(nullptr, 0, 50, &Tick);
  }
  ~BoxRobot() {
    KillTimer(nullptr, timer_);
    current = nullptr;
  }
  size_t Done() const { return done_; }
  std::vector<std::string> notes;  // what was wrong when a step ran
  std::vector<HWND> boxes;         // the box each step acted on

private:
  struct BoxSearch {
    const std::string* text;
    HWND found;
  };
  // Finds a visible message box of this thread that shows the text. A callback of the
  // system's own calling convention, which a lambda does not convert to on 32-bit Windows.
  static BOOL CALLBACK MatchBox(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<BoxSearch*>(data);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (!IsWindowVisible(w) || lstrcmpA(cls, "KestrelMessageDialog") != 0) return TRUE;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char text[512] = "";
      GetWindowTextA(c, text, sizeof text);
      if (*s->text == text) s->found = w;
    }
    return s->found ? FALSE : TRUE;
  }
  static HWND FindBox(const std::string& text) {
    BoxSearch search{&text, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current && !current->busy_) current->Next();
  }

  void Next() {
    if (done_ >= steps_.size()) return;
    const Step& step = steps_[done_];
    HWND box = FindBox(step.text);
    if (!box) return;
    busy_ = true;  // a step may open a box of its own, whose loop ticks too
    ++done_;
    boxes.push_back(box);
    auto press = [box](const char* caption) {
      SendMessageA(FindWindowExA(box, nullptr, "Button", caption), BM_CLICK, 0, 0);
    };
    switch (step.act) {
      case Act::Yes:
        press("&Yes");
        break;
      case Act::No:
        press("&No");
        break;
      case Act::Ok:
        press("OK");
        break;
      case Act::PressCloseBox:
        if (!IsWindowEnabled(main_.Handle())) notes.push_back("main window disabled");
        PostMessageA(main_.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case Act::CancelCopyWindow:
        if (TfrmCopy* copy = FindCopyWindow(app_)) {
          if (!IsWindowEnabled(copy->Handle())) notes.push_back("extraction window disabled");
          copy->btnCopyCancel->Click();
        }
        break;
    }
    busy_ = false;
  }

  static BoxRobot* current;
  TApplication& app_;
  TfrmMain& main_;
  std::vector<Step> steps_;
  size_t done_ = 0;
  bool busy_ = false;
  UINT_PTR timer_ = 0;
};
BoxRobot* BoxRobot::current = nullptr;

// The close box acts on top of the backup question; after Yes that question, never
// answered, counts as Yes, as nobody said No to keeping the replaced files: the extraction
// runs to its end, each replaced file's earlier version lands in Backup, and the
// site-database question, never put, keeps the user's file (and its copy in Backup).
TEST_F(Road, CloseBoxOnTopOfTheBackupQuestionYesBacksUpAndEndsAfterTheExtraction) {
  WriteWholeFile(scratch / "sites.ini", kUsersSites);
  WriteWholeFile(scratch / "readme.txt", "old readme");
  BoxRobot robot(app, *form, {{kBackupQuestion, Act::PressCloseBox}, {kCloseQuestion, Act::Yes}});
  ContinueWith(scratch.Path());

  EXPECT_EQ(robot.Done(), 2u);
  EXPECT_TRUE(robot.notes.empty()) << robot.notes.front();
  EXPECT_EQ(ReadWholeFile(scratch / "Backup\\readme.txt"), "old readme");
  EXPECT_EQ(ReadWholeFile(scratch / "Backup\\sites.ini"), kUsersSites);
  EXPECT_EQ(ReadWholeFile(scratch / "sites.ini"), kUsersSites);
  EXPECT_EQ(ReadWholeFile(scratch / "readme.txt"), TestMembers()[0].content);
  EXPECT_EQ(ReadWholeFile(scratch / "whatsnew.txt"), TestMembers()[2].content);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(app.Terminated());
}

// While the site-database question is up: the extraction window's Cancel hides it, the
// close box asks on top, No leaves the question there to be answered, and a close
// confirmed on top of it keeps the user's file.
TEST_F(Road, CloseBoxOnTopOfTheSiteQuestionNoLeavesItYesKeepsTheFile) {
  WriteWholeFile(scratch / "sites.ini", kUsersSites);
  BoxRobot robot(app, *form,
                 {{kBackupQuestion, Act::Yes},
                  {kSitesQuestion, Act::CancelCopyWindow},
                  {kSitesQuestion, Act::PressCloseBox},
                  {kCloseQuestion, Act::No},
                  {kSitesQuestion, Act::PressCloseBox},
                  {kCloseQuestion, Act::Yes}});
  ContinueWith(scratch.Path());

  EXPECT_EQ(robot.Done(), 6u);
  EXPECT_TRUE(robot.notes.empty()) << robot.notes.front();
  ASSERT_EQ(robot.boxes.size(), 6u);
  EXPECT_EQ(robot.boxes[4], robot.boxes[1]) << "the same site question, still up";
  EXPECT_EQ(ReadWholeFile(scratch / "sites.ini"), kUsersSites);
  EXPECT_EQ(ReadWholeFile(scratch / "Backup\\sites.ini"), kUsersSites) << "kept, so copied";
  EXPECT_EQ(ReadWholeFile(scratch / "whatsnew.txt"), TestMembers()[2].content);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(app.Terminated());
}

// A Japanese system that ignores the UTF-8 manifest: code page 932, where a letter is two
// bytes and its second byte may be "\\" (0x5C in ソ, 表) or an ASCII letter (0x58 "X" in
// ス). The road starts in such a folder and installs into one.
class RoadOnCodePage932 : public Road {
protected:
  void SetUp() override {
    KESTREL_ONLY_UNDER_CODE_PAGE(932);
    software = scratch / AnsiText(L"\u30bd\u30d5\u30c8");       // ソフト
    start = software + "\\" + AnsiText(L"\u30c6\u30b9\u30c8");  // テスト
    ASSERT_TRUE(CreateDirectoryA(software.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    previousDirectory = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(start.c_str()));
    Road::SetUp();
  }
  void TearDown() override {
    Road::TearDown();
    if (!previousDirectory.empty()) SetCurrentDirectoryA(previousDirectory.c_str());
  }

  std::string software, start, previousDirectory;
};

// The start folder is lower-cased in its ASCII letters only, which names the same folder,
// so the list stays there; and the list splits the path at its separators only: one entry
// per folder, the last two the folders made here.
TEST_F(RoadOnCodePage932, StartsInAFolderWhoseSecondBytesAreLettersAndBackslashes) {
  EXPECT_EQ(form->dir->Directory(), start);
  const std::string& root = scratch.Path();
  const int levels = static_cast<int>(std::count(root.begin(), root.end(), '\\')) + 1 + 2;
  ASSERT_EQ(form->dir->ItemCount(), levels);
  EXPECT_EQ(form->dir->ItemPath(levels - 1), start);
  EXPECT_EQ(form->dir->ItemPath(levels - 2), software);
}

// Neither folder of the destination exists, and its name ends in 0x5C: the files land in
// it, made by the engine, and the shortcuts would be made from "<destination>\".
TEST_F(RoadOnCodePage932, InstallsIntoNewFoldersWhoseNamesEndInA5CSecondByte) {
  const std::string dest =
      scratch / AnsiText(L"\u8868\u8a08\u7b97\\\u4e88\u5b9a\u8868");  // 表計算\予定表
  TScriptedAnswerer answers{mrYes, mrNo, mrNo, mrNo};
  ContinueWith(dest);

  EXPECT_EQ(Seen(answers), EveryBoxOfANewFolder(dest));
  for (const TTestMember& m : TestMembers())
    EXPECT_EQ(ReadWholeFile(dest + "\\" + m.name), m.content) << m.name;
  EXPECT_EQ(TInstallation(dest).DestDirSlash, dest + "\\");
}

// What lies beside the program, as beside a downloaded setup.exe.
std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string own = path;
  return own.substr(0, own.find_last_of('\\') + 1);
}

std::string BuiltFile(std::string hostPath) {
  for (char& c : hostPath)
    if (c == '/') c = '\\';
  return hostPath.front() == '\\' ? "Z:" + hostPath : hostPath;
}

class Planted {
public:
  Planted(const std::string& from, const std::string& name) : path_(OwnFolder() + name) {
    EXPECT_TRUE(CopyFileA(BuiltFile(from).c_str(), path_.c_str(), FALSE)) << path_;
  }
  ~Planted() { DeleteFileA(path_.c_str()); }
  Planted(const Planted&) = delete;
  Planted& operator=(const Planted&) = delete;

private:
  std::string path_;
};

HWND WaitForWindowOfClass(const char* cls, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100) {
    if (HWND w = FindWindowA(cls, nullptr)) return w;
    Sleep(100);
  }
  return nullptr;
}

void EndProcessOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

// The README opens in the Notepad of the Windows folder, not in a notepad.exe beside the
// program, which would run with the setup's rights.
TEST(ReadmeViewer, IsTheSystemsNotepadNotOneBesideTheProgram) {
  TScratchFolder scratch;
  WriteWholeFile(scratch / "readme.txt", "the readme\r\n");
  Planted planted(PLANTED_PROGRAM, "notepad.exe");
  StartSystemNotepad(ReadmeCommandLine(scratch.Path()));

  HWND notepad = WaitForWindowOfClass("Notepad", 15000);
  EXPECT_NE(notepad, nullptr) << "the system's Notepad did not start";
  HWND impostor = WaitForWindowOfClass("KestrelRobotSample", notepad ? 500 : 0);
  EXPECT_EQ(impostor, nullptr) << "the notepad.exe beside the program ran";
  if (notepad) EndProcessOf(notepad);
  if (impostor) EndProcessOf(impostor);
}

// Set first thing at start-up: DLLs come from the system folder only, so a later load by
// bare name never picks up one lying beside the program; and an empty drive brings no
// critical-error box of the system's own.
TEST(ProcessSafety, NoDllFromBesideTheProgramAndNoCriticalErrorBox) {
  Planted planted(PLANTED_LIBRARY, "kestrel-planted.dll");
  SecureTheProcess();
  HMODULE loaded = LoadLibraryA("kestrel-planted.dll");
  EXPECT_EQ(loaded, nullptr) << "loaded from beside the program";
  if (loaded) FreeLibrary(loaded);
  EXPECT_NE(LoadLibraryA("shell32.dll"), nullptr) << "system DLLs still load";
  EXPECT_TRUE(GetErrorMode() & SEM_FAILCRITICALERRORS);
}

}  // namespace
