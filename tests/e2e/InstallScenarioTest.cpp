// setup.exe installing for real, driven as a person would: the destination typed, every
// question read and answered, then the installed files, the Backup folder and both
// shortcuts checked, with what the person saw, box by box. Paths and texts are UTF-8, as
// the robot's are.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <iterator>

#include "tests/e2e/Scenario.h"
#include "tests/e2e/robot/Files.h"
#include "tests/e2e/robot/Robot.h"
#include "tests/e2e/robot/Text.h"

using namespace robot;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const char* const MainCaption = "Kestrel Setup";
const std::string DefaultDestination = "C:\\Program Files\\Kestrel";
const char* const PayloadOrder[] = {"Kestrel.exe", "Kestrel.hlp", "readme.txt", "sites.ini",
                                    "whatsnew.txt"};
// The payload's member date: 21 December 1997, 21:14:26, as DOS date and time words.
constexpr WORD PayloadDosDate = 0x2395;
constexpr WORD PayloadDosTime = 0xA9CD;
// Long enough for the windows to have painted before a screenshot.
constexpr DWORD PaintTime = 700;

// The program installing: the tree's setup.exe, or the copy that KESTREL_SETUP_EXE names
// (the signed release copy, whose certificate table follows its sections).
std::string SetupExe() {
  const char* other = std::getenv("KESTREL_SETUP_EXE");
  return WindowsPath(other && *other ? other : E2E_SETUP_EXE);
}

// One line of the transcript per box: "Caption [icon] text {buttons} -> answer".
std::string Box(const std::string& caption, const char* icon, const std::string& text,
                const std::string& buttons, const std::string& answer) {
  return caption + " [" + icon + "] " + text + " {" + buttons + "}" +
         (answer.empty() ? "" : " -> " + answer);
}
std::string CreateBox(const std::string& dir, const std::string& answer) {
  return Box("Confirm", "question", "The directory " + dir + " does not exist. Create it?",
             "&Yes|&No", answer);
}
std::string BackupBox(const std::string& answer) {
  return Box("Confirm", "question", "Do you want to backup replaced files ?", "&Yes|&No", answer);
}
std::string SitesBox(const std::string& answer) {
  return Box("Confirm", "question",
             "There is currently a site database file. Do you want to keep the existing file? ",
             "&Yes|&No", answer);
}
std::string ShortcutBox(const std::string& answer) {
  return Box("Confirm", "question", "Add a shortcut to the Start Menu?", "&Yes|&No", answer);
}
std::string ReadmeBox(const std::string& answer) {
  return Box("Information", "information", "Do you want to view the README file now?", "&Yes|&No",
             answer);
}
const std::string CompleteBox = Box("Setup", "none", "Kestrel Setup Complete.", "OK", "OK");
const std::string CloseBox =
    Box("Warning", "exclamation",
        "Setup is not complete.  If you abort now, the program may not run properly.  Are you "
        "sure you want to cancel installation? ",
        "&Yes|&No", "Yes");

// How the person answers the questions of one installation.
struct Choices {
  bool create = true;
  bool backup = false;
  bool keepSites = false;
  bool shortcuts = true;
  bool readme = false;
  // The close box pressed the moment the backup question is answered, so that the setup
  // meets it when the extraction first lets messages through.
  bool closeAsExtractionStarts = false;
  // The close box pressed while the backup question is up, leaving it unanswered.
  bool closeAtBackupQuestion = false;
};

std::string YesNo(bool yes) {
  return yes ? "Yes" : "No";
}

std::string HostFile(const std::string& hostPath) {
  return WindowsPath(hostPath);
}

// The file the installation should have written for a member.
std::string PayloadSource(const std::string& member) {
  if (member == "Kestrel.exe") return HostFile(E2E_STAND_IN_EXE);
  return HostFile(std::string(E2E_PAYLOAD_DIR) + "/" + member);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = Utf8(found.cFileName);
      if (name == "." || name == "..") continue;
      const std::wstring full = Wide(path + "\\" + name);
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(Utf8(full));
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(Wide(path).c_str());
}

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str());
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteTextFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

std::string LinkPath(const char* folder) {
  return UserShellFolder(folder) + "\\Kestrel.lnk";
}

std::string SetupFolder(const std::string& exe) {
  return exe.substr(0, exe.find_last_of("\\:") + 1);
}

