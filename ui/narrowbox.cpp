#include "ui/narrowbox.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace kestrune {

namespace {

// QLineEdit keeps this much room either side of its text.
constexpr int HorizontalMargin = 2;

} // namespace

NarrowBox::NarrowBox(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &NarrowBox::OnTextChanged);
}

NarrowBox::~NarrowBox() = default;

void NarrowBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
}

void NarrowBox::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    UpdateToolTip();
}

void NarrowBox::OnTextChanged()
{
    // Set from outside, as a resumed run does, the text shows from its start.
    if (!hasFocus())
        setCursorPosition(0);
    UpdateToolTip();
}

void NarrowBox::UpdateToolTip()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect room = style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                           .marginsRemoved(textMargins());
    const bool fits =
        fontMetrics().horizontalAdvance(text()) <= room.width() - 2 * HorizontalMargin;
    setToolTip(fits ? QString() : text());
}

} // namespace kestrune
