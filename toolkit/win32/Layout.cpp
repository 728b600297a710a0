#include "toolkit/win32/Layout.h"

#include <windows.h>

#include <cctype>

#include "toolkit/Format.h"
#include "toolkit/Handles_win32.h"
#include "toolkit/StringList.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/ExtCtrls.h"
#include "toolkit/win32/FileCtrl.h"
#include "toolkit/win32/StdCtrls.h"

namespace {
int layoutPixelsPerInch = 0;

struct Registration {
  TComponentFactory factory;
  TPropertyApplier applier;
};

std::map<std::string, Registration>& ClassRegistry() {
  static std::map<std::string, Registration> registry;
  return registry;
}

void RegisterStandardClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  auto add = [](const char* name, TComponentFactory factory, TPropertyApplier applier) {
    if (!IsComponentClassRegistered(name)) RegisterComponentClass(name, factory, applier);
  };
  add(
      "TPanel", [](TComponent* o) { return new TPanel(o); }, &ApplyPanelProperty);
  add(
      "TLabel", [](TComponent* o) { return new TLabel(o); }, &ApplyLabelProperty);
  add(
      "TButton", [](TComponent* o) { return new TButton(o); }, &ApplyButtonProperty);
  add(
      "TEdit", [](TComponent* o) { return new TEdit(o); }, &ApplyEditProperty);
  add(
      "TImage", [](TComponent* o) { return new TImage(o); }, &ApplyImageProperty);
  add(
      "TDirectoryListBox", [](TComponent* o) { return new TDirectoryListBox(o); },
      &ApplyDirectoryListBoxProperty);
  add(
      "TDriveComboBox", [](TComponent* o) { return new TDriveComboBox(o); },
      &ApplyDriveComboBoxProperty);
}

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

// ---- parsing ----

struct Node {
  std::string name;
  std::string className;
  int line = 0;
  std::vector<std::pair<std::string, TLayoutValue>> properties;
  std::vector<Node> children;
};

[[noreturn]] void FailAt(int line, const std::string& what) {
  throw ELayoutError(Format("Layout line %d: %s", line, what.c_str()));
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

TLayoutValue ParseValue(const std::string& text, int line) {
  TLayoutValue v;
  v.line = line;
  if (text.empty()) FailAt(line, "missing value");
  if (text[0] == '\'') {
    v.kind = TLayoutValue::Kind::String;
    size_t i = 1;
    for (;;) {
      if (i >= text.size()) FailAt(line, "unterminated text");
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
    if (i != text.size()) FailAt(line, "text after the closing quote");
    return v;
  }
  if (text[0] == '[') {
    v.kind = TLayoutValue::Kind::Set;
    if (text.back() != ']') FailAt(line, "unterminated set");
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
    const bool hex = text[0] == '$';
    const char* digits = text.c_str() + (hex ? 1 : 0);
    char* end = nullptr;
    v.integer = std::strtoll(digits, &end, hex ? 16 : 10);
    if (end == digits || *end != '\0') FailAt(line, "not a number: " + text);
    return v;
  }
  for (char c : text)
    if (!IsNameChar(c)) FailAt(line, "not a value: " + text);
  v.kind = TLayoutValue::Kind::Identifier;
  v.text = text;
  return v;
}

Node ParseLayout(const std::string& text) {
  std::vector<Node*> open;
  Node root;
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
      if (open.empty()) FailAt(line, "'end' without an object");
      open.pop_back();
      continue;
    }
    size_t eq = s.find('=');
    size_t colon = s.find(':');
    if (eq != std::string::npos && (colon == std::string::npos || eq < colon)) {
      if (open.empty()) FailAt(line, "property outside an object");
      std::string property = Trim(s.substr(0, eq));
      open.back()->properties.emplace_back(property, ParseValue(Trim(s.substr(eq + 1)), line));
      continue;
    }
    if (colon == std::string::npos) FailAt(line, "expected 'Name: Class', a property or 'end'");
    Node node;
    node.name = Trim(s.substr(0, colon));
    node.className = Trim(s.substr(colon + 1));
    node.line = line;
    if (node.name.empty() || node.className.empty()) FailAt(line, "expected 'Name: Class'");
    if (open.empty()) {
      if (haveRoot) FailAt(line, "a second top object");
      root = std::move(node);
      haveRoot = true;
      open.push_back(&root);
    } else {
      open.back()->children.push_back(std::move(node));
      open.push_back(&open.back()->children.back());
    }
  }
  if (!haveRoot) FailAt(line, "no object");
  if (!open.empty()) FailAt(line, "missing 'end' of " + open.back()->name);
  return root;
}

