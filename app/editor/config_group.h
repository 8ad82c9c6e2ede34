#pragma once
// A captioned group that passes its enabled state on: enabling or disabling it sets every
// control inside it to the same state.

#include <QGroupBox>

namespace ethconf {

class TConfigGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit TConfigGroup(const QString& caption, QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;
};

}  // namespace ethconf
