// Message boxes answered from a script instead of by a person, through the hook that
// toolkit/win32/Dialogs.h offers.
#pragma once

#include <deque>
#include <initializer_list>
#include <vector>

#include "toolkit/win32/Dialogs.h"

// Answers the Yes/No questions from a script, in order, and OK boxes with OK; records every
// box it was shown. A Yes/No question beyond the script is answered No and counted, so a
// test sees a question it did not expect. The answerer in place before it comes back when
// it ends.
class TScriptedAnswerer {
public:
  explicit TScriptedAnswerer(std::initializer_list<TModalResult> answers = {});
  ~TScriptedAnswerer();
  TScriptedAnswerer(const TScriptedAnswerer&) = delete;
  TScriptedAnswerer& operator=(const TScriptedAnswerer&) = delete;

  void Add(TModalResult answer) { script_.push_back(answer); }
  const std::vector<TMessageQuestion>& Questions() const { return questions_; }
  int Unscripted() const { return unscripted_; }
  int Remaining() const { return static_cast<int>(script_.size()); }

private:
  TModalResult Answer(const TMessageQuestion& question);

  std::deque<TModalResult> script_;
  std::vector<TMessageQuestion> questions_;
  int unscripted_ = 0;
  TMessageAnswerer previous_;
};
