#pragma once

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QWidget>

namespace kestrune {

// The form was laid out in twips, 15 to a logical pixel.
struct Twips
{
    int left;
    int top;
    int width;
    int height;

    QRect Pixels() const { return {left / 15, top / 15, width / 15, height / 15}; }
};

enum class Face
{
    Song,    // 宋体
    NewSong, // 新宋体
};

QFont CjkFont(Face face, qreal points);

template <typename Widget>
Widget *Place(QWidget *parent, const char *objectName, const Twips &twips)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(objectName));
    widget->setGeometry(twips.Pixels());
    return widget;
}

// `buddy`: the control the label names, to a screen reader too.
QLabel *PlaceLabel(QWidget *parent, const char *objectName, const Twips &twips, const QString &text,
                   QWidget *buddy);

template <typename Box = QLineEdit>
Box *PlaceBox(QWidget *parent, const char *objectName, const Twips &twips, const QString &text,
              const QFont &font)
{
    auto *box = Place<Box>(parent, objectName, twips);
    box->setFont(font); // first, so a narrow box measures its text in it
    box->setText(text);
    return box;
}

} // namespace kestrune
