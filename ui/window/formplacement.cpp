#include "ui/window/formplacement.h"

#include <QStringList>

namespace kestrune {

QFont CjkFont(Face face, qreal points)
{
    QStringList families = face == Face::Song
                               ? QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                             QStringLiteral("新宋体"), QStringLiteral("NSimSun")}
                               : QStringList{QStringLiteral("新宋体"), QStringLiteral("NSimSun"),
                                             QStringLiteral("宋体"), QStringLiteral("SimSun")};
    // Where neither is installed, any CJK face keeps the glyphs real.
    families << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC")
             << QStringLiteral("Source Han Sans SC");
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel *PlaceLabel(QWidget *parent, const char *objectName, const Twips &twips, const QString &text,
                   QWidget *buddy)
{
    auto *label = Place<QLabel>(parent, objectName, twips);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setBuddy(buddy);
    return label;
}

} // namespace kestrune
