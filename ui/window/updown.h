#pragma once

#include <QAbstractSlider>

class QLineEdit;

namespace kestrune {

// A pair of arrow buttons with no text of its own: the value it steps is shown
// by its buddy box.
class UpDown final : public QAbstractSlider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpDown)

public:
    explicit UpDown(QWidget *parent = nullptr);
    ~UpDown() override;

    // Shows the value in `buddy`; an arrow steps from the number typed there
    // when the arrows could show it.
    void SetBuddy(QLineEdit *buddy);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Arrow
    {
        None,
        Up,
        Down
    };
    Arrow ArrowAt(const QPoint &point) const;
    QRect ArrowRect(Arrow arrow) const;
    void PaintArrow(QPainter &painter, Arrow arrow) const;

    Arrow pressed_ = Arrow::None;
};

} // namespace kestrune
