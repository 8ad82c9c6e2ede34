#include "app/editor/radio_group.h"

#include <QHBoxLayout>
#include <QRadioButton>

namespace ethconf {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 4);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    m_buttons.addButton(button, i);
    row->addWidget(button);
  }
  SetItemIndex(0);
}

void TRadioGroup::SetItemIndex(int index) {
  if (QRadioButton* button = Item(index)) {
    button->setChecked(true);
  }
}

QRadioButton* TRadioGroup::Item(int index) const {
  return static_cast<QRadioButton*>(m_buttons.button(index));
}

}  // namespace ethconf
