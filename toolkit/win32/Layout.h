// Window layouts stored as text. A layout is an object tree:
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
// 120 pixels per inch, scaled to the screen as they are applied.
//
// Classes come from a registry (class name -> factory and property applier), so units in
// other folders add their own components; a form binds event properties to its handlers
// through a table of handler names.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Component.h"
#include "toolkit/Exception.h"

// A layout that cannot be read or applied; the message names the line.
KESTREL_DECLARE_EXCEPTION(ELayoutError);

constexpr int kDesignPixelsPerInch = 120;

// The resolution layouts are scaled to: the screen's, unless set (tests use 120 to work at
// design scale). 0 goes back to the screen's.
int LayoutPixelsPerInch();
void SetLayoutPixelsPerInch(int pixelsPerInch);

struct TLayoutValue {
  enum class Kind { Integer, String, Identifier, Set };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  std::string text;                // string or identifier
  std::vector<std::string> items;  // set members
  int line = 0;
};

// Handler names -> std::function objects of the event's exact type.
using TEventTable = std::map<std::string, std::any>;

// What a property applier gets besides the value: conversions that report errors with the
// line, the scaling and the form's handlers.
class TLayoutReader {
public:
  TLayoutReader(const TEventTable& events, int pixelsPerInch)
      : events_(events), pixelsPerInch_(pixelsPerInch) {}

  int Scale(int designValue) const;
  int Integer(const TLayoutValue& value) const;
  int ScaledInteger(const TLayoutValue& value) const { return Scale(Integer(value)); }
  const std::string& String(const TLayoutValue& value) const;
  const std::string& Identifier(const TLayoutValue& value) const;
  bool Boolean(const TLayoutValue& value) const;
  TColor Color(const TLayoutValue& value) const;
  // The value of an identifier among names, which stand for 0, 1, 2, ...
  int Enumeration(const TLayoutValue& value, const std::vector<const char*>& names) const;
  // A set of identifiers among names, which stand for the bits 1, 2, 4, ...
  unsigned SetOf(const TLayoutValue& value, const std::vector<const char*>& names) const;

  // The component the value names among those of the component's owner; the reference
  // must name one made earlier.
  TComponent* Component(const TLayoutValue& value, const TComponent& component) const;
  // A mouse pointer: a number, or one of the names crDefault, crNone, crArrow, crCross,
  // crIBeam.
  int Cursor(const TLayoutValue& value) const;

  // The handler named by the value, as the event type Event.
  template <typename Event>
  Event Handler(const TLayoutValue& value) const {
    const std::string& name = Identifier(value);
    auto it = events_.find(name);
    if (it == events_.end()) Fail(value, "no handler named " + name);
    if (const Event* handler = std::any_cast<Event>(&it->second)) return *handler;
    Fail(value, "handler " + name + " does not fit the event");
  }

  [[noreturn]] void Fail(const TLayoutValue& value, const std::string& what) const;

private:
  const TEventTable& events_;
  int pixelsPerInch_;
};

// Sets one property; returns false for a property the class does not have.
using TPropertyApplier = std::function<bool(TComponent& component, const std::string& property,
                                            const TLayoutValue& value, TLayoutReader& reader)>;
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Makes a class known to the layouts (a later registration of the name replaces one).
void RegisterComponentClass(const std::string& className, TComponentFactory factory,
                            TPropertyApplier applier);
bool IsComponentClassRegistered(const std::string& className);

// Applies a layout to root, an existing component of the layout's top class: its own
// properties, then its children, created with root as owner and with the enclosing
// control as parent. rootApplier sets the root's properties.
void ApplyLayout(TComponent& root, const TPropertyApplier& rootApplier, const std::string& text,
                 const TEventTable& events);

// The text of a layout stored as an RCDATA resource of the program.
std::string LayoutResourceText(const std::string& resourceName);

// Appliers for the toolkit's own classes; an applier of a derived class hands the
// properties it does not know to its base's.
bool ApplyControlProperty(TComponent& component, const std::string& property,
                          const TLayoutValue& value, TLayoutReader& reader);
bool ApplyWinControlProperty(TComponent& component, const std::string& property,
                             const TLayoutValue& value, TLayoutReader& reader);