// ---- applying ----

void ApplyProperties(TComponent& component, const Node& node, const TPropertyApplier& applier,
                     TLayoutReader& reader) {
  for (const auto& [property, value] : node.properties)
    if (!applier(component, property, value, reader))
      reader.Fail(value, "unknown property " + property + " of " + node.className);
}

void ApplyChildren(TComponent& owner, TWinControl* enclosing, const Node& node,
                   TLayoutReader& reader) {
  for (const Node& childNode : node.children) {
    auto it = ClassRegistry().find(childNode.className);
    if (it == ClassRegistry().end()) FailAt(childNode.line, "unknown class " + childNode.className);
    TComponent* child = it->second.factory(&owner);
    child->SetName(childNode.name);
    auto* control = dynamic_cast<TControl*>(child);
    if (control && enclosing) control->SetParent(enclosing);
    ApplyProperties(*child, childNode, it->second.applier, reader);
    auto* windowed = dynamic_cast<TWinControl*>(child);
    ApplyChildren(owner, windowed ? windowed : enclosing, childNode, reader);
  }
}
}  // namespace

int LayoutPixelsPerInch() {
  if (layoutPixelsPerInch > 0) return layoutPixelsPerInch;
  const WindowDC screen(nullptr);
  const int ppi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return ppi > 0 ? ppi : kDesignPixelsPerInch;
}

void SetLayoutPixelsPerInch(int pixelsPerInch) {
  layoutPixelsPerInch = pixelsPerInch;
}

int TLayoutReader::Scale(int designValue) const {
  return MulDiv(designValue, pixelsPerInch_, kDesignPixelsPerInch);
}

void TLayoutReader::Fail(const TLayoutValue& value, const std::string& what) const {
  FailAt(value.line, what);
}

int TLayoutReader::Integer(const TLayoutValue& value) const {
  if (value.kind != TLayoutValue::Kind::Integer) Fail(value, "a number is expected");
  return static_cast<int>(value.integer);
}

const std::string& TLayoutReader::String(const TLayoutValue& value) const {
  if (value.kind != TLayoutValue::Kind::String) Fail(value, "a quoted text is expected");
  return value.text;
}

const std::string& TLayoutReader::Identifier(const TLayoutValue& value) const {
  if (value.kind != TLayoutValue::Kind::Identifier) Fail(value, "a name is expected");
  return value.text;
}

bool TLayoutReader::Boolean(const TLayoutValue& value) const {
  return Enumeration(value, {"False", "True"}) != 0;
}

TColor TLayoutReader::Color(const TLayoutValue& value) const {
  if (value.kind == TLayoutValue::Kind::Integer) return static_cast<TColor>(value.integer);
  const std::string& name = Identifier(value);
  for (const ColorName& c : kColorNames)
    if (SameTextAscii(name, c.name)) return c.color;
  Fail(value, "unknown colour " + name);
}

int TLayoutReader::Enumeration(const TLayoutValue& value,
                               const std::vector<const char*>& names) const {
  const std::string& name = Identifier(value);
  for (size_t i = 0; i < names.size(); ++i)
    if (SameTextAscii(name, names[i])) return static_cast<int>(i);
  Fail(value, "unknown value " + name);
}

TComponent* TLayoutReader::Component(const TLayoutValue& value, const TComponent& component) const {
  const std::string& name = Identifier(value);
  TComponent* found = component.Owner() ? component.Owner()->FindComponent(name) : nullptr;
  if (!found) Fail(value, "no component named " + name);
  return found;
}

