#include "ui/window/narrowbox.h"

#include <QApplication>
#include <QPalette>
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
    // Set from outside, as a resumed run does, the text shows from its
    // start; typed text, even into a box without the focus (an input
    // method's commit), keeps its cursor, or it would be typed backwards.
    if (!hasFocus() && !isModified())
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
    QStringList tip{lockedWhy_};
    if (!fits)
        tip << text();
    tip.removeAll(QString());
    setToolTip(tip.join(u'\n'));
}

void NarrowBox::Lock(bool locked, const QString &why)
{
    setReadOnly(locked);
    // Read-only text looks editable unless it is greyed.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, locked ? palette.color(QPalette::Disabled, QPalette::Text)
                                            : QApplication::palette(this).color(QPalette::Text));
    setPalette(palette);
    lockedWhy_ = locked ? why : QString();
    UpdateToolTip();
}

} // namespace kestrune
