#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "setup/Installation.h"
#include "setup/ShellLink.h"
#include "tests/win/shelllink/ShellLinkDouble.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

const char* const RedirectedRoot = "Software\\KestrelTests\\ShellLink";
const char* const FailureText = "OLE function call failed. HResult is $80004005. GetLastError is $";

// CreateShortcuts for an installation into `destDir`.
void CreateShortcutsFor(const std::string& destDir) {
  CreateShortcuts(TInstallation(destDir));
}

std::string TempFolder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "kestrel-shelllink\\" + name;
}

void SetStringValue(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

// Everything a link file says, read back through the platform's shell-link interface.
struct LinkContents {
  std::string target, arguments, description, workingDirectory, iconFile;
  int iconIndex = -1, showCommand = -1;
  WORD hotKey = 0xFFFF;
};

LinkContents ReadLink(const std::string& path) {
  LinkContents contents;
  ComPtr<IShellLinkA> link;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             link.ReceiveVoid()),
            S_OK);
  ComPtr<IPersistFile> file;
  EXPECT_EQ(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()), S_OK);
  WCHAR widePath[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
  EXPECT_EQ(file->Load(widePath, STGM_READ), S_OK) << path;
  char text[MAX_PATH] = {};
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  contents.target = text;
  link->GetArguments(text, MAX_PATH);
  contents.arguments = text;
  link->GetDescription(text, MAX_PATH);
  contents.description = text;
  link->GetWorkingDirectory(text, MAX_PATH);
  contents.workingDirectory = text;
  link->GetIconLocation(text, MAX_PATH, &contents.iconIndex);
  contents.iconFile = text;
  link->GetShowCmd(&contents.showCommand);
  link->GetHotkey(&contents.hotKey);
  return contents;
}

// The user's registry, seen by this process, replaced by a private copy of the shell
// folders key whose Programs and SendTo folders are temporary folders. The real HKCU is
// never written.
class ShellLinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    programs_ = TempFolder("Start Menu\\Programs");
    sendTo_ = TempFolder("SendTo");
    std::filesystem::remove_all(TempFolder(""));
    std::filesystem::create_directories(programs_);
    std::filesystem::create_directories(sendTo_);
    RegDeleteTreeA(HKEY_CURRENT_USER, RedirectedRoot);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, RedirectedRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &root_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(root_, ShellFoldersKey + 1, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &folders_, nullptr),
              ERROR_SUCCESS);
    SetStringValue(folders_, "Programs", programs_);
    SetStringValue(folders_, "SendTo", sendTo_);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, root_), ERROR_SUCCESS);
    ShellLinkDouble::current = &double_;
  }

  void TearDown() override {
    SetShellLinkFactory(nullptr);
    ShellLinkDouble::current = nullptr;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (folders_) RegCloseKey(folders_);
    if (root_) RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, RedirectedRoot);
    std::filesystem::remove_all(TempFolder(""));
  }

  void UseDouble() { SetShellLinkFactory(ShellLinkDouble::Factory); }

  // Every reference the code under test took was given back, the file face first.
  void ExpectAllReleased() {
    EXPECT_EQ(double_.linkReferences, 0);
    EXPECT_EQ(double_.fileReferences, 0);
  }

  ComLibrary com_;
  HKEY root_ = nullptr;
  HKEY folders_ = nullptr;
  std::string programs_, sendTo_;
  ShellLinkDouble double_;
};

TEST(ShellOleCheck, PassesSuccessCodesAndRaisesFailureCodesWithBothNumbers) {
  EXPECT_NO_THROW(ShellOleCheck(S_OK));
  EXPECT_NO_THROW(ShellOleCheck(S_FALSE));  // success with information
  EXPECT_NO_THROW(ShellOleCheck(0x7FFFFFFF));

  SetLastError(5);
  try {
    ShellOleCheck(E_FAIL);
    FAIL() << "E_FAIL passed";
  } catch (const EShellOleError& e) {
    EXPECT_EQ(e.Message(), "OLE function call failed. HResult is $80004005. GetLastError is $5");
  }
  SetLastError(0x1ABC);
  try {
    ShellOleCheck(static_cast<HRESULT>(0x80070002));
    FAIL() << "0x80070002 passed";
  } catch (const EShellOleError& e) {
    EXPECT_EQ(e.Message(), "OLE function call failed. HResult is $80070002. GetLastError is $1ABC");
  }
  SetLastError(0);
  EXPECT_THROW(ShellOleCheck(static_cast<HRESULT>(0x80000000)), EShellOleError);
}

