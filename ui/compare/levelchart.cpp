#include "ui/compare/levelchart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace kestrune {

namespace {

// Told apart by lightness and pattern as well as hue.
const QColor OlderColor(0x90, 0xA4, 0xAE);
const QColor NewerColor(0x15, 0x65, 0xC0);

QString OlderWord()
{
    return QStringLiteral("旧的导出");
}

QString NewerWord()
{
    return QStringLiteral("新的导出");
}

void Bar(QPainter &painter, const QRectF &bar, bool older)
{
    painter.setPen(older ? OlderColor.darker(130) : NewerColor);
    painter.setBrush(older ? QBrush(OlderColor, Qt::BDiagPattern) : QBrush(NewerColor));
    painter.drawRect(bar);
}

} // namespace

LevelChart::LevelChart(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("各等级人数图"));
    setAccessibleDescription(QStringLiteral("每个等级在旧的导出和新的导出中各有多少人"));
}

void LevelChart::SetLevels(std::vector<LevelCount> levels)
{
    levels_ = std::move(levels);
    update();
}

QSize LevelChart::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 40, fontMetrics().height() * 14};
}

QSize LevelChart::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 24, fontMetrics().height() * 9};
}

QRect LevelChart::PlotArea() const
{
    const int line = fontMetrics().height();
    const int axis = fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + line / 2;
    return rect().adjusted(axis, line * 2, -line / 2, -line * 3 / 2);
}

const LevelCount *LevelChart::LevelAt(int x) const
{
    const QRect plot = PlotArea();
    if (levels_.empty() || x < plot.left() || x > plot.right())
        return nullptr;
    const auto at = static_cast<std::size_t>(
        (x - plot.left()) * static_cast<qint64>(levels_.size()) / std::max(plot.width(), 1));
    return at < levels_.size() ? &levels_[at] : nullptr;
}

bool LevelChart::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const LevelCount *level = LevelAt(help->pos().x()))
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("等级 %1：%2 %3 人，%4 %5 人")
                                   .arg(level->level)
                                   .arg(OlderWord())
                                   .arg(level->older)
                                   .arg(NewerWord())
                                   .arg(level->newer),
                               this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void LevelChart::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    if (levels_.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("表格里没有数字等级，画不出等级图。"));
        return;
    }

    // The legend, top left.
    painter.setPen(palette().color(QPalette::Text));
    int x = line / 2;
    for (const bool older : {true, false}) {
        Bar(painter, QRectF(x, line / 2.0, line, line * 0.8), older);
        x += line + line / 4;
        painter.setPen(palette().color(QPalette::Text));
        const QString word = older ? OlderWord() : NewerWord();
        painter.drawText(QPoint(x, line / 2 + metrics.ascent()), word);
        x += metrics.horizontalAdvance(word) + line;
    }
    painter.drawText(rect().adjusted(0, line / 2, -line / 2, 0), Qt::AlignRight | Qt::AlignTop,
                     QStringLiteral("横轴：等级"));

    const QRect plot = PlotArea();
    std::int64_t top = 0;
    for (const LevelCount &level : levels_)
        top = std::max({top, level.older, level.newer});
    const double scale = top > 0 ? plot.height() / static_cast<double>(top) : 0.0;

    // Gridlines at a half and the whole of the tallest bar.
    painter.setPen(palette().color(QPalette::Mid));
    for (const std::int64_t value : {std::int64_t{0}, top / 2, top}) {
        const double y = plot.bottom() - static_cast<double>(value) * scale;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(QRectF(0, y - line / 2.0, plot.left() - line / 4.0, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }

    const double group = plot.width() / static_cast<double>(levels_.size());
    const double barWidth = std::max(1.0, group * 0.38);
    // Level numbers as often as they fit.
    const int labelEvery = std::max<int>(
        1, static_cast<int>(metrics.horizontalAdvance(QStringLiteral("000")) / group) + 1);
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        const LevelCount &level = levels_[i];
        const double left = plot.left() + group * static_cast<double>(i) + group * 0.12;
        const double older = static_cast<double>(level.older) * scale;
        const double newer = static_cast<double>(level.newer) * scale;
        Bar(painter, QRectF(left, plot.bottom() - older, barWidth, older), true);
        Bar(painter, QRectF(left + barWidth, plot.bottom() - newer, barWidth, newer), false);
        if (static_cast<int>(i) % labelEvery == 0) {
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRectF(plot.left() + group * static_cast<double>(i), plot.bottom() + 2,
                                    group * labelEvery, line),
                             Qt::AlignLeft | Qt::AlignTop, QString::number(level.level));
        }
    }
}

} // namespace kestrune
