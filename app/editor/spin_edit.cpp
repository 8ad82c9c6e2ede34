#include "app/editor/spin_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>

#include "app/editor/limited_line_edit.h"

namespace ethconf {
namespace {

// An optional sign and one or more decimal digits, nothing else, within int.
std::optional<int> ParseSignedInt(const QString& text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == text.size()) {
    return std::nullopt;
  }
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) {
      return std::nullopt;
    }
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

QToolButton* MakeStepButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setFocusPolicy(Qt::NoFocus);
  button->setFixedWidth(16);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  return button;
}

}  // namespace

TSpinEdit::TSpinEdit(const TSpinLimits& limits, QWidget* parent)
    : QWidget(parent),
      m_limits(limits),
      m_editor(new TLimitedLineEdit(limits.maxChars, this)),
      m_up(MakeStepButton(Qt::UpArrow, this)),
      m_down(MakeStepButton(Qt::DownArrow, this)) {
  auto* buttons = new QVBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(0);
  buttons->addWidget(m_up);
  buttons->addWidget(m_down);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(m_editor);
  row->addLayout(buttons);

  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setFocusProxy(m_editor);
  m_editor->installEventFilter(this);

  // A press steps at once; holding the button steps again from the repeat timer.
  connect(m_up, &QToolButton::pressed, this, [this] { StartRepeat(+1); });
  connect(m_down, &QToolButton::pressed, this, [this] { StartRepeat(-1); });
  connect(m_up, &QToolButton::released, &m_repeat, &QTimer::stop);
  connect(m_down, &QToolButton::released, &m_repeat, &QTimer::stop);
  connect(&m_repeat, &QTimer::timeout, this, [this] {
    m_repeat.setInterval(kRepeatIntervalMs);
    Step(m_repeatDelta);
  });
}

int TSpinEdit::Value() const {
  return ParseSignedInt(m_editor->text()).value_or(m_limits.min);
}

void TSpinEdit::SetValue(int value) {
  m_editor->setText(QString::number(ClampToLimits(value, m_limits)));
}

QString TSpinEdit::Text() const {
  return m_editor->text();
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_editor) {
    if (event->type() == QEvent::KeyPress) {
      return HandleKey(static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::FocusOut) {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      // Another window or a popup taking the focus is no move to another control.
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        LeaveField();
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TSpinEdit::HandleKey(QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Up:
      Step(+1);
      return true;
    case Qt::Key_Down:
      Step(-1);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Refuse();
      return true;
    default:
      break;
  }
  const QString text = key->text();
  if (text.isEmpty()) {
    return false;  // navigation and modifier keys
  }
  const Qt::KeyboardModifiers modifiers = key->modifiers();
  // Shortcuts such as Ctrl+V are control keys, and pasting is not filtered; Ctrl+Alt is AltGr.
  if ((modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier)) {
    return false;
  }
  if (IsAcceptedCharacter(text)) {
    return false;
  }
  Refuse();
  return true;
}

bool TSpinEdit::IsAcceptedCharacter(const QString& text) const {
  if (text == QLocale().decimalPoint()) {
    return true;
  }
  return std::all_of(text.begin(), text.end(), [](QChar c) {
    const char16_t u = c.unicode();
    const bool control = u < 0x20 || u == 0x7F;
    return control || (u >= u'0' && u <= u'9') || u == u'+' || u == u'-';
  });
}

void TSpinEdit::Refuse() {
  QApplication::beep();
  emit KeyRefused();
}

void TSpinEdit::LeaveField() {
  const int value = Value();
  if (value < m_limits.min || value > m_limits.max) {
    SetValue(value);
  }
}

void TSpinEdit::Step(int delta) {
  const long long next = static_cast<long long>(Value()) + delta;
  SetValue(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
}

void TSpinEdit::StartRepeat(int delta) {
  m_repeatDelta = delta;
  Step(delta);
  m_repeat.start(kRepeatDelayMs);
}

}  // namespace ethconf
