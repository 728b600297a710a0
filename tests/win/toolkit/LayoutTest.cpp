// The layout loader: object trees applied in the order written, scaling from 120 pixels
// per inch, classes from the registry, handlers bound by name, and its errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/win32/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"

namespace {

// A non-visual component of another folder, as the archive component will be.
class TRecorder : public TComponent {
public:
  explicit TRecorder(TComponent* owner) : TComponent(owner) {}
  std::vector<std::string> writes;
  std::function<void(int&)> OnProgress;
};

const TPropertyTable& RecorderLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TRecorder> table{
      nullptr,
      {
          {"OnProgress",
           [](TRecorder& r, P p) { r.OnProgress = p.Handler<std::function<void(int&)>>(); }},
          {"First",
           [](TRecorder& r, P p) { r.writes.push_back("First=" + std::to_string(p.Integer())); }},
          {"Second",
           [](TRecorder& r, P p) { r.writes.push_back("Second=" + std::to_string(p.Integer())); }},
      }};
  return table;
}

class TLayoutForm : public TForm {
public:
  explicit TLayoutForm(TComponent* owner) : TForm(owner) {}
  void Load(const std::string& text) {
    LoadLayoutText(text, {{"OkClick", Handler(&TLayoutForm::OkClick)},
                          {"Progress", Handler(&TLayoutForm::Progress)},
                          {"CloseQuery", Handler(&TLayoutForm::AskClose)}});
  }
  void OkClick(TObject* sender) { clicks.push_back(sender); }
  void Progress(int& percent) { percent += 1; }
  void AskClose(TObject*, bool& canClose) { canClose = allowClose; }
  std::vector<TObject*> clicks;
  bool allowClose = false;
};

const char* kLayout = R"(
// a comment line
frmTest: TLayoutForm
  Left = 120
  Top = 240
  Width = 600
  Height = 360
  Caption = 'It''s a test'
  Font.Height = -12
  Font.Style = [fsBold, fsItalic]
  OnCloseQuery = CloseQuery
  Panel1: TPanel
    Left = 12
    Top = 24
    Width = 240
    Height = 120
    BevelWidth = 2
    btnOk: TButton
      Left = 8
      Top = 8
      Width = 90
      Height = 30
      Caption = 'OK'
      Default = True
      TabOrder = 1
      OnClick = OkClick
    end
    btnOther: TButton
      Caption = 'Other'
      TabOrder = 0
    end
    Label1: TLabel
      Caption = 'inherits the font'
    end
  end
  Recorder1: TRecorder
    Second = 2
    First = 1
    OnProgress = Progress
  end
end
)";

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetLayoutPixelsPerInch(96);
    RegisterComponentClass(
        "TRecorder", [](TComponent* o) { return new TRecorder(o); }, RecorderLayoutProperties());
  }
  void TearDown() override { SetLayoutPixelsPerInch(0); }
  TApplication app;
};

TEST_F(LayoutTest, BuildsTheTreeScaledFrom120PixelsPerInch) {
  auto* form = app.CreateForm<TLayoutForm>();
  form->Load(kLayout);
  EXPECT_EQ(form->BoundsRect(), Bounds(96, 192, 480, 288));
  EXPECT_EQ(form->Caption(), "It's a test");
  EXPECT_EQ(form->Font().Height(), MulDiv(-12, 96, 120));
  EXPECT_EQ(form->Font().Style(), fsBold | fsItalic);

  auto* panel = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  auto* ok = dynamic_cast<TButton*>(form->FindComponent("btnOk"));
  auto* other = dynamic_cast<TButton*>(form->FindComponent("btnOther"));
  auto* label = dynamic_cast<TLabel*>(form->FindComponent("Label1"));
  ASSERT_TRUE(panel && ok && other && label);
  EXPECT_EQ(ok->Owner(), form);    // the form owns everything ...
  EXPECT_EQ(ok->Parent(), panel);  // ... the enclosing object is the parent
  EXPECT_EQ(panel->Parent(), form);
  EXPECT_EQ(panel->BoundsRect(), Bounds(10, 19, 192, 96));
  EXPECT_EQ(panel->BevelWidth(), 2);  // 2 design units stay 2 at 96 ppi
  EXPECT_EQ(ok->TabOrder(), 1);
  EXPECT_EQ(other->TabOrder(), 0);
  EXPECT_TRUE(ok->Default());
  EXPECT_EQ(label->Font().Height(), form->Font().Height());
  EXPECT_EQ(label->Font().Style(), fsBold | fsItalic);
}

TEST_F(LayoutTest, PropertiesApplyInTheOrderWrittenAndHandlersBindByName) {
  auto* form = app.CreateForm<TLayoutForm>();
  form->Load(kLayout);
  auto* recorder = dynamic_cast<TRecorder*>(form->FindComponent("Recorder1"));
  ASSERT_NE(recorder, nullptr);
  EXPECT_EQ(recorder->writes, (std::vector<std::string>{"Second=2", "First=1"}));
  int percent = 41;
  ASSERT_TRUE(recorder->OnProgress);
  recorder->OnProgress(percent);
  EXPECT_EQ(percent, 42);

  auto* ok = dynamic_cast<TButton*>(form->FindComponent("btnOk"));
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);  // through Windows: WM_COMMAND to the panel
  EXPECT_EQ(form->clicks, (std::vector<TObject*>{ok}));

  EXPECT_FALSE(form->CloseQuery());
  form->allowClose = true;
  EXPECT_TRUE(form->CloseQuery());
}

TEST_F(LayoutTest, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"f: TLayoutForm\n  Colour = 1\nend\n",
       "Layout line 2: unknown property Colour of TLayoutForm"},
      {"f: TLayoutForm\n  x: TNoSuchClass\n  end\nend\n",
       "Layout line 2: unknown class TNoSuchClass"},
      {"f: TLayoutForm\n  OnCloseQuery = Missing\nend\n",
       "Layout line 2: no handler named Missing"},
      {"f: TLayoutForm\n  OnCloseQuery = OkClick\nend\n",
       "Layout line 2: handler OkClick does not fit the event"},
      {"f: TLayoutForm\n  Caption = 'open\nend\n", "Layout line 2: unterminated text"},
      {"f: TLayoutForm\n  Left = 12x\nend\n", "Layout line 2: not a number: 12x"},
      {"f: TLayoutForm\n  Visible = Maybe\nend\n", "Layout line 2: unknown value Maybe"},
      {"f: TLayoutForm\n  Left = 1\n", "Layout line 3: missing 'end' of f"},
  };
  for (const Case& c : cases) {
    auto* form = new TLayoutForm(&app);
    try {
      form->Load(c.text);
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    delete form;
  }
}

}  // namespace
