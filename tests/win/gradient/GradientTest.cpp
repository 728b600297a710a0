// TGradient on real windows: the bands it paints, colours from the user's scheme in the
// registry, writers that paint at once, and the failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "controls/Gradient.h"
#include "toolkit/win32/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/Layout.h"
#include "toolkit/win32/Registry.h"
#include "toolkit/win32/StdCtrls.h"

namespace {

constexpr const char* kColorsKey = "Control Panel\\Colors";

// Sets (or removes) a value of the user's colour scheme for one test and puts the old
// value back afterwards.
class SchemeValue {
public:
  SchemeValue(const char* name, std::optional<std::string> text, DWORD type = REG_SZ)
      : name_(name) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kColorsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    char buffer[256];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key_, name, nullptr, &oldType_, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS)
      old_ = std::string(buffer, size);
    if (!text) {
      RegDeleteValueA(key_, name);
    } else if (type == REG_DWORD) {
      DWORD number = 5;
      RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    } else {
      RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(text->c_str()),
                     static_cast<DWORD>(text->size() + 1));
    }
  }
  ~SchemeValue() {
    if (old_)
      RegSetValueExA(key_, name_, 0, oldType_, reinterpret_cast<const BYTE*>(old_->data()),
                     static_cast<DWORD>(old_->size()));
    else
      RegDeleteValueA(key_, name_);
    RegCloseKey(key_);
  }

private:
  const char* name_;
  HKEY key_ = nullptr;
  DWORD oldType_ = REG_SZ;
  std::optional<std::string> old_;
};

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsNone);
    SetBounds(0, 0, 300, 420);
  }
};

// A gradient over a borderless panel of the given size, on a form that is not shown.
struct Fixture {
  TApplication app;
  TTestForm* form = app.CreateForm<TTestForm>();
  TPanel* panel = new TPanel(form);
  TGradient* gradient = new TGradient(form);

  Fixture(int width, int height) {
    panel->SetBevelOuter(bvNone);
    panel->SetParent(form);
    panel->SetBounds(0, 0, width, height);
    gradient->SetName("Gradient1");
    gradient->SetParent(panel);
  }
  // Paints the gradient into a bitmap of its size, as the parent's WM_PAINT does.
  void Render(TBitmap& bitmap) {
    bitmap.SetSize(gradient->Width(), gradient->Height());
    gradient->PaintOn(bitmap.Canvas().Handle());
  }
};

TEST(GradientPaint, BlueToBlackOver255RowsShowsEntryRowPlusOne) {
  Fixture f(40, 255);
  f.gradient->SetColorStart(clBlue);
  f.gradient->SetColorEnd(clBlack);
  ASSERT_EQ(f.gradient->Height(), 255);
  TBitmap bitmap;
  f.Render(bitmap);
  for (int y = 0; y < 254; ++y) ASSERT_EQ(bitmap.Pixel(20, y), RGBToColor(0, 0, 254 - y)) << y;
  EXPECT_EQ(bitmap.Pixel(0, 254), clBlack);
  EXPECT_EQ(bitmap.Pixel(39, 254), clBlack);
}

TEST(GradientPaint, Height399TopBandIsBlue254AndTheLastRowBlack) {
  Fixture f(30, 399);
  f.gradient->SetColorStart(clBlue);
  f.gradient->SetColorEnd(clBlack);
  TBitmap bitmap;
  f.Render(bitmap);
  EXPECT_EQ(bitmap.Pixel(5, 0), RGBToColor(0, 0, 254));  // entry 0 never stays visible
  EXPECT_EQ(bitmap.Pixel(5, 1), RGBToColor(0, 0, 253));  // band 2 starts at row 1
  EXPECT_EQ(bitmap.Pixel(5, 397), clBlack);              // band 255 starts at 397
  EXPECT_EQ(bitmap.Pixel(5, 398), clBlack);
  EXPECT_NE(bitmap.Pixel(5, 396), clBlack);
}

