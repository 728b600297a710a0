// Layout texts read without windows: the shipped layouts, strict numbers, scaling, and the
// property tables' chain to the base class.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "toolkit/LayoutText.h"

namespace {

std::string ShippedLayout(const char* name) {
  const char* source = std::getenv("KESTREL_SOURCE_DIR");
  std::ifstream in(std::string(source ? source : ".") + "/resources/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const TLayoutNode* Find(const TLayoutNode& node, const std::string& name) {
  if (node.name == name) return &node;
  for (const TLayoutNode& child : node.children)
    if (const TLayoutNode* found = Find(child, name)) return found;
  return nullptr;
}

std::string ErrorOf(const std::string& text) {
  try {
    ParseLayoutText(text);
  } catch (const ELayoutError& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace

TEST(LayoutText, ReadsTheShippedLayouts) {
  const TLayoutNode main = ParseLayoutText(ShippedLayout("frmMain.txt"));
  EXPECT_EQ(main.name, "frmMain");
  EXPECT_EQ(main.className, "TfrmMain");
  EXPECT_FALSE(main.children.empty());

  const TLayoutNode copy = ParseLayoutText(ShippedLayout("frmCopy.txt"));
  EXPECT_EQ(copy.className, "TfrmCopy");
  const TLayoutNode* gauge = Find(copy, "Gauge1");
  ASSERT_NE(gauge, nullptr);
  EXPECT_EQ(gauge->className, "TGauge");
  ASSERT_EQ(Find(copy, "Panel3")->children.front().name, "Gauge1");  // nested, not a sibling
  const auto& style = gauge->properties.at(7);
  ASSERT_EQ(style.first, "Font.Style");
  EXPECT_EQ(style.second.items, std::vector<std::string>{"fsBold"});
}

TEST(LayoutText, NumbersAreReadStrictlyAndNeverWrap) {
  auto value = [](const std::string& text) {
    return ParseLayoutText("f: T\n  V = " + text + "\nend\n").properties.at(0).second.integer;
  };
  EXPECT_EQ(value("-2147483648"), -2147483648LL);
  EXPECT_EQ(value("$80000005"), 0x80000005LL);
  EXPECT_EQ(value("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ErrorOf("f: T\n  V = 9223372036854775808\nend\n"),
            "Layout line 2: number out of range: 9223372036854775808");
  EXPECT_EQ(ErrorOf("f: T\n  V = $10000000000000000\nend\n"),
            "Layout line 2: number out of range: $10000000000000000");
  for (const char* bad : {"$", "-", "$-5", "$ 5", "- 5", "12x", "1 2"})
    EXPECT_EQ(ErrorOf(std::string("f: T\n  V = ") + bad + "\nend\n"),
              std::string("Layout line 2: not a number: ") + bad);

  // Where an int is wanted, a larger number is an error, not a truncated value.
  const TLayoutNode node = ParseLayoutText("f: T\n  V = 4294967297\nend\n");
  const TLayoutProperty property(node.properties[0].second, {}, kDesignPixelsPerInch);
  EXPECT_THROW(property.Integer(), ELayoutError);
  EXPECT_THROW(property.Color(), ELayoutError) << "32 bits at most";
}

TEST(LayoutText, ScalesDesignUnitsToTheNearestPixel) {
  EXPECT_EQ(ScaleDesignUnits(-12, 96, 1), -10);  // -9.6
  EXPECT_EQ(ScaleDesignUnits(1, 60, 1), 1);      // halves away from zero
  EXPECT_EQ(ScaleDesignUnits(-1, 60, 1), -1);
  EXPECT_EQ(ScaleDesignUnits(305, 120, 1), 305);
  EXPECT_THROW(ScaleDesignUnits(INT32_MAX, 240, 1), ELayoutError);
}

namespace {
struct TBase : TComponent {
  using TComponent::TComponent;
  std::vector<std::string> calls;
};
struct TDerived : TBase {
  using TBase::TBase;
};
using P = const TLayoutProperty&;
const TPropertiesOf<TBase> kBaseTable{
    nullptr,
    {
        {"Left", [](TBase& c, P) { c.calls.push_back("base Left"); }},
        {"Align", [](TBase& c, P) { c.calls.push_back("base Align"); }},
        {"Top", [](TBase& c, P) { c.calls.push_back("base Top"); }},
    }};
const TPropertiesOf<TDerived> kDerivedTable{
    &kBaseTable,
    {
        {"Left", [](TDerived& c, P) { c.calls.push_back("derived Left"); }},
        {"Align", nullptr},
    }};
}  // namespace

TEST(LayoutText, PropertyTablesChainToTheBaseClass) {
  TDerived derived(nullptr);
  const TLayoutValue value;
  const TLayoutProperty property(value, {}, kDesignPixelsPerInch);
  EXPECT_TRUE(kDerivedTable.Apply(derived, "Left", property));
  EXPECT_TRUE(kDerivedTable.Apply(derived, "Top", property));
  EXPECT_FALSE(kDerivedTable.Apply(derived, "Align", property)) << "hidden by the derived class";
  EXPECT_FALSE(kDerivedTable.Apply(derived, "Width", property));
  EXPECT_EQ(derived.calls, (std::vector<std::string>{"derived Left", "base Top"}));

  TBase base(nullptr);  // a table used on a class it was not made for
  EXPECT_THROW(kDerivedTable.Apply(base, "Left", property), ELayoutError);
}