int TLayoutReader::Cursor(const TLayoutValue& value) const {
  if (value.kind == TLayoutValue::Kind::Integer) return Integer(value);
  // crDefault is 0 and the system's shapes count down from -1.
  return -Enumeration(value, {"crDefault", "crNone", "crArrow", "crCross", "crIBeam"});
}

unsigned TLayoutReader::SetOf(const TLayoutValue& value,
                              const std::vector<const char*>& names) const {
  if (value.kind != TLayoutValue::Kind::Set) Fail(value, "a set [...] is expected");
  unsigned bits = 0;
  for (const std::string& item : value.items) {
    bool found = false;
    for (size_t i = 0; i < names.size() && !found; ++i)
      if (SameTextAscii(item, names[i])) {
        bits |= 1u << i;
        found = true;
      }
    if (!found) Fail(value, "unknown set member " + item);
  }
  return bits;
}

void RegisterComponentClass(const std::string& className, TComponentFactory factory,
                            TPropertyApplier applier) {
  ClassRegistry()[className] = Registration{std::move(factory), std::move(applier)};
}

bool IsComponentClassRegistered(const std::string& className) {
  return ClassRegistry().count(className) != 0;
}

void ApplyLayout(TComponent& root, const TPropertyApplier& rootApplier, const std::string& text,
                 const TEventTable& events) {
  RegisterStandardClasses();
  const Node tree = ParseLayout(text);
  TLayoutReader reader(events, LayoutPixelsPerInch());
  ApplyProperties(root, tree, rootApplier, reader);
  ApplyChildren(root, dynamic_cast<TWinControl*>(&root), tree, reader);
}

std::string LayoutResourceText(const std::string& resourceName) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, resourceName.c_str(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!info) throw EResNotFound(resourceName);
  HGLOBAL data = LoadResource(module, info);
  const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
  if (!bytes) throw EResNotFound(resourceName);
  return std::string(bytes, SizeofResource(module, info));
}

bool ApplyControlProperty(TComponent& component, const std::string& property,
                          const TLayoutValue& value, TLayoutReader& reader) {
  auto* control = dynamic_cast<TControl*>(&component);
  if (!control) return false;
  if (property == "Left")
    control->SetLeft(reader.ScaledInteger(value));
  else if (property == "Top")
    control->SetTop(reader.ScaledInteger(value));
  else if (property == "Width")
    control->SetWidth(reader.ScaledInteger(value));
  else if (property == "Height")
    control->SetHeight(reader.ScaledInteger(value));
  else if (property == "Visible")
    control->SetVisible(reader.Boolean(value));
  else if (property == "Caption")
    control->SetCaption(reader.String(value));
  else if (property == "Color")
    control->SetColor(reader.Color(value));
  else if (property == "ParentColor")
    control->SetParentColor(reader.Boolean(value));
  else if (property == "ParentFont")
    control->SetParentFont(reader.Boolean(value));
  else if (property == "Font.Name")
    control->Font().SetName(reader.String(value));
  else if (property == "Font.Height")
    control->Font().SetHeight(reader.ScaledInteger(value));
  else if (property == "Font.Color")
    control->Font().SetColor(reader.Color(value));
  else if (property == "Font.Style")
    control->Font().SetStyle(static_cast<TFontStyles>(
        reader.SetOf(value, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})));
  else if (property == "Align")
    control->SetAlign(static_cast<TAlign>(reader.Enumeration(value, {"alNone", "alClient"})));
  else if (property == "Tag")
    control->SetTag(reader.Integer(value));
  else if (property == "Hint")
    control->SetHint(reader.String(value));
  else if (property == "OnClick")
    control->OnClick = reader.Handler<TNotifyEvent>(value);
  else
    return false;
  return true;
}

bool ApplyWinControlProperty(TComponent& component, const std::string& property,
                             const TLayoutValue& value, TLayoutReader& reader) {
  auto* control = dynamic_cast<TWinControl*>(&component);
  if (!control) return false;
  if (property == "TabOrder")
    control->SetTabOrder(reader.Integer(value));
  else if (property == "TabStop")
    control->SetTabStop(reader.Boolean(value));
  else
    return ApplyControlProperty(component, property, value, reader);
  return true;
}
