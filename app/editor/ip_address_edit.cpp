#include "app/editor/ip_address_edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QValidator>
#include <algorithm>

namespace ethconf {
namespace {

// Accepts a blank part or up to three decimal digits worth at most 255.
class TOctetValidator : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int&) const override {
    if (input.size() > 3) {
      return Invalid;
    }
    int value = 0;
    for (const QChar c : input) {
      const char16_t digit = c.unicode();
      if (digit < u'0' || digit > u'9') {
        return Invalid;
      }
      value = value * 10 + (digit - u'0');
    }
    return value <= 255 ? Acceptable : Invalid;
  }
};

std::uint8_t PartValue(const QLineEdit* part) {
  bool ok = false;
  const int value = part->text().toInt(&ok);
  return ok ? static_cast<std::uint8_t>(value) : 0;
}

}  // namespace

TIpAddressEdit::TIpAddressEdit(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 1, 2, 1);
  row->setSpacing(0);
  auto* validator = new TOctetValidator(this);
  for (int i = 0; i < kParts; ++i) {
    if (i > 0) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setBackgroundRole(QPalette::Base);
      row->addWidget(dot);
    }
    auto* part = new QLineEdit(this);
    part->setFrame(false);
    part->setAlignment(Qt::AlignCenter);
    part->setValidator(validator);
    part->setMinimumWidth(part->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    // Tab enters and leaves the address as a whole; the parts are reached by typing, the
    // arrow keys and the mouse.
    part->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
    part->installEventFilter(this);
    connect(part, &QLineEdit::textEdited, this, [this, i, part](const QString& text) {
      if (text.size() == 3 && part->cursorPosition() == 3 && i + 1 < kParts) {
        MoveTo(i + 1, false);
      }
    });
    row->addWidget(part, 1);
    m_parts[static_cast<std::size_t>(i)] = part;
  }
  setFocusProxy(m_parts[0]);
}

TIpv4 TIpAddressEdit::Address() const {
  TIpv4 address{};
  for (int i = 0; i < kParts; ++i) {
    address[static_cast<std::size_t>(i)] = PartValue(Part(i));
  }
  return address;
}

void TIpAddressEdit::SetAddress(const TIpv4& address) {
  for (int i = 0; i < kParts; ++i) {
    Part(i)->setText(QString::number(address[static_cast<std::size_t>(i)]));
  }
}

QString TIpAddressEdit::Text() const {
  const TIpv4 a = Address();
  return QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]);
}

void TIpAddressEdit::SetText(const QString& dotted) {
  const QStringList numbers = dotted.split(u'.');
  for (int i = 0; i < kParts; ++i) {
    bool ok = false;
    const uint value = i < numbers.size() ? numbers[i].trimmed().toUInt(&ok) : 0;
    Part(i)->setText(ok ? QString::number(std::min(value, 255U)) : QString());
  }
}

bool TIpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index < 0 || event->type() != QEvent::KeyPress) {
    return QFrame::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  const QLineEdit* part = Part(index);
  const bool atStart = part->cursorPosition() == 0 && !part->hasSelectedText();
  const bool atEnd = part->cursorPosition() == part->text().size() && !part->hasSelectedText();
  if (key->text() == QStringLiteral(".") || key->text() == QStringLiteral(" ")) {
    // Right after a move the new part is wholly selected, and the dot that the user types
    // behind a three-digit number must not skip it.
    const bool typedHere = !part->text().isEmpty() && part->selectedText() != part->text();
    if (index + 1 < kParts && typedHere) {
      MoveTo(index + 1, false);
    }
    return true;
  }
  if (key->key() == Qt::Key_Right && atEnd && index + 1 < kParts) {
    MoveTo(index + 1, false);
    return true;
  }
  if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Backspace) && atStart && index > 0) {
    MoveTo(index - 1, true);
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

int TIpAddressEdit::IndexOf(QObject* part) const {
  for (int i = 0; i < kParts; ++i) {
    if (Part(i) == part) {
      return i;
    }
  }
  return -1;
}

void TIpAddressEdit::MoveTo(int index, bool atEnd) {
  QLineEdit* part = Part(index);
  part->setFocus(Qt::OtherFocusReason);
  if (atEnd) {
    part->deselect();
    part->end(false);
  } else {
    part->selectAll();
  }
}

}  // namespace ethconf
