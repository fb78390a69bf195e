#include "ui/window/updown.h"

#include "platform/halfwidth.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace kestrune {

UpDown::UpDown(QWidget *parent)
    : QAbstractSlider(parent)
{
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

UpDown::~UpDown() = default;

void UpDown::SetBuddy(QLineEdit *buddy)
{
    const auto show = [buddy](int value) {
        buddy->setText(QString::number(value));
    };
    connect(this, &UpDown::valueChanged, buddy, show);
    connect(this, &UpDown::actionTriggered, buddy, [this, buddy, show](int action) {
        const bool up = action == SliderSingleStepAdd || action == SliderPageStepAdd;
        const bool down = action == SliderSingleStepSub || action == SliderPageStepSub;
        bool number = false;
        const int typed =
            QString::fromStdString(HalfWidth(buddy->text().toStdString())).toInt(&number);
        if (!(up || down) || !number || typed < minimum() || typed > maximum())
            return;
        const int next = std::clamp(typed + (up ? 1 : -1), minimum(), maximum());
        setSliderPosition(next);
        if (next == value()) // no valueChanged() will rewrite the box
            show(next);
    });
}

QSize UpDown::sizeHint() const
{
    return {17, 33};
}

QRect UpDown::ArrowRect(Arrow arrow) const
{
    const int half = height() / 2;
    switch (arrow) {
    case Arrow::Up:
        return {0, 0, width(), half};
    case Arrow::Down:
        return {0, half, width(), height() - half};
    case Arrow::None:
        break;
    }
    return {};
}

UpDown::Arrow UpDown::ArrowAt(const QPoint &point) const
{
    if (ArrowRect(Arrow::Up).contains(point))
        return Arrow::Up;
    if (ArrowRect(Arrow::Down).contains(point))
        return Arrow::Down;
    return Arrow::None;
}

void UpDown::PaintArrow(QPainter &painter, Arrow arrow) const
{
    const bool atEnd = arrow == Arrow::Up ? value() >= maximum() : value() <= minimum();
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = ArrowRect(arrow);
    button.state &= ~QStyle::State_HasFocus;
    button.state |= pressed_ == arrow ? QStyle::State_Sunken : QStyle::State_Raised;
    if (atEnd)
        button.state &= ~QStyle::State_Enabled;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &painter, this);

    QStyleOption indicator = button;
    const int inset = std::max(2, std::min(button.rect.width(), button.rect.height()) / 5);
    indicator.rect = button.rect.adjusted(inset, inset, -inset, -inset);
    if (pressed_ == arrow)
        indicator.rect.translate(1, 1);
    style()->drawPrimitive(arrow == Arrow::Up ? QStyle::PE_IndicatorArrowUp
                                              : QStyle::PE_IndicatorArrowDown,
                           &indicator, &painter, this);
}

void UpDown::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    PaintArrow(painter, Arrow::Up);
    PaintArrow(painter, Arrow::Down);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void UpDown::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    pressed_ = ArrowAt(event->position().toPoint());
    if (pressed_ == Arrow::None)
        return;
    const SliderAction action = pressed_ == Arrow::Up ? SliderSingleStepAdd : SliderSingleStepSub;
    triggerAction(action);
    setRepeatAction(action); // held down, it keeps stepping
    update();
}

void UpDown::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setRepeatAction(SliderNoAction);
    pressed_ = Arrow::None;
    update();
}

} // namespace kestrune
