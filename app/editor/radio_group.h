#pragma once
// A captioned group of mutually exclusive options side by side, exactly one always chosen.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QRadioButton;

namespace ethconf {

class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  // The first item starts chosen.
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  int ItemIndex() const { return m_buttons.checkedId(); }
  // An index outside the items is ignored, so one item always stays chosen.
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const;

 private:
  QButtonGroup m_buttons;
};

}  // namespace ethconf
