#include "toolkit/win32/Layout.h"

#include <windows.h>

#include <map>

#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/ExtCtrls.h"
#include "toolkit/win32/FileCtrl.h"
#include "toolkit/win32/StdCtrls.h"

namespace {
int layoutPixelsPerInch = 0;

struct Registration {
  TComponentFactory factory;
  const TPropertyTable* properties;
};

std::map<std::string, Registration>& ClassRegistry() {
  static std::map<std::string, Registration> registry;
  return registry;
}

void RegisterStandardClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  auto add = [](const char* name, TComponentFactory factory, const TPropertyTable& properties) {
    if (!IsComponentClassRegistered(name)) RegisterComponentClass(name, factory, properties);
  };
  add(
      "TPanel", [](TComponent* o) { return new TPanel(o); }, PanelLayoutProperties());
  add(
      "TLabel", [](TComponent* o) { return new TLabel(o); }, LabelLayoutProperties());
  add(
      "TButton", [](TComponent* o) { return new TButton(o); }, ButtonLayoutProperties());
  add(
      "TEdit", [](TComponent* o) { return new TEdit(o); }, EditLayoutProperties());
  add(
      "TImage", [](TComponent* o) { return new TImage(o); }, ImageLayoutProperties());
  add(
      "TDirectoryListBox", [](TComponent* o) { return new TDirectoryListBox(o); },
      DirectoryListBoxLayoutProperties());
  add(
      "TDriveComboBox", [](TComponent* o) { return new TDriveComboBox(o); },
      DriveComboBoxLayoutProperties());
}

// ---- applying ----

// The layout's resolution and handlers, for every property line.
struct Context {
  const TEventTable& events;
  int pixelsPerInch;
};

void ApplyProperties(TComponent& component, const TLayoutNode& node,
                     const TPropertyTable& properties, const Context& context) {
  for (const auto& [name, value] : node.properties) {
    const TLayoutProperty property(value, context.events, context.pixelsPerInch);
    if (!properties.Apply(component, name, property))
      property.Fail("unknown property " + name + " of " + node.className);
  }
}

void ApplyChildren(TComponent& owner, TWinControl* enclosing, const TLayoutNode& node,
                   const Context& context) {
  for (const TLayoutNode& childNode : node.children) {
    auto it = ClassRegistry().find(childNode.className);
    if (it == ClassRegistry().end())
      FailAtLine(childNode.line, "unknown class " + childNode.className);
    TComponent* child = it->second.factory(&owner);
    child->SetName(childNode.name);
    auto* control = dynamic_cast<TControl*>(child);
    if (control && enclosing) control->SetParent(enclosing);
    ApplyProperties(*child, childNode, *it->second.properties, context);
    auto* windowed = dynamic_cast<TWinControl*>(child);
    ApplyChildren(owner, windowed ? windowed : enclosing, childNode, context);
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

void RegisterComponentClass(const std::string& className, TComponentFactory factory,
                            const TPropertyTable& properties) {
  ClassRegistry()[className] = Registration{std::move(factory), &properties};
}

bool IsComponentClassRegistered(const std::string& className) {
  return ClassRegistry().count(className) != 0;
}

void ApplyLayout(TComponent& root, const TPropertyTable& rootProperties, const std::string& text,
                 const TEventTable& events) {
  RegisterStandardClasses();
  const TLayoutNode tree = ParseLayoutText(text);
  const Context context{events, LayoutPixelsPerInch()};
  ApplyProperties(root, tree, rootProperties, context);
  ApplyChildren(root, dynamic_cast<TWinControl*>(&root), tree, context);
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

const TPropertyTable& ControlLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TControl> table{
      nullptr,
      {
          {"Left", [](TControl& c, P p) { c.SetLeft(p.ScaledInteger()); }},
          {"Top", [](TControl& c, P p) { c.SetTop(p.ScaledInteger()); }},
          {"Width", [](TControl& c, P p) { c.SetWidth(p.ScaledInteger()); }},
          {"Height", [](TControl& c, P p) { c.SetHeight(p.ScaledInteger()); }},
          {"Visible", [](TControl& c, P p) { c.SetVisible(p.Boolean()); }},
          {"Caption", [](TControl& c, P p) { c.SetCaption(p.String()); }},
          {"Color", [](TControl& c, P p) { c.SetColor(p.Color()); }},
          {"ParentColor", [](TControl& c, P p) { c.SetParentColor(p.Boolean()); }},
          {"ParentFont", [](TControl& c, P p) { c.SetParentFont(p.Boolean()); }},
          {"Font.Name", [](TControl& c, P p) { c.Font().SetName(p.String()); }},
          {"Font.Height", [](TControl& c, P p) { c.Font().SetHeight(p.ScaledInteger()); }},
          {"Font.Color", [](TControl& c, P p) { c.Font().SetColor(p.Color()); }},
          {"Font.Style",
           [](TControl& c, P p) {
             c.Font().SetStyle(static_cast<TFontStyles>(
                 p.SetOf({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})));
           }},
          {"Align",
           [](TControl& c, P p) {
             c.SetAlign(static_cast<TAlign>(p.Enumeration({"alNone", "alClient"})));
           }},
          {"Tag", [](TControl& c, P p) { c.SetTag(p.Integer()); }},
          {"Hint", [](TControl& c, P p) { c.SetHint(p.String()); }},
          {"OnClick", [](TControl& c, P p) { c.OnClick = p.Handler<TNotifyEvent>(); }},
      }};
  return table;
}

const TPropertyTable& WinControlLayoutProperties() {
  using P = const TLayoutProperty&;
  static const TPropertiesOf<TWinControl> table{
      &ControlLayoutProperties(),
      {
          {"TabOrder", [](TWinControl& c, P p) { c.SetTabOrder(p.Integer()); }},
          {"TabStop", [](TWinControl& c, P p) { c.SetTabStop(p.Boolean()); }},
      }};
  return table;
}
