#include "ui/statusbar.h"

#include <QLabel>
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
{
    setSizeGripEnabled(false);
}

StatusBar::~StatusBar() = default;

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    // Panel 1 takes what panel 2 leaves, but never less than its minimum.
    const int panel1Width = std::max(Panel1MinimumWidth, width() - Panel2Width - PanelGap);
    panel1_->setGeometry(0, 0, panel1Width, height());
    panel2_->setGeometry(panel1Width + PanelGap, 0, Panel2Width, height());
}

} // namespace kestrune
