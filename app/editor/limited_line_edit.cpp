#include "app/editor/limited_line_edit.h"

#include <algorithm>

namespace ethconf {

TLimitedLineEdit::TLimitedLineEdit(int maxChars, QWidget* parent)
    : QLineEdit(parent), m_maxChars(maxChars) {
  // QLineEdit's own maxLength would also cut the program's texts, so the limit is applied to
  // user edits only: textEdited comes for typing, pasting and dropping, and before textChanged,
  // while m_before still holds the previous text.
  connect(this, &QLineEdit::textEdited, this, &TLimitedLineEdit::CutToLimit);
  connect(this, &QLineEdit::textChanged, this, [this] { m_before = text(); });
}

void TLimitedLineEdit::CutToLimit(const QString& edited) {
  if (edited.size() <= m_maxChars) {
    return;
  }
  // The edit replaced the middle of the old text with the inserted characters, which end at
  // the cursor. Matching the tail first, no further than the cursor, keeps the insertion point
  // right when the inserted text repeats its neighbours.
  const qsizetype limit = std::min(edited.size(), m_before.size());
  qsizetype tail = 0;
  const qsizetype maxTail = std::min(limit, edited.size() - cursorPosition());
  while (tail < maxTail &&
         m_before[m_before.size() - 1 - tail] == edited[edited.size() - 1 - tail]) {
    ++tail;
  }
  qsizetype head = 0;
  while (head < limit - tail && m_before[head] == edited[head]) {
    ++head;
  }
  const qsizetype inserted = edited.size() - head - tail;
  const qsizetype room = std::max<qsizetype>(0, m_maxChars - (head + tail));
  if (inserted <= room) {
    return;
  }
  const QString cut = edited.left(head) + edited.mid(head, room) + edited.right(tail);
  setText(cut);
  setCursorPosition(static_cast<int>(head + room));
}

}  // namespace ethconf