TEST(LastPos, FindsTheLastOccurrenceOneBased) {
  EXPECT_EQ(LastPos(".", "a.b.c"), 4);
  EXPECT_EQ(LastPos(".", "abc"), 0);
  EXPECT_EQ(LastPos("ab", "abab"), 3);
  EXPECT_EQ(LastPos("aa", "aaa"), 2);
  EXPECT_EQ(LastPos("abc", "abc"), 1);
  EXPECT_EQ(LastPos("abcd", "abc"), 0);  // longer than the text
  EXPECT_EQ(LastPos("x", ""), 0);
}

TEST(ReplaceExtension, KeepsOnlyTheFileNamePartWithTheNewExtension) {
  EXPECT_EQ(ReplaceExtension("Kestrel", "lnk"), "Kestrel.lnk");
  EXPECT_EQ(ReplaceExtension("Kestrel.exe", "lnk"), "Kestrel.lnk");
  EXPECT_EQ(ReplaceExtension("C:\\Program Files\\Kestrel\\a.b.exe", "lnk"), "a.b.lnk");
  EXPECT_EQ(ReplaceExtension("C:\\dir.d\\Kestrel", "lnk"), "Kestrel.lnk");  // a dot in a folder
  EXPECT_EQ(ReplaceExtension("D:setup.exe", "lnk"), "setup.lnk");
  EXPECT_EQ(ReplaceExtension(".profile", "lnk"), ".lnk");
  EXPECT_EQ(ReplaceExtension(std::string(300, 'k'), "lnk"), std::string(255, 'k') + ".lnk");
}

TEST(KestrelShortcut, PointsAtTheInstalledProgramAndWorksInTheSetupFolder) {
  const TShellLinkInfo info =
      KestrelShortcut("C:\\Program Files\\Kestrel\\", "E:\\downloads\\setup.exe");
  EXPECT_EQ(info.PathName, "C:\\Program Files\\Kestrel\\KESTREL.EXE");
  EXPECT_EQ(info.Arguments, "");
  EXPECT_EQ(info.Description, info.PathName);
  EXPECT_EQ(info.IconLocation, info.PathName);
  EXPECT_EQ(info.IconIndex, 0);
  EXPECT_EQ(info.WorkingDirectory, "E:\\downloads\\");
  EXPECT_EQ(info.ShowCommand, SW_SHOWNORMAL);
  EXPECT_EQ(info.HotKey, 0);

  EXPECT_EQ(KestrelShortcut("C:\\K\\", "D:\\setup.exe").WorkingDirectory, "D:\\");
  EXPECT_EQ(KestrelShortcut("C:\\K\\", "D:setup.exe").WorkingDirectory, "D:");
}

TEST_F(ShellLinkTest, GetShellFolderReturnsTheValueAsStored) {
  EXPECT_EQ(GetShellFolder("Programs"), programs_);
  SetStringValue(folders_, "Programs", "C:\\Users\\u\\Start Menu\\Programs\\");
  EXPECT_EQ(GetShellFolder("Programs"), "C:\\Users\\u\\Start Menu\\Programs\\");
  const char* unexpanded = "%USERPROFILE%\\SendTo";
  RegSetValueExA(folders_, "SendTo", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(unexpanded),
                 static_cast<DWORD>(strlen(unexpanded) + 1));
  EXPECT_EQ(GetShellFolder("SendTo"), unexpanded);
}

