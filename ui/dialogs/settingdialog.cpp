#include "ui/dialogs/settingdialog.h"

#include "engine/fetch/pagefetcher.h"
#include "engine/fetch/retrywait.h"
#include "platform/halfwidth.h"
#include "startup/hostsetting.h"
#include "startup/startup.h"
#include "startup/startupmessages.h"
#include "ui/dialogs/settingwords.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
    auto *dialog =
        new SettingDialog(parent, TitleOf(HostMenuItem()),
                          QStringLiteral("论坛的域名，需要时加冒号和端口号，如 bbs.example.cn 或 "
                                         "https://bbs.example.cn:8443"),
                          Field::Text, [](const QString &text) {
                              // As a Chinese input method types it: 127.0.0.1：8080.
                              const HostCheck check =
                                  CheckHost(QString::fromStdString(HalfWidth(text.toStdString())));
                              return check.error ? Reading{{}, DescribeHostError(*check.error)}
                                                 : Reading{check.host, {}};
                          });
    dialog->box_->setText(ShownHost(host));
    return dialog;
}

SettingDialog *SettingDialog::ForCaFile(QWidget *parent, const QString &caFile)
{
    auto *dialog = new SettingDialog(
        parent, TitleOf(CaFileMenuItem()),
        QStringLiteral("除系统证书外另外信任的 CA 证书文件（PEM），供经过重新签发 TLS "
                       "证书的代理上网时使用。留空则只用系统的证书。"),
        Field::File, [](const QString &text) {
            if (text.isEmpty())
                return Reading{text, {}};
            if (const auto error = CheckCaFileSetting(text))
                return Reading{{}, DescribeCaFileError(*error)};
            return Reading{QFileInfo(text).absoluteFilePath(), {}};
        });
    dialog->box_->setText(caFile);
    return dialog;
}

SettingDialog *SettingDialog::ForRetries(QWidget *parent, int retries)
{
    return ForCount(
        parent, RetriesMenuItem(),
        QStringLiteral("一页暂时下载不到时（超时、连接中断或服务器忙）再试的次数，"
                       "0 到 %1；0 为不重试。再试之前先等：服务器说了等多久就等多久"
                       "（最多 2 分钟），否则第一次等一个停顿，以后每次加倍，至少 1 秒。")
            .arg(MaxRetries),
        {0, MaxRetries, retries}, QStringLiteral(" 次"));
}

SettingDialog *SettingDialog::ForTimeout(QWidget *parent, int seconds)
{
    return ForCount(parent, TimeoutMenuItem(),
                    QStringLiteral("下载一页最多等多少秒，过后仍没有收到完整的响应就算超时；"
                                   "%1 到 %2，默认 %3。网速慢时可以调大。")
                        .arg(PageFetcher::MinTimeoutSeconds)
                        .arg(PageFetcher::MaxTimeoutSeconds)
                        .arg(PageFetcher::DefaultTimeoutSeconds),
                    {PageFetcher::MinTimeoutSeconds, PageFetcher::MaxTimeoutSeconds, seconds},
                    QStringLiteral(" 秒"));
}

SettingDialog *SettingDialog::ForCount(QWidget *parent, const QString &item, const QString &prompt,
                                       Count count, const QString &unit)
{
    auto *dialog = new SettingDialog(parent, TitleOf(item), prompt, Field::Count);
    dialog->count_->setRange(count.low, count.high);
    dialog->count_->setSuffix(unit);
    dialog->count_->setValue(count.value);
    dialog->Reread();
    return dialog;
}

SettingDialog::SettingDialog(QWidget *parent, const QString &title, const QString &prompt,
                             Field field, Reader reader)
    : QDialog(parent)
    , reader_(std::move(reader))
    // Made first, so the box or count takes the focus and leads the tab order.
    , box_(field == Field::Count ? nullptr : new QLineEdit(this))
    , count_(field == Field::Count ? new QSpinBox(this) : nullptr)
    , problem_(new QLabel(this))
    , remember_(new QCheckBox(QStringLiteral("记住"), this))
    , buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    auto *promptLabel = new QLabel(prompt, this);
    promptLabel->setWordWrap(true);
    // A screen reader names the box by the setting and reads the prompt after.
    QWidget *input = box_ ? static_cast<QWidget *>(box_) : count_;
    promptLabel->setBuddy(input);
    input->setAccessibleName(title);
    input->setAccessibleDescription(prompt);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    remember_->setToolTip(QStringLiteral("保存到设置文件，kestrune 和 kestrune-cli 以后都用"));
    // A new user wants the forum kept; the box says so before OK is pressed.
    remember_->setChecked(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    auto *row = new QHBoxLayout;
    if (field == Field::Count) {
        row->addWidget(count_);
        row->addStretch();
        // As wide as the other settings' dialogs; a count is never wrong.
        promptLabel->setMinimumWidth(320);
        problem_->hide();
        connect(count_, &QSpinBox::valueChanged, this, &SettingDialog::Reread);
    } else {
        box_->setMinimumWidth(320);
        row->addWidget(box_);
        if (field == Field::File)
            AddFileButtons(*row);
        connect(box_, &QLineEdit::textChanged, this, &SettingDialog::Reread);
        connect(box_, &QLineEdit::textEdited, this, &SettingDialog::SayProblem);
    }
    layout->addLayout(row);
    layout->addWidget(problem_);
    layout->addWidget(remember_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &SettingDialog::TryAccept);
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
        if (!file.isEmpty()) {
            box_->setText(file);
            SayProblem();
        }
    });
}

void SettingDialog::Reread()
{
    // The spin box keeps a count in its range.
    reading_ = count_ ? Reading{QString::number(count_->value()), {}} : reader_(box_->text());
    if (problemSaid_)
        problem_->setText(reading_.problem);
}

void SettingDialog::SayProblem()
{
    problemSaid_ = true;
    problem_->setText(reading_.problem);
}

void SettingDialog::TryAccept()
{
    if (reading_.problem.isEmpty())
        return accept();
    SayProblem();
    box_->setFocus();
}

} // namespace kestrune
