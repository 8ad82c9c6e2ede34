#include "app/drop_down_combo_box.h"

namespace ethconf {

TDropDownComboBox::TDropDownComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
}

void TDropDownComboBox::showPopup() {
  emit dropDown();
  QComboBox::showPopup();
}

}  // namespace ethconf
