#pragma once

#include "compare/comparejob.h"

#include <QAbstractTableModel>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrune {

// The rows of a comparison for a QTableView: sorted, filtered by kind and
// searched by name here rather than through a proxy, which would keep a
// million QModelIndex mappings and ask for every cell to sort.
class ComparisonModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn,
        OlderRankColumn,
        NewerRankColumn,
        ChangeColumn,
        OlderLevelColumn,
        NewerLevelColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void SetComparison(std::shared_ptr<const ComparedExports> compared);
    const ComparedExports *Compared() const { return compared_.get(); }
    // Only members of this kind; all when none.
    void SetKind(std::optional<Change> kind);
    // Only names holding this text.
    void SetSearch(const QString &text);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QVariant Display(std::size_t row, int column) const;
    void Refilter();

    std::shared_ptr<const ComparedExports> compared_;
    std::vector<std::uint32_t> order_; // every row, sorted
    std::vector<std::uint32_t> shown_; // those that pass the filter
    std::optional<Change> kind_;
    std::string search_; // UTF-8
};

} // namespace kestrune