// Presses `button` of the process's message box and the main window's close box at once:
// both wait in the setup's queue in that order, so the box takes the click and the close
// waits for the next time messages are processed, inside the extraction. The transcript
// records this box without an answer.
void AnswerThenPressCloseBox(TestedProcess& process, HWND main, const std::string& button) {
  Sleep(300);  // a box that is not yet active ignores a click
  // A busy machine can be slow to show the box and its controls: look until the time limit.
  const DWORD start = GetTickCount();
  do {
    for (HWND window : TopLevelWindows(process.Id())) {
      if (!IsMessageBox(window)) continue;
      HWND control = FindDescendant(window, "Button", button);
      ASSERT_NE(control, nullptr);
      Click(control);
      PressCloseBox(main);
      return;
    }
    Sleep(50);
  } while (GetTickCount() - start < DefaultTimeout);
  FAIL() << "no message box to answer";
}

// Other folders listed as the user's Programs and SendTo folders for as long as it lives,
// as a user's profile has them; the previous values come back afterwards.
class ShellFoldersMoved {
public:
  explicit ShellFoldersMoved(const std::string& root) : root_(root) {
    CreateDirectoryW(Wide(root).c_str(), nullptr);
    for (size_t i = 0; i < std::size(kNames); ++i) {
      previous_[i] = UserShellFolder(kNames[i]);
      CreateDirectoryW(Wide(root + "\\" + kNames[i]).c_str(), nullptr);
      EXPECT_TRUE(SetUserShellFolder(kNames[i], root + "\\" + kNames[i])) << kNames[i];
    }
  }
  ~ShellFoldersMoved() {
    for (size_t i = 0; i < std::size(kNames); ++i) SetUserShellFolder(kNames[i], previous_[i]);
    RemoveTree(root_);
  }

private:
  static constexpr const char* kNames[] = {"Programs", "SendTo"};
  std::string root_;
  std::string previous_[std::size(kNames)];
};

