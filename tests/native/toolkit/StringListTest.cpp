#include <gtest/gtest.h>

#include "toolkit/Component.h"
#include "toolkit/Exception.h"
#include "toolkit/StringList.h"

TEST(StringList, FindsWithoutRegardToAsciiCaseOnly) {
  TStringList list;
  list.Add("Kestrel.exe");
  list.Add("\xDC.txt");  // a non-ASCII letter is compared as it is
  EXPECT_EQ(list.IndexOf("KESTREL.EXE"), 0);
  EXPECT_EQ(list.IndexOf("\xFC.txt"), -1);
  EXPECT_EQ(list.IndexOf("\xDC.TXT"), 1);
  EXPECT_EQ(list.IndexOf("Kestrel.ex"), -1);
  EXPECT_EQ(UpperCaseAscii("sites.ini\xE9"), "SITES.INI\xE9");
  EXPECT_EQ(LowerCaseAscii("C:\\Program Files"), "c:\\program files");
}

namespace {
struct Counted : TObject {
  explicit Counted(int& n) : n_(n) { ++n_; }
  ~Counted() override { --n_; }
  int& n_;
};
}  // namespace

TEST(StringList, FreesObjectsOnlyWhenItOwnsThem) {
  int alive = 0;
  Counted keep(alive);
  {
    TStringList borrowed;
    borrowed.AddObject("a", &keep);
  }
  EXPECT_EQ(alive, 1);
  {
    TStringList owning(true);
    owning.AddObject("b", new Counted(alive));
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 1);
}

TEST(Component, OwnerFreesWhatItOwns) {
  int alive = 0;
  struct Tracked : TComponent {
    Tracked(TComponent* owner, int& n) : TComponent(owner), n_(n) { ++n_; }
    ~Tracked() override { --n_; }
    int& n_;
  };
  auto* root = new TComponent(nullptr);
  auto* a = new Tracked(root, alive);
  a->SetName("Gauge1");
  new Tracked(a, alive);
  auto* b = new Tracked(root, alive);
  delete b;  // leaves its owner's list
  EXPECT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(root->FindComponent("gauge1"), a);
  delete root;
  EXPECT_EQ(alive, 0);
}

TEST(Exceptions, CarryTheirFixedMessages) {
  EXPECT_EQ(EResNotFound("data").Message(), "Resource data not found");
  EXPECT_EQ(EFCreateError("C:\\x").Message(), "Cannot create file C:\\x");
  EXPECT_EQ(EInOutError(5).Message(), "File access denied");
  EXPECT_EQ(EInOutError(5).ErrorCode(), 5u);
  EXPECT_EQ(EInOutError(1234).Message(), "I/O error 1234");
  EXPECT_EQ(EWriteError().Message(), "Stream write error");
}
