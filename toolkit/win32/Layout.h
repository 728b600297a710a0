// Making windows from layouts (the text itself is read by toolkit/LayoutText.h): classes
// come from a registry (class name -> factory and property table), so units in other
// folders add their own components; a form binds event properties to its handlers through
// a table of handler names.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/LayoutText.h"

// The resolution layouts are scaled to: the screen's, unless set (tests use 120 to work at
// design scale). 0 goes back to the screen's.
int LayoutPixelsPerInch();
void SetLayoutPixelsPerInch(int pixelsPerInch);

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Makes a class known to the layouts (a later registration of the name replaces one). The
// table must live as long as the program.
void RegisterComponentClass(const std::string& className, TComponentFactory factory,
                            const TPropertyTable& properties);
bool IsComponentClassRegistered(const std::string& className);

// Applies a layout to root, an existing component of the layout's top class: its own
// properties through rootProperties, then its children, created with root as owner and
// with the enclosing control as parent.
void ApplyLayout(TComponent& root, const TPropertyTable& rootProperties, const std::string& text,
                 const TEventTable& events);

// The text of a layout stored as an RCDATA resource of the program.
std::string LayoutResourceText(const std::string& resourceName);

// The tables of the toolkit's base classes, for derived classes to chain to.
const TPropertyTable& ControlLayoutProperties();
const TPropertyTable& WinControlLayoutProperties();
