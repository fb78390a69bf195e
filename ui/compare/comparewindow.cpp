#include "ui/compare/comparewindow.h"

#include "compare/comparisontable.h"
#include "compare/tablefiles.h"
#include "tables/tablenames.h"
#include "ui/compare/comparisonmodel.h"
#include "ui/compare/levelchart.h"
#include "ui/dialogs/filedialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>

namespace kestrune {

namespace {

constexpr std::array Kinds = {Change::New,  Change::Gone, Change::Up,
                              Change::Down, Change::Same, Change::Outside};

QString Word(Change change)
{
    const std::string_view name = ChangeName(change);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

CompareWindow::CompareWindow(const QDir &folder, const QString &forum, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , folder_(folder)
    , model_(new ComparisonModel(this))
    , olderBox_(new QLineEdit(this))
    , newerBox_(new QLineEdit(this))
    , summary_(new QLabel(this))
    , notes_(new QLabel(this))
    , progress_(new QProgressBar(this))
    , kind_(new QComboBox(this))
    , search_(new QLineEdit(this))
    , view_(new QTableView(this))
    , chart_(new LevelChart(this))
    , save_(new QPushButton(QStringLiteral("保存为表格…"), this))
{
    setWindowTitle(QStringLiteral("比较两次导出"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildLayout();
    const QStringList tables = ForumTables(folder, forum);
    if (tables.size() >= 2) {
        Compare(tables.at(tables.size() - 2), tables.constLast());
    } else {
        summary_->setText(
            QStringLiteral("结果文件夹里论坛 %1 的表格不到两张。请点“选择…”选出要比较的两张表格。")
                .arg(forum));
    }
}

void CompareWindow::ShowFor(QWidget *owner, const QDir &folder, const QString &forum)
{
    auto *window = owner->findChild<CompareWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new CompareWindow(folder, forum, owner);
    window->show();
    window->raise();
    window->activateWindow();
}

// The job stops with the window, before the widgets it reports to go.
CompareWindow::~CompareWindow() = default;

void CompareWindow::BuildLayout()
{
    struct Picker
    {
        QLineEdit *box;
        QString word;
        QString name;
    };
    const std::array pickers = {
        Picker{olderBox_, QStringLiteral("旧的表格"), QStringLiteral("older")},
        Picker{newerBox_, QStringLiteral("新的表格"), QStringLiteral("newer")}};
    auto *files = new QGridLayout;
    for (int row = 0; const Picker &picker : pickers) {
        QLineEdit *box = picker.box;
        const QString &word = picker.word;
        const QString &name = picker.name;
        auto *label = new QLabel(word + QStringLiteral("："), this);
        auto *choose = new QPushButton(QStringLiteral("选择…"), this);
        box->setObjectName(name + QStringLiteral("Table"));
        choose->setObjectName(name + QStringLiteral("Choose"));
        box->setReadOnly(true);
        box->setAccessibleName(word);
        choose->setAccessibleName(QStringLiteral("选择") + word);
        label->setBuddy(choose);
        connect(choose, &QPushButton::clicked, this,
                [this, box, word] { ChooseTable(box, QStringLiteral("选择") + word); });
        files->addWidget(label, row, 0);
        files->addWidget(box, row, 1);
        files->addWidget(choose, row++, 2);
    }

    summary_->setObjectName(QStringLiteral("summary"));
    notes_->setObjectName(QStringLiteral("notes"));
    kind_->setObjectName(QStringLiteral("kindFilter"));
    search_->setObjectName(QStringLiteral("nameSearch"));
    save_->setObjectName(QStringLiteral("saveTable"));
    QFont bold = summary_->font();
    bold.setBold(true);
    summary_->setFont(bold);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress_->setRange(0, 100);
    progress_->setAccessibleName(QStringLiteral("读取进度"));
    progress_->hide();

    kind_->addItem(QStringLiteral("全部"));
    for (const Change change : Kinds)
        kind_->addItem(Word(change), static_cast<int>(change));
    kind_->setAccessibleName(QStringLiteral("显示的类别"));
    // Counts are added to the items once a comparison is in.
    kind_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        const QVariant data = kind_->currentData();
        model_->SetKind(data.isValid() ? std::optional(static_cast<Change>(data.toInt()))
                                       : std::nullopt);
    });
    search_->setPlaceholderText(QStringLiteral("查找会员名"));
    search_->setAccessibleName(QStringLiteral("查找会员名"));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, model_, &ComparisonModel::SetSearch);
    auto *kindLabel = new QLabel(QStringLiteral("显示："), this);
    kindLabel->setBuddy(kind_);
    auto *filters = new QHBoxLayout;
    filters->addWidget(kindLabel);
    filters->addWidget(kind_);
    filters->addWidget(search_, 1);

    view_->setModel(model_);
    view_->setAccessibleName(QStringLiteral("每个会员的变化"));
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() * 3 / 2);
    // Widths from the font, not from a million rows' contents.
    QHeaderView *columns = view_->horizontalHeader();
    const int numberWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("↑ 0000000")) + fontMetrics().height();
    for (int column = ComparisonModel::OlderRankColumn; column < ComparisonModel::ColumnCount;
         ++column)
        columns->resizeSection(column, numberWidth);
    columns->setSectionResizeMode(ComparisonModel::NameColumn, QHeaderView::Stretch);
    view_->horizontalHeader()->setSortIndicator(ComparisonModel::NewerRankColumn,
                                                Qt::AscendingOrder);
    view_->setSortingEnabled(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setAlternatingRowColors(true);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(view_);
    splitter->addWidget(chart_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);

    save_->setEnabled(false);
    connect(save_, &QPushButton::clicked, this, &CompareWindow::Save);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addWidget(summary_);
    layout->addWidget(notes_);
    layout->addWidget(progress_);
    layout->addLayout(filters);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 170, fontMetrics().height() * 36);
}

void CompareWindow::ChooseTable(QLineEdit *box, const QString &title)
{
    const QString start = box->text().isEmpty() ? folder_.absolutePath() : box->text();
    const QString path = FileDialog::OpenTable(this, title, start);
    if (path.isEmpty())
        return;
    box->setText(Native(path));
    if (!olderBox_->text().isEmpty() && !newerBox_->text().isEmpty())
        Compare(QDir::fromNativeSeparators(olderBox_->text()),
                QDir::fromNativeSeparators(newerBox_->text()));
}

void CompareWindow::Compare(const QString &older, const QString &newer)
{
    olderBox_->setText(Native(older));
    newerBox_->setText(Native(newer));
    olderBox_->setToolTip(Native(older));
    newerBox_->setToolTip(Native(newer));
    save_->setEnabled(false);
    summary_->setText(QStringLiteral("正在读取和比较……"));
    notes_->clear();
    progress_->setValue(0);
    progress_->show();
    // The job before it stops as it goes.
    job_ = std::make_unique<CompareJob>(ComparedFiles{.older = older, .newer = newer});
    connect(job_.get(), &CompareJob::progressed, progress_, &QProgressBar::setValue);
    connect(job_.get(), &CompareJob::finished, this, &CompareWindow::Show);
    connect(job_.get(), &CompareJob::failed, this, &CompareWindow::ShowProblem);
}

void CompareWindow::Show(const std::shared_ptr<const ComparedExports> &compared)
{
    progress_->hide();
    model_->SetComparison(compared);
    const QHeaderView *header = view_->horizontalHeader();
    model_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    summary_->setText(DescribeChanges(compared->comparison.Summary()));
    notes_->setText(DescribeComparisonNotes(compared->comparison.Summary(), compared->files)
                        .join(QLatin1Char('\n')));
    notes_->setVisible(!notes_->text().isEmpty());
    chart_->SetLevels(compared->levels);
    UpdateKindCounts();
    save_->setEnabled(true);
    emit comparisonShown();
}

void CompareWindow::ShowProblem(const UserMessage &problem)
{
    progress_->hide();
    model_->SetComparison(nullptr);
    chart_->SetLevels({});
    UpdateKindCounts();
    summary_->setText(problem.text);
    notes_->setText(problem.detail);
    notes_->setVisible(!problem.detail.isEmpty());
    emit comparisonShown();
}

void CompareWindow::UpdateKindCounts()
{
    const ComparedExports *compared = model_->Compared();
    for (int item = 1; item < kind_->count(); ++item) {
        const auto change = static_cast<Change>(kind_->itemData(item).toInt());
        kind_->setItemText(item, compared ? QStringLiteral("%1（%2）")
                                                .arg(Word(change))
                                                .arg(compared->comparison.Summary().Count(change))
                                          : Word(change));
    }
}

void CompareWindow::Save()
{
    const ComparedExports *compared = model_->Compared();
    if (!compared)
        return;
    const QString start = folder_.absoluteFilePath(
        QFileInfo(compared->files.newer).completeBaseName() + QStringLiteral("_比较.csv"));
    const QString path = FileDialog::SaveTable(this, QStringLiteral("保存比较结果"), start);
    if (!path.isEmpty())
        SaveTo(path);
}

bool CompareWindow::SaveTo(const QString &path)
{
    const ComparedExports *compared = model_->Compared();
    if (!compared)
        return false;
    const std::optional<UserMessage> problem = SaveComparisonTable(path, compared->comparison);
    const QString said =
        problem ? problem->text +
                      (problem->detail.isEmpty() ? QString() : QLatin1Char('\n') + problem->detail)
                : QStringLiteral("比较结果已保存到 %1").arg(Native(path));
    notes_->setText(DescribeComparisonNotes(compared->comparison.Summary(), compared->files)
                        .join(QLatin1Char('\n'))
                        .append(QLatin1Char('\n') + said)
                        .trimmed());
    notes_->show();
    return !problem;
}

} // namespace kestrune
