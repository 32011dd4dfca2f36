#include "ui/main_form.h"

namespace ui {

void TMainForm::WireStartupRegistrationEvents() {}

}  // namespace ui