TEST_F(ShellLinkTest, GetShellFolderRaisesTheRegistryErrors) {
  auto messageOf = [](const char* valueName) {
    try {
      GetShellFolder(valueName);
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return std::string("no error");
  };
  SetStringValue(folders_, "SendTo", "");
  EXPECT_EQ(messageOf("SendTo"), "\"SendTo\" item not found in registry");
  RegDeleteValueA(folders_, "SendTo");
  EXPECT_EQ(messageOf("SendTo"), "\"SendTo\" item not found in registry");
  const DWORD number = 7;
  RegSetValueExA(folders_, "Programs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  EXPECT_EQ(messageOf("Programs"), "Invalid data type for 'Programs'");
  RegCloseKey(std::exchange(folders_, nullptr));
  RegDeleteTreeA(root_, "Software");
  EXPECT_EQ(messageOf("Programs"),
            "Folder key \"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
            "Folders\" not found");
}

TEST_F(ShellLinkTest, CreateShellLinkGoesOnWhenSetPathAnswersSuccessWithInformation) {
  UseDouble();
  double_.Force("SetPath", S_FALSE);
  const std::string link = CreateShellLink("Kestrel", "", "Programs");
  const std::string expected = programs_ + "\\Kestrel.lnk";
  EXPECT_EQ(link, expected);
  EXPECT_THAT(double_.calls, ElementsAre("NewShellLinkObject", "QueryInterface(IPersistFile)",
                                         "SetPath(Kestrel)", "Save(" + expected + ",1)",
                                         "Release(IPersistFile)", "Release(IShellLinkW)"));
  ExpectAllReleased();
  EXPECT_TRUE(std::filesystem::exists(expected));
}

TEST_F(ShellLinkTest, CreateShellLinkSetsADescriptionOnlyWhenThereIsOne) {
  UseDouble();
  CreateShellLink("C:\\Tools\\tool.exe", "A tool", "SendTo");
  EXPECT_THAT(double_.calls, ElementsAre("NewShellLinkObject", "QueryInterface(IPersistFile)",
                                         "SetPath(C:\\Tools\\tool.exe)", "SetDescription(A tool)",
                                         "Save(" + sendTo_ + "\\tool.lnk,1)",
                                         "Release(IPersistFile)", "Release(IShellLinkW)"));
  EXPECT_EQ(ReadLink(sendTo_ + "\\tool.lnk").description, "A tool");
}

TEST_F(ShellLinkTest, CreateShellLinkStopsAtAFailureAndReleasesWhatItHolds) {
  struct Case {
    const char* method;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"NewShellLinkObject", {"NewShellLinkObject"}},
      {"QueryInterface",
       {"NewShellLinkObject", "QueryInterface(IPersistFile)", "Release(IShellLinkW)"}},
      {"SetPath",
       {"NewShellLinkObject", "QueryInterface(IPersistFile)", "SetPath(Kestrel)",
        "Release(IPersistFile)", "Release(IShellLinkW)"}},
      {"SetDescription",
       {"NewShellLinkObject", "QueryInterface(IPersistFile)", "SetPath(Kestrel)",
        "SetDescription(d)", "Release(IPersistFile)", "Release(IShellLinkW)"}},
  };
  UseDouble();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    ShellLinkDouble failing;
    ShellLinkDouble::current = &failing;
    failing.Force(c.method, E_FAIL);
    try {
      CreateShellLink("Kestrel", "d", "Programs");
      ADD_FAILURE() << "no error";
    } catch (const EShellOleError& e) {
      EXPECT_THAT(e.Message(), StartsWith(FailureText));
    }
    EXPECT_THAT(failing.calls, ElementsAreArray(c.calls));
    EXPECT_EQ(failing.linkReferences, 0);
    EXPECT_EQ(failing.fileReferences, 0);
    EXPECT_FALSE(std::filesystem::exists(programs_ + "\\Kestrel.lnk"));
  }
  ShellLinkDouble::current = &double_;
}

TEST_F(ShellLinkTest, CreateShellLinkReleasesBothInterfacesWhenTheFolderIsMissing) {
  UseDouble();
  RegDeleteValueA(folders_, "Programs");
  EXPECT_THROW(CreateShellLink("Kestrel", "", "Programs"), ERegistryException);
  EXPECT_EQ(double_.calls.back(), "Release(IShellLinkW)");
  EXPECT_EQ(double_.fileReleases, 1);
  ExpectAllReleased();
}

