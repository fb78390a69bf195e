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

    const QLabel *Panel1() const { return panel1_; }
    const QLabel *Panel2() const { return panel2_; }
    const QProgressBar *RunProgress() const { return progress_; }

    // In panel 1; without a tip the last one stays.
    void ShowText(const QString &text);
    void ShowText(const QString &text, const QString &tip);
    void ShowVersion(const QString &version); // in panel 2

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
