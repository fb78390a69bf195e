#pragma once

#include <QStatusBar>

class QLabel;

namespace kestrune {

// Two sunken panels laid out by hand: QStatusBar's own layout reserves space
// above its items that a 17 px bar cannot spare.
class StatusBar final : public QStatusBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusBar)

public:
    static constexpr int Panel2Width = 96;
    static constexpr int Panel1MinimumWidth = 96;

    explicit StatusBar(QWidget *parent = nullptr);
    ~StatusBar() override;

    QLabel *Panel1() const { return panel1_; }
    QLabel *Panel2() const { return panel2_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *panel1_; // child
    QLabel *panel2_; // child
};

} // namespace kestrune
