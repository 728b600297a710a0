// A picture: a bitmap resource of the program drawn unscaled at the control's top left.
#pragma once

#include <string>

#include "toolkit/Handles_win32.h"
#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Layout.h"

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner) : TGraphicControl(owner) {}

  // Loads the BITMAP resource of that name; raises EResNotFound when there is none.
  void SetPicture(const std::string& resourceName);
  bool HasPicture() const { return static_cast<bool>(bitmap_); }
  SIZE PictureSize() const;

protected:
  void Paint() override;

private:
  BitmapHandle bitmap_;
};

// What layouts may set on these classes.
const TPropertyTable& ImageLayoutProperties();
