// Window layouts stored as text, read without any window: the object tree, the values, and
// the tables that turn a "Property = value" line into a call on a component.
//
//   frmMain: TfrmMain
//     Caption = 'Setup'
//     Font.Style = [fsBold]
//     OnCreate = FormCreate
//     Gradient1: TGradient
//       ColorStart = clBlue
//     end
//   end
//
// Each object has a "Name: Class" header and ends with "end"; "Property = value" lines are
// applied in the order written, before the object's children are made. Values are
// integers (decimal or $hex), 'quoted text' ('' for a quote), identifiers (enumeration
// values, colours, True/False, handler names) and sets [a, b]. Sizes are design units of
// 120 pixels per inch, scaled to the screen as they are applied. Lines starting with //
// are comments.
//
// Making the windows of a layout is the Win32 toolkit's part (toolkit/win32/Layout.h).
#pragma once

#include <any>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Component.h"
#include "toolkit/Exception.h"

// A layout that cannot be read or applied; the message names the line.
KESTREL_DECLARE_EXCEPTION(ELayoutError);

constexpr int kDesignPixelsPerInch = 120;

struct TLayoutValue {
  enum class Kind { Integer, String, Identifier, Set };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  std::string text;                // string or identifier
  std::vector<std::string> items;  // set members
  int line = 0;
};

// One object of a layout: its header, its property lines in order, its children.
struct TLayoutNode {
  std::string name;
  std::string className;
  int line = 0;
  std::vector<std::pair<std::string, TLayoutValue>> properties;
  std::vector<TLayoutNode> children;
};

// Raises ELayoutError "Layout line <line>: <what>".
[[noreturn]] void FailAtLine(int line, const std::string& what);

// The tree of a layout's text: exactly one top object. Raises ELayoutError naming the line.
TLayoutNode ParseLayoutText(const std::string& text);

// A size in design units at pixelsPerInch, rounded to the nearest pixel (halves away from
// zero). Raises ELayoutError (for the line) when the result does not fit an int.
int ScaleDesignUnits(int designValue, int pixelsPerInch, int line);

// Handler names -> std::function objects of the event's exact type.
using TEventTable = std::map<std::string, std::any>;

// One property line as it is applied: its value, with the conversions a setter needs. Every
// conversion raises ELayoutError naming the line when the value does not fit.
class TLayoutProperty {
public:
  TLayoutProperty(const TLayoutValue& value, const TEventTable& events, int pixelsPerInch)
      : value_(value), events_(events), pixelsPerInch_(pixelsPerInch) {}

  const TLayoutValue& Value() const { return value_; }
  int Integer() const;
  // The integer as design units scaled to the layout's resolution.
  int ScaledInteger() const;
  const std::string& String() const;
  const std::string& Identifier() const;
  bool Boolean() const;
  TColor Color() const;
  // The value of an identifier among names, which stand for 0, 1, 2, ...
  int Enumeration(std::initializer_list<const char*> names) const;
  // A set of identifiers among names, which stand for the bits 1, 2, 4, ...
  unsigned SetOf(std::initializer_list<const char*> names) const;
  // The component the value names among those of the component's owner; the reference
  // must name one made earlier.
  TComponent* Component(const TComponent& component) const;
  // A mouse pointer: a number, or one of the names crDefault, crNone, crArrow, crCross,
  // crIBeam.
  int Cursor() const;

  // The handler named by the value, as the event type Event.
  template <typename Event>
  Event Handler() const {
    const std::string& name = Identifier();
    auto it = events_.find(name);
    if (it == events_.end()) Fail("no handler named " + name);
    if (const Event* handler = std::any_cast<Event>(&it->second)) return *handler;
    Fail("handler " + name + " does not fit the event");
  }

  [[noreturn]] void Fail(const std::string& what) const;

private:
  const TLayoutValue& value_;
  const TEventTable& events_;
  int pixelsPerInch_;
};

// The properties a class takes from layouts: name -> setter, chained to the table of its
// base class for the names it does not list. Tables live as long as the program (a
// function-local static each), so a derived table can point at its base's. Plain function
// pointers and a short list each: a class has a few dozen properties at most.
class TPropertyTable {
public:
  // Sets the property through the first table of the chain that lists the name; false when
  // none does, or when that table lists it without a setter (a property the class hides).
  bool Apply(TComponent& component, const std::string& name, const TLayoutProperty& property) const;

protected:
  using TAnySetter = void (*)();  // a TPropertiesOf<T>::TTypedSetter, cast
  using TInvoker = void (*)(TAnySetter set, TComponent& component, const TLayoutProperty& property,
                            const char* name);
  struct TEntry {
    const char* name;
    TAnySetter set;
  };

  TPropertyTable(const TPropertyTable* base, TInvoker invoke, std::vector<TEntry> entries)
      : base_(base), invoke_(invoke), entries_(std::move(entries)) {}

private:
  const TPropertyTable* base_;
  TInvoker invoke_;
  std::vector<TEntry> entries_;
};

// A table for components of class T:
//   static const TPropertiesOf<TControl> table{nullptr, {
//       {"Left", [](TControl& c, const TLayoutProperty& p) { c.SetLeft(p.ScaledInteger()); }},
//   }};
// An entry with nullptr hides the base's property of that name.
template <typename T>
class TPropertiesOf : public TPropertyTable {
public:
  using TTypedSetter = void (*)(T&, const TLayoutProperty&);

  TPropertiesOf(const TPropertyTable* base,
                std::initializer_list<std::pair<const char*, TTypedSetter>> setters)
      : TPropertyTable(base, &Invoke, Entries(setters)) {}

private:
  static std::vector<TEntry> Entries(
      std::initializer_list<std::pair<const char*, TTypedSetter>> setters) {
    std::vector<TEntry> entries;
    for (const auto& [name, set] : setters)
      entries.push_back({name, reinterpret_cast<TAnySetter>(set)});
    return entries;
  }
  static void Invoke(TAnySetter set, TComponent& component, const TLayoutProperty& property,
                     const char* name) {
    T* object = dynamic_cast<T*>(&component);
    if (!object)
      property.Fail(std::string("property ") + name + " does not fit " + component.Name());
    reinterpret_cast<TTypedSetter>(set)(*object, property);
  }
};
