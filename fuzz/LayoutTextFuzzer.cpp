// The layout text reader. Input: the text of a layout. A text is either read or refused
// with an ELayoutError that names a line of it. A text that is read prints back to a text
// that reads as the same tree, and every conversion of every value either gives a value or
// refuses with an ELayoutError.
#include <cstdio>
#include <functional>
#include <string>

#include "fuzz/FuzzChecks.h"
#include "toolkit/LayoutText.h"

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string ValueText(const TLayoutValue& value) {
  switch (value.kind) {
    case TLayoutValue::Kind::Integer:
      return std::to_string(value.integer);
    case TLayoutValue::Kind::String:
      return Quoted(value.text);
    case TLayoutValue::Kind::Identifier:
      return value.text;
    case TLayoutValue::Kind::Set: {
      std::string out = "[";
      for (size_t i = 0; i < value.items.size(); ++i) out += (i ? ", " : "") + value.items[i];
      return out + "]";
    }
  }
  return {};
}

void Print(const TLayoutNode& node, const std::string& indent, std::string& out) {
  out += indent + node.name + ": " + node.className + "\n";
  for (const auto& [name, value] : node.properties)
    out += indent + "  " + name + " = " + ValueText(value) + "\n";
  for (const TLayoutNode& child : node.children) Print(child, indent + "  ", out);
  out += indent + "end\n";
}

bool SameValue(const TLayoutValue& a, const TLayoutValue& b) {
  return a.kind == b.kind && a.integer == b.integer && a.text == b.text && a.items == b.items;
}

bool SameTree(const TLayoutNode& a, const TLayoutNode& b) {
  if (a.name != b.name || a.className != b.className) return false;
  if (a.properties.size() != b.properties.size() || a.children.size() != b.children.size())
    return false;
  for (size_t i = 0; i < a.properties.size(); ++i)
    if (a.properties[i].first != b.properties[i].first ||
        !SameValue(a.properties[i].second, b.properties[i].second))
      return false;
  for (size_t i = 0; i < a.children.size(); ++i)
    if (!SameTree(a.children[i], b.children[i])) return false;
  return true;
}

// Runs one conversion; a refusal is fine, anything else escapes to libFuzzer.
template <typename Convert>
void Try(Convert convert) {
  try {
    convert();
  } catch (const ELayoutError&) {
  }
}

void ConvertEveryValue(const TLayoutNode& node, const TEventTable& events,
                       const TComponent& named) {
  for (const auto& [name, value] : node.properties) {
    for (int pixelsPerInch : {kDesignPixelsPerInch, 96, 480}) {
      const TLayoutProperty p(value, events, pixelsPerInch);
      Try([&] { p.ScaledInteger(); });
    }
    const TLayoutProperty p(value, events, kDesignPixelsPerInch);
    Try([&] { p.Integer(); });
    Try([&] { p.String(); });
    Try([&] { p.Boolean(); });
    Try([&] { p.Color(); });
    Try([&] { p.Cursor(); });
    Try([&] { p.Enumeration({"alNone", "alClient"}); });
    Try([&] { p.SetOf({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}); });
    Try([&] { p.Component(named); });
    Try([&] { p.Handler<std::function<void()>>(); });
  }
  for (const TLayoutNode& child : node.children) ConvertEveryValue(child, events, named);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';

  TLayoutNode tree;
  try {
    tree = ParseLayoutText(text);
  } catch (const ELayoutError& e) {
    int line = 0;
    FUZZ_CHECK(std::sscanf(e.Message().c_str(), "Layout line %d: ", &line) == 1,
               "refusal without a line: %s", e.Message().c_str());
    FUZZ_CHECK(line >= 1 && line <= lines, "refusal names line %d of %d", line, lines);
    return 0;
  }

  std::string printed;
  Print(tree, "", printed);
  TLayoutNode again;
  try {
    again = ParseLayoutText(printed);
  } catch (const ELayoutError& e) {
    FuzzFail("the printed tree does not read: %s\n%s", e.Message().c_str(), printed.c_str());
  }
  FUZZ_CHECK(SameTree(tree, again), "the printed tree reads differently:\n%s", printed.c_str());

  TComponent owner(nullptr);
  TComponent named(&owner);
  named.SetName("Named");
  const TEventTable events{{"Handler", std::function<void()>([] {})}};
  ConvertEveryValue(tree, events, named);
  return 0;
}
