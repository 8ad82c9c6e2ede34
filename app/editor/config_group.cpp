#include "app/editor/config_group.h"

#include <QEvent>

namespace ethconf {

TConfigGroup::TConfigGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void TConfigGroup::changeEvent(QEvent* event) {
  // Qt alone would leave a control that was disabled on its own disabled after the group is
  // enabled again; here the group's state wins.
  if (event->type() == QEvent::EnabledChange) {
    const bool enabled = isEnabled();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      child->setEnabled(enabled);
    }
  }
  QGroupBox::changeEvent(event);
}

}  // namespace ethconf
