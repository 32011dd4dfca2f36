#include "ui/main_form.h"

namespace ui {

void TMainForm::WireSavedEntryEvents() {}

}  // namespace ui
