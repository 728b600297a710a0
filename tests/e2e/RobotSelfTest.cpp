// The robot proven against the sample program: every way it finds, reads, presses and
// answers works on a program whose behaviour is known.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>

#include "tests/e2e/Scenario.h"
#include "tests/e2e/robot/Files.h"
#include "tests/e2e/robot/Robot.h"

using namespace robot;
using ::testing::ElementsAre;

namespace {

class RobotSelfTest : public ::testing::Test {
protected:
  void SetUp() override {
    window_ = robot_.WaitForWindow("KestrelRobotSample", "Robot Sample");
    label_ = robot_.WaitForControl(window_, "Static", "Nothing yet");
  }
  void TearDown() override {
    robot_.SaveTranscript(scenario::OutputFolder("robot-selftest") + "\\" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  }

  TestedProcess process_{WindowsPath(E2E_SAMPLE_APP)};
  Robot robot_{process_, scenario::OutputFolder("robot-selftest")};
  HWND window_ = nullptr;
  HWND label_ = nullptr;
};

TEST_F(RobotSelfTest, ReadsAndAnswersTheSystemsMessageBoxes) {
  robot_.ClickButton(window_, "Ask");
  const MessageBoxSeen question = robot_.WaitForMessageBox();
  EXPECT_EQ(question.caption, "Sample question");
  EXPECT_EQ(question.text, "Do you like robots?");
  EXPECT_THAT(question.buttons, ElementsAre("&Yes", "&No"));
  EXPECT_EQ(question.icon, IconKind::Question);
  robot_.Screenshot("question");
  robot_.Answer("No");
  robot_.WaitForText(label_, "Answer: No");
  EXPECT_TRUE(robot_.NoMessageBoxWithin(500));

  robot_.ClickButton(window_, "Ask");
  robot_.AnswerNext("Yes");
  const MessageBoxSeen glad = robot_.AnswerNext("OK");
  EXPECT_EQ(glad.text, "Glad to hear it.");
  EXPECT_EQ(glad.icon, IconKind::Information);
  EXPECT_THAT(glad.buttons, ElementsAre("OK"));
  robot_.WaitForText(label_, "Answer: Yes");

  ASSERT_EQ(robot_.Transcript().size(), 3u);
  EXPECT_EQ(robot_.Transcript()[0].Describe(),
            "Sample question [question] Do you like robots? {&Yes|&No} -> No");
  EXPECT_EQ(robot_.Transcript()[2].answer, "OK");
}

TEST_F(RobotSelfTest, TypesIntoTheEditBoxAndTellsIconsApart) {
  robot_.ClickButton(window_, "Greet");
  const MessageBoxSeen error = robot_.AnswerNext("OK");
  EXPECT_EQ(error.caption, "Error");
  EXPECT_EQ(error.text, "Type a name first.");
  EXPECT_EQ(error.icon, IconKind::Stop);

  HWND edit = Descendants(window_, "Edit").at(0);
  Type(edit, "Kes");
  robot_.WaitForText(edit, "Kes");
  Type(edit, "trel \u00dc\u4e2d");  // letters beyond ASCII, in the robot's UTF-8
  robot_.WaitForText(edit, "Kestrel \u00dc\u4e2d");
  robot_.ClickButton(window_, "Greet");
  const MessageBoxSeen hello = robot_.AnswerNext("OK");
  EXPECT_EQ(hello.caption, "Greeting");
  EXPECT_EQ(hello.text, "Hello, Kestrel \u00dc\u4e2d!");
  EXPECT_EQ(hello.icon, IconKind::None);

  SetText(edit, "C:\\Program Files\\Kestrel");
  robot_.WaitForText(edit, "C:\\Program Files\\Kestrel");
}

TEST_F(RobotSelfTest, ReadsADialogMadeOfStaticAndButtonControls) {
  robot_.ClickButton(window_, "Custom");
  const MessageBoxSeen custom = robot_.WaitForMessageBox();
  EXPECT_EQ(custom.caption, "Warning");
  EXPECT_EQ(custom.text, "Keep going?");
  EXPECT_THAT(custom.buttons, ElementsAre("&Yes", "&No"));
  EXPECT_EQ(custom.icon, IconKind::Exclamation);
  robot_.Answer("Yes");
  robot_.WaitForText(label_, "Custom: Yes");
}

TEST_F(RobotSelfTest, ClicksWithTheMouseAndSeesTheProgramEnd) {
  ClickWithMouse(robot_.WaitForControl(window_, "Button", "Ask"));
  robot_.AnswerNext("No");
  robot_.WaitForText(label_, "Answer: No");

  robot_.ClickButton(window_, "Close");
  EXPECT_EQ(process_.WaitForExit(DefaultTimeout), 7u);
}

TEST_F(RobotSelfTest, AnswersTheCloseQuestion) {
  PressCloseBox(window_);
  const MessageBoxSeen quit = robot_.AnswerNext("No");
  EXPECT_EQ(quit.text, "Quit the sample?");
  EXPECT_EQ(quit.icon, IconKind::Exclamation);
  EXPECT_FALSE(process_.WaitForExit(300).has_value());

  PressCloseBox(window_);
  robot_.AnswerNext("Yes");
  EXPECT_EQ(process_.WaitForExit(DefaultTimeout), 0u);
  EXPECT_TRUE(robot_.NoMessageBoxWithin(300));
}

TEST_F(RobotSelfTest, GivesUpWithADescriptiveErrorInsteadOfHanging) {
  try {
    robot_.WaitForMessageBox(300);
    FAIL() << "a box appeared";
  } catch (const RobotError& e) {
    EXPECT_STREQ(e.what(), "no message box appeared at the start");
  }
  EXPECT_THROW(robot_.WaitForWindow("NoSuchClass", "", 200), RobotError);
  EXPECT_THROW(robot_.ClickButton(window_, "Missing", 200), RobotError);
  EXPECT_THROW(robot_.WaitForText(label_, "never", 200), RobotError);
}

TEST_F(RobotSelfTest, SavesScreenshots) {
  const std::string path = robot_.Screenshot("sample-window");
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  BITMAPFILEHEADER header{};
  DWORD read = 0;
  ReadFile(file, &header, sizeof header, &read, nullptr);
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  CloseHandle(file);
  EXPECT_EQ(header.bfType, 0x4D42);
  EXPECT_EQ(header.bfSize, size.QuadPart);
  // The sample window shows on the capture: its client area is button face, not black.
  const RECT rect = ScreenRect(label_);
  const Image image = CaptureScreen(rect);
  EXPECT_NE(image.pixels.at(0), 0u);
}

}  // namespace

namespace {

TEST(RobotFiles, ReadsShortcutsShellFoldersAndFileContents) {
  EXPECT_FALSE(UserShellFolder("Programs").empty());
  EXPECT_EQ(UserShellFolder("NoSuchFolder"), "");

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string link = std::string(temp) + "robot-selftest.lnk";
  const std::string copyA = std::string(temp) + "robot-a.txt",
                    copyB = std::string(temp) + "robot-b.txt";
  CoInitialize(nullptr);
  {
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&shell)),
              S_OK);
    shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    shell->SetPath("C:\\Some Folder\\PROGRAM.EXE");
    shell->SetWorkingDirectory("D:\\");
    shell->SetIconLocation("C:\\Some Folder\\PROGRAM.EXE", 0);
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(file->Save(wide, TRUE), S_OK);
    file->Release();
    shell->Release();
  }
  CoUninitialize();
  const std::optional<Shortcut> shortcut = ReadShortcut(link);
  ASSERT_TRUE(shortcut.has_value());
  EXPECT_EQ(shortcut->target, "C:\\Some Folder\\PROGRAM.EXE");
  EXPECT_EQ(shortcut->workingDirectory, "D:\\");
  EXPECT_EQ(shortcut->iconFile, "C:\\Some Folder\\PROGRAM.EXE");
  EXPECT_EQ(shortcut->iconIndex, 0);
  EXPECT_FALSE(ReadShortcut(link + ".missing").has_value());
  DeleteFileA(link.c_str());

  for (const std::string& path : {copyA, copyB}) {
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite("a\0b", 1, 3, out);
    std::fclose(out);
  }
  EXPECT_TRUE(SameContents(copyA, copyB));
  EXPECT_EQ(ReadWholeFile(copyA), std::string("a\0b", 3));
  FILE* out = std::fopen(copyB.c_str(), "ab");
  std::fputc('!', out);
  std::fclose(out);
  EXPECT_FALSE(SameContents(copyA, copyB));
  EXPECT_FALSE(SameContents(copyA, copyA + ".missing"));
  DeleteFileA(copyA.c_str());
  DeleteFileA(copyB.c_str());
}

}  // namespace
