#pragma once

#include "compare/levelcounts.h"

#include <QWidget>
#include <vector>

namespace kestrune {

// Members per level in the older and the newer export, side by side. Drawn
// here: a dozen bars need no charting library (see docs/design.md).
class LevelChart final : public QWidget
{
    Q_OBJECT

public:
    explicit LevelChart(QWidget *parent = nullptr);

    void SetLevels(std::vector<LevelCount> levels);
    const std::vector<LevelCount> &Levels() const { return levels_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Where the bars go, below the legend and above the level numbers.
    QRect PlotArea() const;
    // The level under x, if any.
    const LevelCount *LevelAt(int x) const;

    std::vector<LevelCount> levels_;
};

} // namespace kestrune
