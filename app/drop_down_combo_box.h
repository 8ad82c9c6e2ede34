#pragma once
// A pick-only drop-down list that announces, before its list opens, that the user is opening
// it, so the owner can rebuild the entries first.

#include <QComboBox>

namespace ethconf {

class TDropDownComboBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit TDropDownComboBox(QWidget* parent = nullptr);

  void showPopup() override;

 signals:
  // The user opens the list; the entries shown are the ones left after the handlers ran.
  void dropDown();
};

}  // namespace ethconf
