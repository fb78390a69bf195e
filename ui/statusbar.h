#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace kestrune {

// Two sunken panels laid out by hand: QStatusBar's own layout reserves space
// above its items that a 17 px bar cannot spare. During a run a progress bar
// with the time left covers panel 2, so nothing else moves.
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
    QProgressBar *RunProgress() const { return progress_; }

    void ShowRunProgress(qint64 pagesDone, qint64 pages, const QString &timeLeft);
    void HideRunProgress();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *panel1_;         // child
    QLabel *panel2_;         // child
    QProgressBar *progress_; // child
};

} // namespace kestrune
