#pragma once
// A numeric field with a lower and an upper limit, an up and a down button, a typing filter and
// the module's rules for reading, setting, leaving and stepping the value.

#include <QString>
#include <QTimer>
#include <QWidget>

#include "config/editor_values.h"

class QKeyEvent;
class QToolButton;

namespace ethconf {

class TLimitedLineEdit;

class TSpinEdit : public QWidget {
  Q_OBJECT

 public:
  // Holding a button steps again first after the delay, then at the interval.
  static constexpr int kRepeatDelayMs = 400;
  static constexpr int kRepeatIntervalMs = 100;

  explicit TSpinEdit(const TSpinLimits& limits, QWidget* parent = nullptr);

  // The whole text as a signed integer, or Min when it is none; never clamped.
  int Value() const;
  // Shows the value clamped into Min..Max (unclamped when Min equals Max), without leading zeros.
  void SetValue(int value);

  int Min() const { return m_limits.min; }
  int Max() const { return m_limits.max; }
  QString Text() const;
  TLimitedLineEdit* Editor() const { return m_editor; }
  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

 signals:
  // A typed key was refused, with a beep.
  void KeyRefused();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(QKeyEvent* key);
  bool IsAcceptedCharacter(const QString& text) const;
  void Refuse();
  void LeaveField();
  void Step(int delta);
  void StartRepeat(int delta);

  TSpinLimits m_limits;
  TLimitedLineEdit* m_editor;
  QToolButton* m_up;
  QToolButton* m_down;
  QTimer m_repeat;
  int m_repeatDelta = 0;
};

}  // namespace ethconf
