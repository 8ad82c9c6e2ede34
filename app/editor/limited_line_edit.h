#pragma once
// A one-line edit whose character limit bounds what the user types or pastes, but never cuts a
// text that the program puts into it.

#include <QLineEdit>
#include <QString>

namespace ethconf {

class TLimitedLineEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TLimitedLineEdit(int maxChars, QWidget* parent = nullptr);

  int MaxChars() const { return m_maxChars; }

 private:
  void CutToLimit(const QString& edited);

  int m_maxChars;
  QString m_before;  // the text before the user's latest edit
};

}  // namespace ethconf