TEST(GradientPaint, BelowBandCountTheHighestEntryOfARowShows) {
  Fixture f(10, 100);
  f.gradient->SetColorStart(clBlue);
  f.gradient->SetColorEnd(clBlack);
  TBitmap bitmap;
  f.Render(bitmap);
  EXPECT_EQ(bitmap.Pixel(3, 0), RGBToColor(0, 0, 252));  // bands 0 to 3 start on row 0
  EXPECT_EQ(bitmap.Pixel(3, 99), clBlack);
}

TEST(GradientPaint, DefaultsSwapAndLeftRight) {
  Fixture f(255, 40);
  TBitmap bitmap;
  f.Render(bitmap);
  // Default: black at the top (bands 0 to 7 start on row 0) to blue at the bottom.
  EXPECT_EQ(bitmap.Pixel(0, 0), RGBToColor(0, 0, 7));
  EXPECT_EQ(bitmap.Pixel(0, 39), RGBToColor(0, 0, 255));
  f.gradient->SetSwap(true);
  f.Render(bitmap);
  EXPECT_EQ(bitmap.Pixel(0, 39), clBlack);
  EXPECT_GT(ColorBlue(bitmap.Pixel(0, 0)), 240);
  f.gradient->SetSwap(false);
  f.gradient->SetDirection(gdLeftRight);
  f.Render(bitmap);
  for (int x = 0; x < 254; ++x) ASSERT_EQ(bitmap.Pixel(x, 20), RGBToColor(0, 0, x + 1)) << x;
  EXPECT_EQ(bitmap.Pixel(254, 0), clBlue);
}

TEST(GradientPaint, WritersPaintOnTheParentWindowAtOnce) {
  Fixture f(120, 255);
  f.form->Show();
  f.app.ProcessMessages();
  f.gradient->SetColorStart(clRed);
  f.gradient->SetColorEnd(clRed);
  HDC dc = GetDC(f.panel->Handle());
  const COLORREF top = GetPixel(dc, 60, 0);
  const COLORREF bottom = GetPixel(dc, 60, 254);
  ReleaseDC(f.panel->Handle(), dc);
  EXPECT_EQ(top, RGB(255, 0, 0));
  EXPECT_EQ(bottom, RGB(255, 0, 0));
}

TEST(GradientScheme, ButtonFaceWithAndWithoutSchemeValue) {
  Fixture f(10, 10);
  {
    SchemeValue value("ButtonFace", "192 192 192");
    f.gradient->SetColorStart(clBtnFace);
    EXPECT_EQ(f.gradient->ColorTable()[0], RGBToColor(192, 192, 192));
  }
  {
    SchemeValue missing("ButtonFace", std::nullopt);
    f.gradient->SetColorStart(clBtnFace);
    EXPECT_EQ(f.gradient->ColorTable()[0], RGBToColor(15, 0, 0));
  }
  {
    SchemeValue expandable("ButtonFace", "1 2 3", REG_EXPAND_SZ);
    f.gradient->SetColorStart(clBtnFace);
    EXPECT_EQ(f.gradient->ColorTable()[0], RGBToColor(1, 2, 3));
  }
}

TEST(GradientScheme, ScrollBarIsBlackWhateverTheScheme) {
  SchemeValue value("Scrollbar", "200 200 200");
  Fixture f(10, 10);
  f.gradient->SetColorStart(clScrollBar);
  EXPECT_EQ(f.gradient->ColorTable()[0], clBlack);
}

TEST(GradientScheme, AFailedRebuildKeepsTheTableAndTheNewValue) {
  Fixture f(10, 10);
  f.gradient->SetColorStart(clWhite);
  const gradient::ColorTable before = f.gradient->ColorTable();
  {
    SchemeValue bad("Window", "0,0,128");
    try {
      f.gradient->SetColorStart(clWindow);
      FAIL() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "',' is not a valid integer value");
    }
  }
  EXPECT_EQ(f.gradient->ColorStart(), clWindow);
  EXPECT_EQ(f.gradient->ColorTable(), before);
  {
    SchemeValue wrongType("Window", "", REG_DWORD);
    try {
      f.gradient->SetColorEnd(clWindow);
      FAIL() << "no error";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), "Invalid data type for 'Window'");
    }
  }
  EXPECT_EQ(f.gradient->ColorTable(), before);
}

