#include "gui/application.h"

#include "core/text.h"

namespace gui {

Text ErrorReportFor(const std::exception& error) {
  if (const auto* appError = dynamic_cast<const core::AppError*>(&error))
    return core::ErrorReportText(appError->message());
  return core::ErrorReportText(core::FromUtf8(error.what()));
}

const Text& UnknownErrorText() {
  static const Text text = u"不明なエラーが発生しました。";
  return text;
}

}  // namespace gui
