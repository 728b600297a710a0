#include "tests/support/ScriptedAnswerer_win32.h"

TScriptedAnswerer::TScriptedAnswerer(std::initializer_list<TModalResult> answers)
    : script_(answers) {
  previous_ = SetMessageAnswerer([this](const TMessageQuestion& q) { return Answer(q); });
}

TScriptedAnswerer::~TScriptedAnswerer() {
  SetMessageAnswerer(std::move(previous_));
}

TModalResult TScriptedAnswerer::Answer(const TMessageQuestion& question) {
  questions_.push_back(question);
  if (!(question.buttons & (mbYes | mbNo))) return mrOk;
  if (script_.empty()) {
    ++unscripted_;
    return mrNo;
  }
  TModalResult answer = script_.front();
  script_.pop_front();
  return answer;
}