// The scheme is only read, so a profile that may only read its colours gets them: the key
// is opened for reading, and nothing can be written through it.
TEST(GradientScheme, IsOpenedForReadingOnly) {
  TRegistry registry;
  registry.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(registry.OpenKey("Control Panel\\Colors", false));
  const char value[] = "0 0 0";
  EXPECT_EQ(RegSetValueExA(registry.CurrentKey(), "KestrelWriteProbe", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(value), sizeof value),
            ERROR_ACCESS_DENIED);
  HKEY writable = nullptr;  // a failing run leaves nothing behind
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Colors", 0, KEY_SET_VALUE, &writable) ==
      ERROR_SUCCESS) {
    RegDeleteValueA(writable, "KestrelWriteProbe");
    RegCloseKey(writable);
  }
}

TEST(GradientControl, WithoutParentTheWriterStoresThenFailsInThePaint) {
  TApplication app;
  TGradient gradient(nullptr);
  gradient.SetName("Gradient1");
  try {
    gradient.SetColorStart(clRed);
    FAIL() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Control 'Gradient1' has no parent window");
  }
  EXPECT_EQ(gradient.ColorStart(), clRed);
  EXPECT_EQ(gradient.ColorTable()[0], clRed);
  EXPECT_EQ(gradient.Align(), alClient);
  EXPECT_EQ(gradient.Perform(WM_ERASEBKGND, 0, 0), 1);
}

TEST(GradientControl, FillsItsParentAndFollowsItsSize) {
  Fixture f(100, 80);
  EXPECT_EQ(f.gradient->BoundsRect(), Bounds(0, 0, 100, 80));
  f.panel->SetBounds(0, 0, 150, 60);
  EXPECT_EQ(f.gradient->BoundsRect(), Bounds(0, 0, 150, 60));
  // Its own position and size cannot move it off the client area.
  f.gradient->SetLeft(10);
  f.gradient->SetHeight(20);
  f.gradient->SetBounds(5, 5, 1, 1);
  EXPECT_EQ(f.gradient->BoundsRect(), Bounds(0, 0, 150, 60));
}

TEST(GradientControl, LayoutsSetItsPublishedPropertiesAndNoOthers) {
  RegisterGradient();
  TApplication app;
  auto* form = app.CreateForm<TTestForm>();
  ApplyLayout(
      *form, FormLayoutProperties(),
      "f: TTestForm\n  Gradient1: TGradient\n    Tag = 7\n    Cursor = crCross\n"
      "    Hint = 'backdrop'\n  end\n  Gradient2: TGradient\n    Cursor = -21\n  end\nend\n",
      {});
  auto* gradient = dynamic_cast<TGradient*>(form->FindComponent("Gradient1"));
  ASSERT_NE(gradient, nullptr);
  EXPECT_EQ(gradient->Cursor(), -3);
  EXPECT_EQ(gradient->Tag(), 7);
  EXPECT_EQ(dynamic_cast<TGradient*>(form->FindComponent("Gradient2"))->Cursor(), -21);
  EXPECT_EQ(TGradient(nullptr).Cursor(), crDefault);
  for (const char* property : {"Align = alNone", "Enabled = False"}) {
    auto* other = app.CreateForm<TTestForm>();
    const std::string text =
        std::string("f: TTestForm\n  Gradient3: TGradient\n    ") + property + "\n  end\nend\n";
    try {
      ApplyLayout(*other, FormLayoutProperties(), text, {});
      ADD_FAILURE() << property << " was accepted";
    } catch (const ELayoutError& e) {
      EXPECT_NE(std::string(e.Message()).find("unknown property"), std::string::npos)
          << e.Message();
    }
  }
}

}  // namespace
