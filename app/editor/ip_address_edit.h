#pragma once
// An IPv4 address editor: four numeric parts of 0-255 shown as a dotted quad, where a blank
// part counts as 0. It is read as currently displayed.

#include <QFrame>
#include <QString>
#include <array>

#include "protocol/records.h"

class QLineEdit;

namespace ethconf {

class TIpAddressEdit : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kParts = 4;

  explicit TIpAddressEdit(QWidget* parent = nullptr);

  // The parts as displayed, the leftmost first; a blank part is 0.
  TIpv4 Address() const;
  void SetAddress(const TIpv4& address);
  // The address as "a.b.c.d", read as Address() does.
  QString Text() const;
  // Sets the parts from a dotted quad; a missing or non-numeric part is left blank, a number
  // above 255 shows as 255.
  void SetText(const QString& dotted);

  QLineEdit* Part(int index) const { return m_parts[static_cast<std::size_t>(index)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int IndexOf(QObject* part) const;
  void MoveTo(int index, bool atEnd);

  std::array<QLineEdit*, kParts> m_parts{};
};

}  // namespace ethconf
