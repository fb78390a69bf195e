#include "ui/window/formlabels.h"

#include "ui/window/formplacement.h"

#include <QLineEdit>

namespace kestrune {

void PlaceLabels(QWidget *form, const LabelledControls &controls)
{
    // Seven full-width characters at 12 pt fill the 1695 twips exactly.
    PlaceLabel(form, "Label1", {360, 240, 1695, 375}, QStringLiteral("请输入论坛名："),
               controls.forumName)
        ->setFont(CjkFont(Face::NewSong, 12));
    PlaceLabel(form, "Label2", {2640, 240, 1695, 375}, QStringLiteral("导出的名次："),
               controls.fromRank)
        ->setFont(CjkFont(Face::Song, 12));
    // Text3 covers the right-hand part of the dash's label, as on the form.
    PlaceLabel(form, "Label4", {3360, 1080, 615, 375}, QStringLiteral("—"), controls.toRank)
        ->stackUnder(controls.toRank);
    PlaceLabel(form, "Label3", {360, 2040, 735, 495}, QStringLiteral("根据网速设置"),
               controls.delay)
        ->setFont(CjkFont(Face::NewSong, 10.5));

    // A screen reader would otherwise say "edit" for each box.
    controls.forumName->setAccessibleName(QStringLiteral("请输入论坛名"));
    controls.fromRank->setAccessibleName(QStringLiteral("导出的名次（从）"));
    controls.toRank->setAccessibleName(QStringLiteral("导出的名次（到）"));
    controls.delay->setAccessibleName(QStringLiteral("停顿"));
    controls.delayArrows->setAccessibleName(QStringLiteral("停顿的上下箭头"));
    // Label3 gives no unit; the tip does, in the word the menu and the
    // messages use.
    const QString delayTip = QStringLiteral("停顿，单位：十分之一秒（10 = 1 秒）");
    controls.delay->setToolTip(delayTip);
    controls.delayArrows->setToolTip(delayTip);
}

} // namespace kestrune
