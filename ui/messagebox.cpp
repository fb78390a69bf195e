#include "ui/messagebox.h"

#include <QMessageBox>
#include <QPushButton>

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

QMessageBox *Create(QWidget *parent, MessageBox::Kind kind, const UserMessage &message)
{
    auto *box = new QMessageBox(IconOf(kind), QLatin1String(ApplicationTitle), message.text,
                                QMessageBox::Ok, parent);
    box->setDetailedText(message.detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

} // namespace

QMessageBox *MessageBox::Show(QWidget *parent, Kind kind, const UserMessage &message)
{
    QMessageBox *box = Create(parent, kind, message);
    box->open();
    return box;
}

QMessageBox *MessageBox::ShowWithChoice(QWidget *parent, Kind kind, const UserMessage &message,
                                        const QString &choice, std::function<void()> chosen)
{
    QMessageBox *box = Create(parent, kind, message);
    const QPushButton *button = box->addButton(choice, QMessageBox::AcceptRole);
    // Enter and Escape both stay with OK.
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    // After the box has gone, so a run it starts can show its own.
    QObject::connect(box, &QDialog::finished, box, [box, button, chosen = std::move(chosen)] {
        if (box->clickedButton() == button)
            chosen();
    });
    box->open();
    return box;
}

} // namespace kestrune
