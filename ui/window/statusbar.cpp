#include "ui/window/statusbar.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace kestrune {

namespace {

constexpr int PanelGap = 2;

QLabel *MakePanel(const QString &objectName, QWidget *parent)
{
    auto *panel = new QLabel(parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setIndent(3);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return panel;
}

} // namespace

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
    , panel1_(MakePanel(QStringLiteral("Panel1"), this))
    , panel2_(MakePanel(QStringLiteral("Panel2"), this))
    , progress_(new QProgressBar(this))
{
    setSizeGripEnabled(false);
    progress_->setObjectName(QStringLiteral("RunProgress"));
    progress_->setAlignment(Qt::AlignCenter);
    progress_->hide();
}

StatusBar::~StatusBar() = default;

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    // Panel 1 takes what panel 2 leaves, but never less than its minimum.
    const int panel1Width = std::max(Panel1MinimumWidth, width() - Panel2Width - PanelGap);
    panel1_->setGeometry(0, 0, panel1Width, height());
    panel2_->setGeometry(panel1Width + PanelGap, 0, Panel2Width, height());
    progress_->setGeometry(panel2_->geometry());
}

void StatusBar::ShowText(const QString &text)
{
    panel1_->setText(text);
}

void StatusBar::ShowText(const QString &text, const QString &tip)
{
    panel1_->setText(text);
    panel1_->setToolTip(tip);
}

void StatusBar::ShowVersion(const QString &version)
{
    panel2_->setText(version);
}

void StatusBar::ShowRunProgress(qint64 pagesDone, qint64 pages, const QString &timeLeft)
{
    // QProgressBar counts in int: long runs show in thousandths.
    constexpr qint64 steps = 1000;
    const bool scaled = pages > steps;
    progress_->setRange(0, static_cast<int>(scaled ? steps : pages));
    progress_->setValue(static_cast<int>(scaled ? pagesDone * steps / pages : pagesDone));
    // Before the first page is measured the bar shows its percentage.
    progress_->setFormat(timeLeft.isEmpty() ? QStringLiteral("%p%") : timeLeft);
    progress_->show();
}

void StatusBar::HideRunProgress()
{
    progress_->hide();
}

} // namespace kestrune
