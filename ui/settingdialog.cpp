#include "ui/settingdialog.h"

#include "app/common/hostsetting.h"
#include "app/common/startup.h"
#include "app/common/startupmessages.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrune {

namespace {

// The menu item's words name the dialog.
QString TitleOf(QString item)
{
    return item.remove(QChar(u'…'));
}

} // namespace

SettingDialog *SettingDialog::ForHost(QWidget *parent, const QString &host)
{
    auto *dialog = new SettingDialog(
        parent, TitleOf(HostMenuItem()),
        QStringLiteral("论坛的地址：主机[:端口] 或 https://主机[:端口]，如 forum.example.org"),
        [](const QString &text) {
            const HostCheck check = CheckHost(text);
            return check.error ? Reading{{}, DescribeHostError(*check.error)}
                               : Reading{check.host, {}};
        });
    dialog->box_->setText(host);
    return dialog;
}

SettingDialog *SettingDialog::ForCaFile(QWidget *parent, const QString &caFile)
{
    auto *dialog = new SettingDialog(
        parent, TitleOf(CaFileMenuItem()),
        QStringLiteral("除系统证书外另外信任的 CA 证书文件（PEM），供经过重新签发 TLS "
                       "证书的代理上网时使用。留空则只用系统的证书。"),
        [](const QString &text) {
            if (text.isEmpty())
                return Reading{text, {}};
            if (const auto error = CheckCaFileSetting(text))
                return Reading{{}, DescribeStartupError(*error)};
            return Reading{QFileInfo(text).absoluteFilePath(), {}};
        },
        true);
    dialog->box_->setText(caFile);
    return dialog;
}

SettingDialog::SettingDialog(QWidget *parent, const QString &title, const QString &prompt,
                             Reader reader, bool choosesFile)
    : QDialog(parent)
    , reader_(std::move(reader))
    , box_(new QLineEdit(this))
    , problem_(new QLabel(this))
    , remember_(new QCheckBox(QStringLiteral("记住"), this))
    , buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    auto *promptLabel = new QLabel(prompt, this);
    promptLabel->setWordWrap(true);
    box_->setMinimumWidth(320);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    remember_->setToolTip(QStringLiteral("保存到设置文件，kestrune 和 kestrune-cli 以后都用"));
    // A new user wants the forum kept; the box says so before OK is pressed.
    remember_->setChecked(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    auto *row = new QHBoxLayout;
    row->addWidget(box_);
    if (choosesFile)
        AddFileButtons(*row);
    layout->addLayout(row);
    layout->addWidget(problem_);
    layout->addWidget(remember_);
    layout->addWidget(buttons_);

    connect(box_, &QLineEdit::textChanged, this, &SettingDialog::Reread);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Reread();
}

SettingDialog::~SettingDialog() = default;

QString SettingDialog::Value() const
{
    return reading_.value;
}

bool SettingDialog::Remember() const
{
    return remember_->isChecked();
}

void SettingDialog::AddFileButtons(QHBoxLayout &row)
{
    auto *choose = new QPushButton(QStringLiteral("浏览…"), this);
    auto *clear = new QPushButton(QStringLiteral("清除"), this);
    clear->setObjectName(QStringLiteral("clear"));
    choose->setAutoDefault(false);
    clear->setAutoDefault(false);
    row.addWidget(choose);
    row.addWidget(clear);
    connect(clear, &QPushButton::clicked, box_, &QLineEdit::clear);
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, TitleOf(CaFileMenuItem()), QFileInfo(box_->text()).path(),
            QStringLiteral("PEM 证书 (*.pem *.crt *.cer);;所有文件 (*)"));
        if (!file.isEmpty())
            box_->setText(file);
    });
}

void SettingDialog::Reread()
{
    reading_ = reader_(box_->text());
    problem_->setText(reading_.problem);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(reading_.problem.isEmpty());
}

} // namespace kestrune
