#include "gui/application.h"

namespace gui {

bool QuestionGoesOn(QuestionResult result, bool defaultNo) {
  if (defaultNo) return result == QuestionResult::Yes;
  return result != QuestionResult::No;
}

}  // namespace gui