TEST_F(ShellLinkTest, UpdateShellLinkRewritesEveryFieldInOrder) {
  const std::string link = CreateShellLink("Kestrel", "", "Programs");
  UseDouble();
  TShellLinkInfo info = KestrelShortcut("C:\\Program Files\\Kestrel\\", "D:\\setup.exe");
  info.Arguments = "-x";
  info.IconIndex = 2;
  info.HotKey = 0x0241;
  info.ShowCommand = SW_SHOWMAXIMIZED;
  UpdateShellLink(link, info);
  const std::string target = "C:\\Program Files\\Kestrel\\KESTREL.EXE";
  EXPECT_THAT(
      double_.calls,
      ElementsAre("NewShellLinkObject", "QueryInterface(IPersistFile)", "Load(" + link + ",32)",
                  "Resolve(0,7)", "SetPath(" + target + ")", "SetArguments(-x)",
                  "SetDescription(" + target + ")", "SetWorkingDirectory(D:\\)",
                  "SetIconLocation(" + target + ",2)", "SetShowCmd(3)", "SetHotkey(577)",
                  "Save(" + link + ",1)", "Release(IPersistFile)", "Release(IShellLinkW)"));
  ExpectAllReleased();
  const LinkContents contents = ReadLink(link);
  EXPECT_EQ(contents.target, target);
  EXPECT_EQ(contents.arguments, "-x");
  EXPECT_EQ(contents.description, target);
  EXPECT_EQ(contents.workingDirectory, "D:\\");
  EXPECT_EQ(contents.iconFile, target);
  EXPECT_EQ(contents.iconIndex, 2);
  // The show command is checked on the call above: Wine reads every link back as normal.
  EXPECT_EQ(contents.hotKey, 0x0241);
}

TEST_F(ShellLinkTest, UpdateShellLinkRaisesAtEachCheckedStepAndRunsNothingAfterIt) {
  const std::string link = CreateShellLink("Kestrel", "", "Programs");
  const TShellLinkInfo info = KestrelShortcut("C:\\K\\", "D:\\setup.exe");
  const std::vector<std::string> steps = {"QueryInterface",
                                          "Load",
                                          "Resolve",
                                          "SetPath",
                                          "SetArguments",
                                          "SetDescription",
                                          "SetWorkingDirectory",
                                          "SetIconLocation",
                                          "SetShowCmd",
                                          "SetHotkey"};
  UseDouble();
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(steps[i]);
    ShellLinkDouble failing;
    ShellLinkDouble::current = &failing;
    failing.Force(steps[i], E_FAIL);
    EXPECT_THROW(UpdateShellLink(link, info), EShellOleError);
    // The failing call is the last one made before the releases.
    const auto& calls = failing.calls;
    ASSERT_GE(calls.size(), 2u);
    const size_t tail = steps[i] == "QueryInterface" ? 1 : 2;
    ASSERT_GT(calls.size(), tail);
    EXPECT_THAT(calls[calls.size() - tail - 1], StartsWith(steps[i] + "("));
    EXPECT_EQ(failing.linkReleases, 1);
    EXPECT_EQ(failing.fileReleases, steps[i] == "QueryInterface" ? 0 : 1);
    EXPECT_EQ(failing.linkReferences, 0);
    EXPECT_EQ(failing.fileReferences, 0);
    for (const std::string& call : calls) EXPECT_THAT(call, ::testing::Not(StartsWith("Save(")));
  }
  ShellLinkDouble::current = &double_;
  // The first-pass file stays as it was written.
  EXPECT_EQ(ReadLink(link).description, "");
}

TEST_F(ShellLinkTest, AFailedFirstSaveShowsWhenTheSecondPassLoads) {
  UseDouble();
  double_.Force("Save", E_FAIL);
  const std::string link = CreateShellLink("Kestrel", "", "Programs");
  EXPECT_FALSE(std::filesystem::exists(link));
  SetShellLinkFactory(nullptr);
  EXPECT_THROW(UpdateShellLink(link, KestrelShortcut("C:\\K\\", "D:\\setup.exe")), EShellOleError);
}

TEST_F(ShellLinkTest, ALinkPathTooLongForTheShellFailsAtTheSecondPass) {
  SetStringValue(folders_, "Programs", "C:\\" + std::string(260, 'p'));
  UseDouble();
  EXPECT_THROW(CreateShortcutsFor("C:\\K\\"), EShellOleError);
  // Both passes were handed empty text rather than a cut-off path.
  EXPECT_THAT(double_.calls, ::testing::Contains("Save(,1)"));
  EXPECT_THAT(double_.calls, ::testing::Contains("Load(,32)"));
  ExpectAllReleased();
}

