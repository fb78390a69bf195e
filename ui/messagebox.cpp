#include "messagebox.h"

#include <QMessageBox>

namespace kestrune {

namespace {

QMessageBox::Icon IconOf(MessageBox::Kind kind)
{
    switch (kind) {
    case MessageBox::Kind::Plain:
        break;
    case MessageBox::Kind::Notice:
        return QMessageBox::Information;
    case MessageBox::Kind::Error:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QMessageBox *MessageBox::Show(QWidget *parent, Kind kind, const QString &text)
{
    auto *box = new QMessageBox(IconOf(kind), QLatin1String(ApplicationTitle), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

} // namespace kestrune
