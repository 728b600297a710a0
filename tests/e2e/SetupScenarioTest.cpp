// setup.exe driven as a person would drive it, as far as the main window goes: the welcome
// panel, the close question and the destination panel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/e2e/Scenario.h"
#include "tests/e2e/robot/Robot.h"
#include "tests/e2e/robot/Text.h"
#include "tests/support/CodePageRun_win32.h"

using namespace robot;
using ::testing::ElementsAre;

namespace {

const char* const MainCaption = "Kestrel Setup";
const char* const CloseQuestion =
    "Setup is not complete.  If you abort now, the program may not run properly.  Are you sure "
    "you want to cancel installation? ";
const char* const DefaultDestination = "C:\\Program Files\\Kestrel";
// Long enough to tell a window that stays from one that is on its way out.
constexpr DWORD StaysOpen = 1000;

class SetupScenario : public ::testing::Test {
protected:
  void SetUp() override { main_ = robot_.WaitForWindow("", MainCaption); }
  void TearDown() override {
    robot_.SaveTranscript(scenario::OutputFolder("setup") + "\\" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  }

  // The close question, checked word for word, answered with `answer`.
  void AnswerCloseQuestion(const std::string& answer) {
    const MessageBoxSeen box = robot_.WaitForMessageBox();
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.text, CloseQuestion);
    EXPECT_THAT(box.buttons, ElementsAre("&Yes", "&No"));
    EXPECT_EQ(box.icon, IconKind::Exclamation);
    robot_.Answer(answer);
  }

  void ExpectCleanEnd() {
    EXPECT_EQ(process_.WaitForExit(DefaultTimeout), 0u) << "setup.exe did not end";
  }

  TestedProcess process_{WindowsPath(E2E_SETUP_EXE)};
  Robot robot_{process_, scenario::OutputFolder("setup")};
  HWND main_ = nullptr;
};

TEST_F(SetupScenario, WelcomeCancelAsksFirstNoKeepsTheWindowYesEndsTheProgram) {
  robot_.WaitForControl(main_, "Button", "Continue");
  robot_.Screenshot("welcome");
  robot_.ClickButton(main_, "Cancel");
  AnswerCloseQuestion("No");
  EXPECT_TRUE(robot_.NoMessageBoxWithin(StaysOpen));
  EXPECT_TRUE(process_.Running());
  EXPECT_TRUE(IsWindow(main_) && IsShown(main_));
  robot_.WaitForControl(main_, "Button", "Continue");  // still on the welcome panel

  robot_.ClickButton(main_, "Cancel");
  AnswerCloseQuestion("Yes");
  ExpectCleanEnd();
  EXPECT_EQ(robot_.Transcript().size(), 2u) << "a box after the close was confirmed";
}

TEST_F(SetupScenario, ContinueShowsTheDestinationPanelWithTheDefaultFolder) {
  robot_.ClickButton(main_, "Continue");
  HWND destination = robot_.WaitForControlOfClass(main_, "Edit");
  robot_.WaitForText(destination, DefaultDestination);
  robot_.Screenshot("destination");
  // Only the destination panel's two buttons are left on screen.
  EXPECT_EQ(Descendants(main_, "Button").size(), 2u);
  EXPECT_TRUE(robot_.NoMessageBoxWithin(500));

  PressCloseBox(main_);
  AnswerCloseQuestion("Yes");
  ExpectCleanEnd();
}

// A second copy started while one runs says so in one box and ends without a window of its
// own; the first goes on as it was.
TEST_F(SetupScenario, ASecondCopyTellsAndEndsTheFirstGoesOn) {
  {
    TestedProcess second{WindowsPath(E2E_SETUP_EXE)};
    Robot robot{second};
    const MessageBoxSeen box = robot.WaitForMessageBox();
    EXPECT_EQ(box.caption, "Information");
    EXPECT_EQ(box.text, "Kestrel Setup is already running.");
    EXPECT_THAT(box.buttons, ElementsAre("OK"));
    for (HWND window : TopLevelWindows(second.Id()))
      EXPECT_TRUE(IsMessageBox(window)) << "a window of its own";
    robot.Answer("OK");
    EXPECT_EQ(second.WaitForExit(DefaultTimeout), 1u);
  }
  EXPECT_TRUE(process_.Running());
  robot_.ClickButton(main_, "Continue");
  robot_.WaitForControlOfClass(main_, "Edit");
  PressCloseBox(main_);
  AnswerCloseQuestion("Yes");
  ExpectCleanEnd();
}

// A Japanese system (code page 932): setup.exe started from a folder whose letters have
// ASCII letters as second bytes (テスト: 0x65, 0x58, 0x67) reaches its welcome panel.
TEST(SetupOnCodePage932, StartsFromAFolderWithJapaneseLetters) {
  KESTREL_ONLY_UNDER_CODE_PAGE(932);
  const std::string folder = "C:\\\u30c6\u30b9\u30c8";
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  {
    TestedProcess process{WindowsPath(E2E_SETUP_EXE), "", folder};
    Robot robot{process, scenario::OutputFolder("setup")};
    HWND main = robot.WaitForWindow("", MainCaption);
    robot.WaitForControl(main, "Button", "Continue");
    robot.Screenshot("welcome-cp932");
    EXPECT_TRUE(robot.NoMessageBoxWithin(StaysOpen));
    PressCloseBox(main);
    robot.AnswerNext("Yes");
    EXPECT_EQ(process.WaitForExit(DefaultTimeout), 0u);
  }
  RemoveDirectoryW(Wide(folder).c_str());
}

}  // namespace

namespace {

std::string VersionString(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
    return {};
  return std::string(value);
}

// What Explorer and the loader read from the file itself: the version, the manifest that
// asks for elevation and DPI awareness, and the icon.
TEST(SetupExecutable, CarriesVersionManifestAndIcon) {
  const std::string exe = WindowsPath(E2E_SETUP_EXE);
  DWORD handle = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &handle));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  EXPECT_EQ(VersionString(info, "ProductName"), "Kestrel 2.2");
  EXPECT_EQ(VersionString(info, "FileDescription"), "Kestrel Setup");
  EXPECT_EQ(VersionString(info, "CompanyName"), "Harrowby, Inc.");

  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  const std::string manifest(data, SizeofResource(module, found));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find("supportedOS"), std::string::npos);
  EXPECT_NE(FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  FreeLibrary(module);
}

}  // namespace
