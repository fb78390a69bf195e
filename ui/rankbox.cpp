#include "ui/rankbox.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace kestrune {

namespace {

// QLineEdit keeps this much room either side of its text.
constexpr int HorizontalMargin = 2;

} // namespace

RankBox::RankBox(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &RankBox::OnTextChanged);
}

RankBox::~RankBox() = default;

void RankBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    setCursorPosition(0);
}

void RankBox::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    UpdateToolTip();
}

void RankBox::OnTextChanged()
{
    // Set from outside, as a resumed run does, the text shows from its start.
    if (!hasFocus())
        setCursorPosition(0);
    UpdateToolTip();
}

void RankBox::UpdateToolTip()
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