class Installation : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* folder : {"Programs", "SendTo"}) DeleteFileW(Wide(LinkPath(folder)).c_str());
  }

  // Runs `exe` once to the end: Continue on the welcome panel, the destination typed (left
  // as proposed when it is the default), Continue, then every box answered by `choices`
  // until the completion notice or an error box.
  std::vector<std::string> Install(const std::string& destination, const Choices& choices,
                                   const std::string& shots = "",
                                   const std::string& exe = SetupExe()) {
    TestedProcess process{exe};
    bool errorShown = false;
    Robot robot{process, shots.empty() ? "" : scenario::OutputFolder(shots)};
    HWND main = robot.WaitForWindow("", MainCaption);
    robot.WaitForControl(main, "Button", "Continue");
    Sleep(PaintTime);
    robot.Screenshot("1-welcome");
    robot.ClickButton(main, "Continue");
    HWND edit = robot.WaitForControlOfClass(main, "Edit");
    robot.WaitForText(edit, DefaultDestination);
    if (destination != DefaultDestination) {
      SetText(edit, "");
      Type(edit, destination);  // letter by letter, as the keyboard delivers them
      robot.WaitForText(edit, destination);
    }
    Sleep(PaintTime);
    robot.Screenshot("2-destination");
    robot.ClickButton(main, "Continue");
    for (;;) {
      const MessageBoxSeen box = robot.WaitForMessageBox();
      if (box.text.rfind("The directory ", 0) == 0) {
        robot.Answer(YesNo(choices.create));
        if (!choices.create) break;
      } else if (box.text.rfind("Do you want to backup", 0) == 0) {
        if (choices.closeAtBackupQuestion) {
          robot.LeaveUnanswered();
          PressCloseBox(main);
        } else if (choices.closeAsExtractionStarts) {
          AnswerThenPressCloseBox(process, main, YesNo(choices.backup));
        } else {
          robot.Answer(YesNo(choices.backup));
        }
      } else if (box.text.rfind("There is currently a site database", 0) == 0) {
        robot.Screenshot("3-extraction");
        robot.Answer(YesNo(choices.keepSites));
      } else if (box.text.rfind("Add a shortcut", 0) == 0) {
        robot.Answer(YesNo(choices.shortcuts));
      } else if (box.text.rfind("Do you want to view", 0) == 0) {
        robot.Answer(YesNo(choices.readme));
      } else if (box.text.rfind("Setup is not complete", 0) == 0) {
        robot.Screenshot("3-close-question");
        robot.Answer("Yes");
        break;  // the later boxes close at once, unseen
      } else {
        errorShown = box.text != "Kestrel Setup Complete.";
        Sleep(PaintTime);
        robot.Screenshot(errorShown ? "4-error" : "4-completion");
        robot.Answer("OK");
        break;
      }
    }
    if (!choices.create) {
      // The destination panel stays, with the text as typed.
      EXPECT_TRUE(robot.NoMessageBoxWithin(1000));
      EXPECT_EQ(TextOf(edit), destination);
      EXPECT_TRUE(IsShown(edit));
      PressCloseBox(main);
      robot.AnswerNext("Yes");
    }
    exitCode = process.WaitForExit(errorShown ? 1000 : DefaultTimeout);
    if (errorShown) {
      // An error leaves the program up with both panels hidden; the person closes it.
      EXPECT_TRUE(process.Running());
      Sleep(PaintTime);  // the windows repaint where the box was
      robot.Screenshot("5-after-error");
      extractionWindowStayed = false;
      for (HWND w : TopLevelWindows(process.Id()))
        if (w != main && !IsMessageBox(w)) extractionWindowStayed = true;
      PressCloseBox(main);
      robot.AnswerNext("Yes");
      EXPECT_EQ(process.WaitForExit(DefaultTimeout), 0u);
    }
    std::vector<std::string> seen;
    for (const MessageBoxSeen& box : robot.Transcript()) seen.push_back(box.Describe());
    robot.SaveTranscript(scenario::OutputFolder("install") + "\\" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    return seen;
  }

  // Every member in `dest`, byte for byte, with the archive's date and attributes.
  void ExpectInstalled(const std::string& dest) {
    for (const char* member : PayloadOrder) {
      const std::string path = dest + "\\" + member;
      EXPECT_TRUE(SameContents(path, PayloadSource(member))) << path;
      WIN32_FILE_ATTRIBUTE_DATA data;
      ASSERT_TRUE(GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) << path;
      EXPECT_EQ(data.dwFileAttributes & ~FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
                static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE))
          << path;
      FILETIME local;
      WORD date = 0, time = 0;
      FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
      FileTimeToDosDateTime(&local, &date, &time);
      EXPECT_EQ(date, PayloadDosDate) << path;
      EXPECT_EQ(time, PayloadDosTime) << path;
    }
  }

  // Both Kestrel.lnk, read back through the shell-link interface, point at the program in
  // `dest`, with the setup program's folder as working directory.
  void ExpectShortcutsTo(const std::string& dest, const std::string& exe) {
    const std::string target = dest + "\\KESTREL.EXE";
    for (const char* folder : {"Programs", "SendTo"}) {
      const std::optional<Shortcut> link = ReadShortcut(LinkPath(folder));
      ASSERT_TRUE(link) << LinkPath(folder);
      EXPECT_EQ(CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, Wide(link->target).c_str(),
                               -1, Wide(target).c_str(), -1),
                CSTR_EQUAL)
          << folder << ": " << link->target;
      EXPECT_EQ(link->description, target) << folder;
      EXPECT_EQ(link->iconFile, target) << folder;
      EXPECT_EQ(link->iconIndex, 0) << folder;
      EXPECT_EQ(link->workingDirectory, SetupFolder(exe)) << folder;
    }
  }

  void ExpectNoShortcuts() {
    for (const char* folder : {"Programs", "SendTo"})
      EXPECT_EQ(AttributesOf(LinkPath(folder)), INVALID_FILE_ATTRIBUTES) << folder;
  }

  std::optional<DWORD> exitCode;
  bool extractionWindowStayed = false;
};

TEST_F(Installation, FreshInstallationToTheDefaultFolder) {
  RemoveTree(DefaultDestination);
  const std::vector<std::string> seen = Install(DefaultDestination, Choices{}, "install");

  EXPECT_THAT(seen, ElementsAre(CreateBox(DefaultDestination, "Yes"), BackupBox("No"),
                                ShortcutBox("Yes"), ReadmeBox("No"), CompleteBox));
  EXPECT_EQ(exitCode, 0u);
  ExpectInstalled(DefaultDestination);
  EXPECT_FALSE(IsDirectory(DefaultDestination + "\\Backup"));
  ExpectShortcutsTo(DefaultDestination, SetupExe());
}

