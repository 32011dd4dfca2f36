#pragma once
#include "gui/controls.h"
#include "gui/form.h"

namespace ui {

class TVerForm : public gui::Form {
 public:
  TVerForm();
  gui::Image Image1{this};
  gui::Shape Bevel2{this};
  gui::Image Image2{this};
  gui::Label Label1{this};
  gui::Label Label4{this};
  gui::ListView ListView1{this};
  void FormCreate();
  void FormClose();
};

// The open version dialog, or none.
extern TVerForm* VerForm;

}  // namespace ui
