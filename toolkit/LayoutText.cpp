#include "toolkit/LayoutText.h"

#include <cctype>
#include <climits>
#include <cstdlib>

#include "toolkit/Format.h"
#include "toolkit/StringList.h"

namespace {

struct ColorName {
  const char* name;
  TColor color;
};
constexpr ColorName kColorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

// Where name stands among names, without regard to ASCII case; -1 if it is not there.
int IndexOfName(const std::string& name, std::initializer_list<const char*> names) {
  int index = 0;
  for (const char* candidate : names) {
    if (SameTextAscii(name, candidate)) return index;
    ++index;
  }
  return -1;
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// A decimal number with an optional minus, or $ and hexadecimal digits; nothing else (no
// blanks, no plus) and nothing beyond 64 bits.
int64_t ParseInteger(const std::string& text, int line) {
  const bool hex = text[0] == '$';
  const bool negative = text[0] == '-';
  const size_t first = hex || negative ? 1 : 0;
  if (first == text.size()) FailAtLine(line, "not a number: " + text);
  const uint64_t limit = hex ? UINT64_MAX : negative ? uint64_t{INT64_MAX} + 1 : INT64_MAX;
  const unsigned base = hex ? 16 : 10;
  uint64_t magnitude = 0;
  for (size_t i = first; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned digit;
    if (std::isdigit(c))
      digit = c - '0';
    else if (hex && std::isxdigit(c))
      digit = static_cast<unsigned>(std::tolower(c) - 'a' + 10);
    else
      FailAtLine(line, "not a number: " + text);
    if (magnitude > (limit - digit) / base) FailAtLine(line, "number out of range: " + text);
    magnitude = magnitude * base + digit;
  }
  if (negative)
    return magnitude == uint64_t{INT64_MAX} + 1 ? INT64_MIN : -static_cast<int64_t>(magnitude);
  return static_cast<int64_t>(magnitude);
}

TLayoutValue ParseValue(const std::string& text, int line) {
  TLayoutValue v;
  v.line = line;
  if (text.empty()) FailAtLine(line, "missing value");
  if (text[0] == '\'') {
    v.kind = TLayoutValue::Kind::String;
    size_t i = 1;
    for (;;) {
      if (i >= text.size()) FailAtLine(line, "unterminated text");
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          v.text += '\'';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      v.text += text[i++];
    }
    if (i != text.size()) FailAtLine(line, "text after the closing quote");
    return v;
  }
  if (text[0] == '[') {
    v.kind = TLayoutValue::Kind::Set;
    if (text.back() != ']') FailAtLine(line, "unterminated set");
    std::string inner = text.substr(1, text.size() - 2);
    size_t start = 0;
    while (start <= inner.size()) {
      size_t comma = inner.find(',', start);
      std::string item =
          Trim(inner.substr(start, comma == std::string::npos ? comma : comma - start));
      if (!item.empty()) v.items.push_back(item);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    return v;
  }
  if (text[0] == '$' || text[0] == '-' || std::isdigit(static_cast<unsigned char>(text[0]))) {
    v.kind = TLayoutValue::Kind::Integer;
    v.integer = ParseInteger(text, line);
    return v;
  }
  for (char c : text)
    if (!IsNameChar(c)) FailAtLine(line, "not a value: " + text);
  v.kind = TLayoutValue::Kind::Identifier;
  v.text = text;
  return v;
}

}  // namespace

void FailAtLine(int line, const std::string& what) {
  throw ELayoutError(Format("Layout line %d: %s", line, what.c_str()));
}

TLayoutNode ParseLayoutText(const std::string& text) {
  std::vector<TLayoutNode*> open;
  TLayoutNode root;
  bool haveRoot = false;
  int line = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    std::string raw = text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
    pos = eol == std::string::npos ? text.size() + 1 : eol + 1;
    ++line;
    std::string s = Trim(raw);
    if (s.empty() || s.rfind("//", 0) == 0) continue;
    if (s == "end") {
      if (open.empty()) FailAtLine(line, "'end' without an object");
      open.pop_back();
      continue;
    }
    size_t eq = s.find('=');
    size_t colon = s.find(':');
    if (eq != std::string::npos && (colon == std::string::npos || eq < colon)) {
      if (open.empty()) FailAtLine(line, "property outside an object");
      std::string property = Trim(s.substr(0, eq));
      open.back()->properties.emplace_back(property, ParseValue(Trim(s.substr(eq + 1)), line));
      continue;
    }
    if (colon == std::string::npos) FailAtLine(line, "expected 'Name: Class', a property or 'end'");
    TLayoutNode node;
    node.name = Trim(s.substr(0, colon));
    node.className = Trim(s.substr(colon + 1));
    node.line = line;
    if (node.name.empty() || node.className.empty()) FailAtLine(line, "expected 'Name: Class'");
    if (open.empty()) {
      if (haveRoot) FailAtLine(line, "a second top object");
      root = std::move(node);
      haveRoot = true;
      open.push_back(&root);
    } else {
      open.back()->children.push_back(std::move(node));
      open.push_back(&open.back()->children.back());
    }
  }
  if (!haveRoot) FailAtLine(line, "no object");
  if (!open.empty()) FailAtLine(line, "missing 'end' of " + open.back()->name);
  return root;
}

int ScaleDesignUnits(int designValue, int pixelsPerInch, int line) {
  const int64_t product = int64_t{designValue} * pixelsPerInch;
  const int64_t half = kDesignPixelsPerInch / 2;
  const int64_t scaled = (product >= 0 ? product + half : product - half) / kDesignPixelsPerInch;
  if (scaled < INT_MIN || scaled > INT_MAX) FailAtLine(line, "number out of range");
  return static_cast<int>(scaled);
}

void TLayoutProperty::Fail(const std::string& what) const {
  FailAtLine(value_.line, what);
}

int TLayoutProperty::Integer() const {
  if (value_.kind != TLayoutValue::Kind::Integer) Fail("a number is expected");
  if (value_.integer < INT_MIN || value_.integer > INT_MAX) Fail("number out of range");
  return static_cast<int>(value_.integer);
}

int TLayoutProperty::ScaledInteger() const {
  return ScaleDesignUnits(Integer(), pixelsPerInch_, value_.line);
}

const std::string& TLayoutProperty::String() const {
  if (value_.kind != TLayoutValue::Kind::String) Fail("a quoted text is expected");
  return value_.text;
}

const std::string& TLayoutProperty::Identifier() const {
  if (value_.kind != TLayoutValue::Kind::Identifier) Fail("a name is expected");
  return value_.text;
}

bool TLayoutProperty::Boolean() const {
  return Enumeration({"False", "True"}) != 0;
}

TColor TLayoutProperty::Color() const {
  if (value_.kind == TLayoutValue::Kind::Integer) {
    // 32 bits, written either way: $80000005 or its signed twin -2147483643.
    if (value_.integer < INT32_MIN || value_.integer > int64_t{UINT32_MAX})
      Fail("colour out of range");
    return static_cast<TColor>(value_.integer);
  }
  const std::string& name = Identifier();
  for (const ColorName& c : kColorNames)
    if (SameTextAscii(name, c.name)) return c.color;
  Fail("unknown colour " + name);
}

int TLayoutProperty::Enumeration(std::initializer_list<const char*> names) const {
  const std::string& name = Identifier();
  const int index = IndexOfName(name, names);
  if (index < 0) Fail("unknown value " + name);
  return index;
}

unsigned TLayoutProperty::SetOf(std::initializer_list<const char*> names) const {
  if (value_.kind != TLayoutValue::Kind::Set) Fail("a set [...] is expected");
  unsigned bits = 0;
  for (const std::string& item : value_.items) {
    const int index = IndexOfName(item, names);
    if (index < 0) Fail("unknown set member " + item);
    bits |= 1u << index;
  }
  return bits;
}

TComponent* TLayoutProperty::Component(const TComponent& component) const {
  const std::string& name = Identifier();
  TComponent* found = component.Owner() ? component.Owner()->FindComponent(name) : nullptr;
  if (!found) Fail("no component named " + name);
  return found;
}

int TLayoutProperty::Cursor() const {
  if (value_.kind == TLayoutValue::Kind::Integer) return Integer();
  // crDefault is 0 and the system's shapes count down from -1.
  return -Enumeration({"crDefault", "crNone", "crArrow", "crCross", "crIBeam"});
}

bool TPropertyTable::Apply(TComponent& component, const std::string& name,
                           const TLayoutProperty& property) const {
  for (const TPropertyTable* table = this; table; table = table->base_)
    for (const TEntry& entry : table->entries_)
      if (name == entry.name) {
        if (!entry.set) return false;
        table->invoke_(entry.set, component, property, entry.name);
        return true;
      }
  return false;
}