// Backups twice: each time Backup holds the version just replaced; the site database is
// asked about because it exists, and kept once.
TEST_F(Installation, ReinstallationsWithBackups) {
  const std::string dest = "C:\\Kestrel backups";
  RemoveTree(dest);
  CreateDirectoryW(Wide(dest).c_str(), nullptr);
  for (const char* member : PayloadOrder)
    WriteTextFile(dest + "\\" + member, std::string("first ") + member);
  Choices choices;
  choices.backup = true;
  choices.shortcuts = false;
  EXPECT_THAT(Install(dest, choices, "reinstall"),
              ElementsAre(BackupBox("Yes"), SitesBox("No"), ShortcutBox("No"), ReadmeBox("No"),
                          CompleteBox));
  ExpectInstalled(dest);
  for (const char* member : PayloadOrder)
    EXPECT_EQ(ReadWholeFile(dest + "\\Backup\\" + member), std::string("first ") + member);

  // The user edits the installed files; the next installation backs up those.
  for (const char* member : PayloadOrder)
    WriteTextFile(dest + "\\" + member, std::string("second ") + member);
  EXPECT_EQ(Install(dest, choices).size(), 5u);
  ExpectInstalled(dest);
  for (const char* member : PayloadOrder)
    EXPECT_EQ(ReadWholeFile(dest + "\\Backup\\" + member), std::string("second ") + member);

  // Keeping the site database: untouched, and its copy replaces the older backup.
  WriteTextFile(dest + "\\sites.ini", "the user's sites");
  choices.keepSites = true;
  EXPECT_THAT(Install(dest, choices), ElementsAre(BackupBox("Yes"), SitesBox("Yes"),
                                                  ShortcutBox("No"), ReadmeBox("No"), CompleteBox));
  EXPECT_EQ(ReadWholeFile(dest + "\\sites.ini"), "the user's sites");
  EXPECT_EQ(ReadWholeFile(dest + "\\Backup\\sites.ini"), "the user's sites");
  ExpectNoShortcuts();
  RemoveTree(dest);
}

TEST_F(Installation, NoToCreateKeepsTheTypedDestination) {
  const std::string typed = "C:\\Typed by hand\\Kestrel";
  RemoveTree("C:\\Typed by hand");
  Choices choices;
  choices.create = false;
  EXPECT_THAT(Install(typed, choices), ElementsAre(CreateBox(typed, "No"), CloseBox));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(IsDirectory(typed));
}

// The close box pressed as the extraction starts and confirmed, over an earlier
// installation: the extraction runs to its end, the later questions vanish unanswered, no
// shortcut is made, and the site-database question, never shown, leaves the user's file
// byte for byte.
TEST_F(Installation, CloseConfirmedDuringTheExtraction) {
  const std::string dest = "C:\\Kestrel closed";
  RemoveTree(dest);
  CreateDirectoryW(Wide(dest).c_str(), nullptr);
  const std::string usersSites = "[Sites]\r\nHome=ftp.users-own.example\r\n\x1A";
  WriteTextFile(dest + "\\sites.ini", usersSites);
  WriteTextFile(dest + "\\readme.txt", "an older readme");
  Choices choices;
  choices.closeAsExtractionStarts = true;
  const std::vector<std::string> seen = Install(dest, choices, "close");
  EXPECT_THAT(seen, ElementsAre(BackupBox(""), CloseBox));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ReadWholeFile(dest + "\\sites.ini"), usersSites);
  for (const char* member : PayloadOrder)
    if (std::string(member) != "sites.ini") {
      EXPECT_TRUE(SameContents(dest + "\\" + member, PayloadSource(member))) << member;
    }
  ExpectNoShortcuts();
  RemoveTree(dest);
}

// A reinstallation whose backup question is left unanswered by a confirmed close: nobody
// said No to the backups, so each replaced file's earlier version is in Backup, byte for
// byte; the site database, never asked about, stays, and its copy is in Backup too.
TEST_F(Installation, CloseConfirmedAtTheBackupQuestionStillBacksUp) {
  const std::string dest = "C:\\Kestrel closed early";
  RemoveTree(dest);
  CreateDirectoryA(dest.c_str(), nullptr);
  for (const char* member : PayloadOrder)
    WriteTextFile(dest + "\\" + member, std::string("the user's ") + member + "\r\n\x1A");
  Choices choices;
  choices.closeAtBackupQuestion = true;
  EXPECT_THAT(Install(dest, choices, "close-at-backup"), ElementsAre(BackupBox(""), CloseBox));
  EXPECT_EQ(exitCode, 0u);
  for (const char* member : PayloadOrder) {
    const std::string earlier = std::string("the user's ") + member + "\r\n\x1A";
    EXPECT_EQ(ReadWholeFile(dest + "\\Backup\\" + member), earlier) << member;
    if (std::string(member) == "sites.ini")
      EXPECT_EQ(ReadWholeFile(dest + "\\" + member), earlier);
    else
      EXPECT_TRUE(SameContents(dest + "\\" + member, PayloadSource(member))) << member;
  }
  ExpectNoShortcuts();
  RemoveTree(dest);
}

