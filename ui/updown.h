#pragma once

#include <QAbstractSlider>

namespace kestrune {

// A pair of arrow buttons with no text of its own: the value it steps is shown
// by whoever listens to valueChanged().
class UpDown final : public QAbstractSlider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpDown)

public:
    explicit UpDown(QWidget *parent = nullptr);
    ~UpDown() override;

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
