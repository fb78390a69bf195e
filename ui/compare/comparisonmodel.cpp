#include "ui/compare/comparisonmodel.h"

#include "compare/comparisonorder.h"
#include "compare/comparisontable.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <numeric>

namespace kestrune {

namespace {

QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ChangeText(const Comparison &comparison, std::size_t row)
{
    const Change change = comparison.At(row).change;
    if (change == Change::Up || change == Change::Down) {
        const std::int64_t by = *comparison.RankChange(row);
        // An arrow as well as a colour, for those who cannot tell them apart.
        return change == Change::Up ? QStringLiteral("↑ %1").arg(by)
                                    : QStringLiteral("↓ %1").arg(-by);
    }
    return Text(ChangeName(change));
}

char LatinLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Latin letters in either case, as a search box is expected to match; the
// bytes of Chinese characters in UTF-8 are never letters.
bool HoldsText(std::string_view name, std::string_view text)
{
    return std::search(name.begin(), name.end(), text.begin(), text.end(),
                       [](char a, char b) { return LatinLower(a) == LatinLower(b); }) != name.end();
}

} // namespace

void ComparisonModel::SetComparison(std::shared_ptr<const ComparedExports> compared)
{
    beginResetModel();
    compared_ = std::move(compared);
    const std::size_t size = compared_ ? compared_->comparison.Size() : 0;
    order_.resize(size);
    std::iota(order_.begin(), order_.end(), 0U);
    Refilter();
    endResetModel();
}

void ComparisonModel::SetKind(std::optional<Change> kind)
{
    beginResetModel();
    kind_ = kind;
    Refilter();
    endResetModel();
}

void ComparisonModel::SetSearch(const QString &text)
{
    beginResetModel();
    search_ = text.trimmed().toStdString();
    Refilter();
    endResetModel();
}

void ComparisonModel::Refilter()
{
    shown_.clear();
    if (!compared_)
        return;
    const Comparison &comparison = compared_->comparison;
    for (const std::uint32_t row : order_) {
        if (kind_ && comparison.At(row).change != *kind_)
            continue;
        if (!search_.empty() && !HoldsText(comparison.Name(row), search_))
            continue;
        shown_.push_back(row);
    }
}

void ComparisonModel::sort(int column, Qt::SortOrder order)
{
    if (!compared_ || column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    static_assert(static_cast<int>(RowOrder::NewerLevel) == NewerLevelColumn);
    order_ = OrderedRows(compared_->comparison, static_cast<RowOrder>(column),
                         order == Qt::DescendingOrder);
    Refilter();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ComparisonModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ComparisonModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ComparisonModel::Display(std::size_t row, int column) const
{
    const Comparison &comparison = compared_->comparison;
    const auto rank = [](std::optional<std::int64_t> value) {
        return value ? QVariant(QString::number(*value)) : QVariant();
    };
    const auto level = [](std::optional<std::string_view> value) {
        return value ? QVariant(Text(*value)) : QVariant();
    };
    switch (column) {
    case NameColumn:
        return Text(comparison.Name(row));
    case OlderRankColumn:
        return rank(comparison.OlderRank(row));
    case NewerRankColumn:
        return rank(comparison.NewerRank(row));
    case ChangeColumn:
        return ChangeText(comparison, row);
    case OlderLevelColumn:
        return level(comparison.OlderLevel(row));
    case NewerLevelColumn:
        return level(comparison.NewerLevel(row));
    default:
        return {};
    }
}

QVariant ComparisonModel::data(const QModelIndex &index, int role) const
{
    if (!compared_ || !index.isValid() || index.row() >= rowCount())
        return {};
    const std::uint32_t row = shown_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return Display(row, index.column());
    if (role == Qt::TextAlignmentRole && index.column() != NameColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && index.column() == ChangeColumn) {
        // Red for a climb, green for a fall, as Chinese readers expect.
        const Change change = compared_->comparison.At(row).change;
        if (change == Change::Up)
            return QBrush(QColor(0xC6, 0x28, 0x28));
        if (change == Change::Down)
            return QBrush(QColor(0x2E, 0x7D, 0x32));
    }
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const std::array<const char16_t *, ColumnCount> titles = {
        u"会员名", u"旧名次", u"新名次", u"变化", u"旧等级", u"新等级"};
    return section >= 0 && section < ColumnCount
               ? QString::fromUtf16(titles[static_cast<std::size_t>(section)])
               : QVariant();
}

} // namespace kestrune