// A payload with one flipped byte in the third member: the error box instead of the
// completion notice, the members before it on disk, the extraction window left up.
TEST_F(Installation, DamagedPayloadShowsTheChecksumError) {
  const std::string dest = "C:\\Kestrel damaged";
  RemoveTree(dest);
  const std::vector<std::string> seen =
      Install(dest, Choices{}, "damaged", WindowsPath(E2E_DAMAGED_SETUP_EXE));
  EXPECT_THAT(seen,
              ElementsAre(CreateBox(dest, "Yes"), BackupBox("No"),
                          Box("Setup", "stop",
                              "Bad checksum during expansion -- data may be invalid.", "OK", "OK"),
                          CloseBox));
  EXPECT_TRUE(extractionWindowStayed);
  for (const char* member : {"Kestrel.exe", "Kestrel.hlp"})
    EXPECT_TRUE(SameContents(dest + "\\" + member, PayloadSource(member))) << member;
  for (const char* member : {"sites.ini", "whatsnew.txt"})
    EXPECT_EQ(AttributesOf(dest + "\\" + member), INVALID_FILE_ATTRIBUTES);
  ExpectNoShortcuts();
  RemoveTree(dest);
}

// Destinations a person may type: blanks, a letter of the ANSI code page beyond ASCII in
// a folder whose parent does not exist yet, a path of about 200 characters, and letters
// that no 8-bit code page holds together (Latin, Polish, Greek, Chinese).
TEST_F(Installation, UnusualDestinationsInstallAndTheShortcutsPointThere) {
  const std::string longName = "C:\\Kestrel long " + std::string(180, 'k');
  const std::string destinations[] = {
      "C:\\My Programs\\Kestrel FTP client", "C:\\Programme\\Kestrel \u00dc",
      longName + "\\Kestrel",
      "C:\\Kestrel Zo\u00eb \u0141\u00f3d\u017a \u0395\u03bb\u03bb\u03ac\u03b4\u03b1 "
      "\u4e2d\u6587"};
  for (const std::string& dest : destinations) {
    SCOPED_TRACE(dest);
    RemoveTree(dest);
    EXPECT_THAT(Install(dest, Choices{}),
                ElementsAre(CreateBox(dest, "Yes"), BackupBox("No"), ShortcutBox("Yes"),
                            ReadmeBox("No"), CompleteBox));
    EXPECT_EQ(exitCode, 0u);
    ExpectInstalled(dest);
    ExpectShortcutsTo(dest, SetupExe());
    RemoveTree(dest);
  }
  EXPECT_GE(longName.size() + 8, 200u);
  RemoveTree(longName);
  RemoveTree("C:\\My Programs");
  RemoveTree("C:\\Programme");
}

// A user whose profile's name has letters outside the system's 8-bit code page: the
// shortcuts land in the shell folders the registry lists, and read back letter for letter.
TEST_F(Installation, ShortcutsLandInShellFoldersWithLettersOfAnyScript) {
  const std::string dest = "C:\\Kestrel shell folders";
  const std::string profile = "C:\\Start Menu Zofia \u0141\u00f3d\u017a \u674e\u660e";
  RemoveTree(dest);
  const ShellFoldersMoved moved(profile);
  EXPECT_THAT(Install(dest, Choices{}),
              ElementsAre(CreateBox(dest, "Yes"), BackupBox("No"), ShortcutBox("Yes"),
                          ReadmeBox("No"), CompleteBox));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(LinkPath("Programs"), profile + "\\Programs\\Kestrel.lnk");
  EXPECT_EQ(LinkPath("SendTo"), profile + "\\SendTo\\Kestrel.lnk");
  ExpectShortcutsTo(dest, SetupExe());
  RemoveTree(dest);
}

}  // namespace
