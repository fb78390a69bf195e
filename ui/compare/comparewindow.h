#pragma once

#include "compare/comparejob.h"

#include <QDir>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace kestrune {

class ComparisonModel;
class LevelChart;

// 比较两次导出: two tables picked, compared off the window's thread, and
// shown as a summary, a table of members and a chart of levels. Not modal:
// the export window stays usable beside it.
class CompareWindow final : public QWidget
{
    Q_OBJECT

public:
    // Starts with the two newest tables of `forum` in `folder`, if any.
    CompareWindow(const QDir &folder, const QString &forum, QWidget *parent = nullptr);
    ~CompareWindow() override;
    CompareWindow(const CompareWindow &) = delete;
    CompareWindow &operator=(const CompareWindow &) = delete;

    // The one window of `owner`, brought to the front, or a new one.
    static void ShowFor(QWidget *owner, const QDir &folder, const QString &forum);

    // Compares these two, cancelling a comparison still under way.
    void Compare(const QString &older, const QString &newer);
    // Writes the comparison shown to `path`; false, with the reason shown,
    // when it could not.
    bool SaveTo(const QString &path);
    ComparisonModel &Model() { return *model_; }

signals:
    // A comparison was shown, or why it could not be.
    void comparisonShown();

private:
    void BuildLayout();
    void ChooseTable(QLineEdit *box, const QString &title);
    void Save();
    void Show(const std::shared_ptr<const ComparedExports> &compared);
    void ShowProblem(const UserMessage &problem);
    void UpdateKindCounts();

    QDir folder_;
    std::unique_ptr<CompareJob> job_;
    ComparisonModel *model_;
    QLineEdit *olderBox_;
    QLineEdit *newerBox_;
    QLabel *summary_;
    QLabel *notes_;
    QProgressBar *progress_;
    QComboBox *kind_;
    QLineEdit *search_;
    QTableView *view_;
    LevelChart *chart_;
    QPushButton *save_;
};

} // namespace kestrune
