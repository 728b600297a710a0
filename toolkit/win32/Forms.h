// Forms: top-level windows made from a stored layout. A form may be maximised, stay on top
// of other windows, have one of several borders, be centred on the screen when shown, and
// asks its close query before it closes.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>

#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Layout.h"

enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = uint8_t;
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : uint8_t { fsNormal, fsStayOnTop };
enum TPosition : uint8_t { poDesigned, poScreenCenter };

using TCloseQueryEvent = std::function<void(TObject* sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* owner);

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  void SetClientWidth(int width);
  void SetClientHeight(int height);

  // Asks OnCloseQuery; when it allows, the main form ends the application and any other
  // form is hidden. A close requested while the query is being asked does nothing.
  void Close();
  bool CloseQuery();

  TNotifyEvent OnCreate;
  TCloseQueryEvent OnCloseQuery;

protected:
  // Applies the layout stored as the RCDATA resource resourceName, binding its event
  // properties to handlers, then the derived form binds its fields and calls DoCreate.
  void LoadLayout(const std::string& resourceName, const TEventTable& handlers);
  void LoadLayoutText(const std::string& text, const TEventTable& handlers);
  void DoCreate();

  // A handler for the event table: method of the derived form bound to this form.
  template <typename Form, typename... Args>
  std::any Handler(void (Form::*method)(Args...)) {
    Form* self = static_cast<Form*>(this);
    return std::function<void(Args...)>(
        [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); });
  }
  // Points field at the component of that name that the layout made; raises ELayoutError
  // when there is none of the expected class.
  template <typename T>
  void BindField(T*& field, const std::string& name) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (!field) throw ELayoutError("The layout of " + Name() + " has no " + name);
  }

  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void VisibleChanged() override;

private:
  void RecreateStyle();
  void ClickDialogButton(int id);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  bool closing_ = false;
};

// What layouts may set on these classes.
const TPropertyTable& FormLayoutProperties();