TEST_F(ShellLinkTest, CreateShortcutsWritesBothLinksWithThePlatformShell) {
  const std::string dest = "C:\\Program Files\\Kestrel\\";
  CreateShortcutsFor(dest);
  const std::string ownFolder =
      ProgramFilePath().substr(0, ProgramFilePath().find_last_of('\\') + 1);
  for (const std::string& folder : {programs_, sendTo_}) {
    SCOPED_TRACE(folder);
    const LinkContents contents = ReadLink(folder + "\\Kestrel.lnk");
    EXPECT_EQ(contents.target, dest + "KESTREL.EXE");
    EXPECT_EQ(contents.description, dest + "KESTREL.EXE");
    EXPECT_EQ(contents.iconFile, dest + "KESTREL.EXE");
    EXPECT_EQ(contents.iconIndex, 0);
    EXPECT_EQ(contents.workingDirectory, ownFolder);
    EXPECT_EQ(contents.arguments, "");
    EXPECT_EQ(contents.showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(contents.hotKey, 0);
  }
}

// A Kestrel.lnk from an earlier installation that cannot be rewritten: an error, not a
// success with the old target left in place. Read-only, and held open for reading by
// another program: Wine, run by root here, writes over the read-only attribute.
TEST_F(ShellLinkTest, CreateShortcutsRaisesWhenAnExistingShortcutCannotBeSaved) {
  CreateShortcutsFor("C:\\Old\\");
  const std::string link = programs_ + "\\Kestrel.lnk";
  SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_READONLY);
  HANDLE reader = CreateFileA(link.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_THROW(CreateShortcutsFor("C:\\New\\"), EShellOleError);
  CloseHandle(reader);
  EXPECT_EQ(ReadLink(link).target, "C:\\Old\\KESTREL.EXE");
  SetFileAttributesA(link.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShellLinkTest, CreateShortcutsFinishesWhenTheShellAnswersOneToSetPath) {
  UseDouble();
  double_.Force("SetPath", S_FALSE);
  EXPECT_NO_THROW(CreateShortcutsFor("C:\\K\\"));
  EXPECT_EQ(double_.objectsMade, 4);
  EXPECT_EQ(ReadLink(programs_ + "\\Kestrel.lnk").target, "C:\\K\\KESTREL.EXE");
  EXPECT_EQ(ReadLink(sendTo_ + "\\Kestrel.lnk").target, "C:\\K\\KESTREL.EXE");
  ExpectAllReleased();
}

TEST_F(ShellLinkTest, CreateShortcutsStopsAtTheFirstFailure) {
  UseDouble();
  double_.Force("SetPath", static_cast<HRESULT>(0x80004005));
  try {
    CreateShortcutsFor("C:\\K\\");
    FAIL() << "no error";
  } catch (const EShellOleError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("HResult is $80004005"));
  }
  EXPECT_EQ(double_.objectsMade, 1);
  EXPECT_FALSE(std::filesystem::exists(programs_ + "\\Kestrel.lnk"));
  EXPECT_FALSE(std::filesystem::exists(sendTo_ + "\\Kestrel.lnk"));
  ExpectAllReleased();
}

TEST_F(ShellLinkTest, CreateShortcutsDoesNotTryTheSecondFolderAfterARegistryError) {
  UseDouble();
  SetStringValue(folders_, "SendTo", "");
  EXPECT_THROW(CreateShortcutsFor("C:\\K\\"), ERegistryException);
  EXPECT_TRUE(std::filesystem::exists(programs_ + "\\Kestrel.lnk"));
  EXPECT_EQ(double_.objectsMade, 3);
  ExpectAllReleased();
}

// The same two-pass writing against the prefix's own, unredirected shell folders.
TEST(ShellLinkRealFolders, CreateShortcutsWritesIntoTheUsersProgramsAndSendToFolders) {
  ComLibrary com;
  const std::string programs = GetShellFolder("Programs");
  const std::string sendTo = GetShellFolder("SendTo");
  CreateShortcutsFor("C:\\Program Files\\Kestrel\\");
  for (const std::string& folder : {programs, sendTo}) {
    const std::string link = folder + "\\Kestrel.lnk";
    EXPECT_EQ(ReadLink(link).target, "C:\\Program Files\\Kestrel\\KESTREL.EXE") << link;
    DeleteFileA(link.c_str());
  }
}

}  // namespace
