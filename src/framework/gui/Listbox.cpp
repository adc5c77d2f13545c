#include "framework/gui/Listbox.h"

#include "framework/core/Strings.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStringList>

namespace fw {

// Shows a ListboxModel to the Qt view; cell text is made only for the
// cells the view asks for.
class ListboxItemModel final : public QAbstractTableModel {
public:
    explicit ListboxItemModel(const Listbox* list) : list_(list) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : list_->Model().RowCount();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : list_->Model().ColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        return QString::fromStdString(list_->Model().CellText(index.row(), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        return QString::fromStdString(list_->Heading(section));
    }

    void BeginInsert(int row, int count = 1) {
        beginInsertRows(QModelIndex(), row, row + count - 1);
    }
    void EndInsert() { endInsertRows(); }
    void BeginRemove(int row) { beginRemoveRows(QModelIndex(), row, row); }
    void EndRemove() { endRemoveRows(); }
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void CellChanged(int row, int column) {
        const QModelIndex i = index(row, column);
        emit dataChanged(i, i);
    }
    void HeadingsChanged(int columns) {
        emit headerDataChanged(Qt::Horizontal, 0, std::max(columns - 1, 0));
    }

private:
    const Listbox* list_;
};

Listbox::Listbox(QWidget* parent)
    : QTableView(parent), Control(this), ownModel_(std::make_unique<TextListboxModel>()),
      model_(ownModel_.get()), editable_(ownModel_.get()),
      itemModel_(std::make_unique<ListboxItemModel>(this)) {
    setModel(itemModel_.get());
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setDragEnabled(false);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        SetSortedColumn(column);
        Sort();
    });
    ApplyRowHeight();
}

Listbox::~Listbox() {
    // The view lets go of the model before the model goes.
    setModel(nullptr);
}

void Listbox::SetModel(ListboxModel* model) {
    itemModel_->BeginReset();
    model_ = model != nullptr ? model : ownModel_.get();
    editable_ = model_->Editable();
    lastIndex_ = -1;
    itemModel_->EndReset();
    OrderLost();
    ApplyColumnWidths();
}

ListboxModel& Listbox::Model() const {
    return *model_;
}

void Listbox::RowsChanged() {
    itemModel_->BeginReset();
    itemModel_->EndReset();
    OrderLost();
    ApplyColumnWidths();
}

void Listbox::AppendRows(int count, const std::function<void()>& append) {
    if (count <= 0) {
        append();
        return;
    }
    itemModel_->BeginInsert(model_->RowCount(), count);
    append();
    itemModel_->EndInsert();
    OrderLost();
}

int Listbox::RowCount() const {
    return model_->RowCount();
}

int Listbox::ColumnCount() const {
    return model_->ColumnCount();
}

void Listbox::SetColumnCount(int columns) {
    if (model_ != ownModel_.get()) {
        return;
    }
    itemModel_->BeginReset();
    ownModel_->SetColumnCount(columns);
    itemModel_->EndReset();
    ApplyColumnWidths();
}

void Listbox::AddRow(const std::string& column0) {
    if (editable_ == nullptr) {
        return;
    }
    const int row = model_->RowCount();
    itemModel_->BeginInsert(row);
    editable_->AddRow(column0);
    itemModel_->EndInsert();
    lastIndex_ = row;
    OrderLost();
}

std::string Listbox::Cell(int row, int column) const {
    return model_->CellText(row, column);
}

void Listbox::SetCell(int row, int column, const std::string& text) {
    if (editable_ == nullptr || row < 0 || row >= RowCount() || column < 0 ||
        column >= ColumnCount()) {
        return;
    }
    // The text the cell holds already changes nothing, and the rows keep
    // their order.
    if (model_->CellText(row, column) == text) {
        return;
    }
    editable_->SetCellText(row, column, text);
    itemModel_->CellChanged(row, column);
    if (column == sortedColumn_) {
        OrderLost();
    }
}

void Listbox::RemoveRow(int row) {
    if (editable_ == nullptr || row < 0 || row >= RowCount()) {
        return;
    }
    itemModel_->BeginRemove(row);
    editable_->RemoveRow(row);
    itemModel_->EndRemove();
    if (lastIndex_ >= RowCount()) {
        lastIndex_ = RowCount() - 1;
    }
}

void Listbox::DeleteAllRows() {
    itemModel_->BeginReset();
    model_->DeleteAllRows();
    itemModel_->EndReset();
    lastIndex_ = -1;
    OrderLost();
}

int Listbox::ListIndex() const {
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid() || !selectionModel()->isRowSelected(current.row(), QModelIndex())) {
        return -1;
    }
    return current.row();
}

void Listbox::SetHeadings(const std::vector<std::string>& headings) {
    headings_ = headings;
    if (model_ == ownModel_.get() && static_cast<int>(headings.size()) > ColumnCount()) {
        SetColumnCount(static_cast<int>(headings.size()));
    }
    itemModel_->HeadingsChanged(ColumnCount());
}

std::string Listbox::Heading(int column) const {
    if (column < 0 || column >= static_cast<int>(headings_.size())) {
        return {};
    }
    return headings_[static_cast<size_t>(column)];
}

void Listbox::SetColumnWidths(const std::string& widths) {
    columnWidths_ = widths;
    ApplyColumnWidths();
}

void Listbox::SetSortedColumn(int column) {
    if (column != sortedColumn_) {
        OrderLost();
    }
    sortedColumn_ = column;
}

void Listbox::RowsSortedBy(int column) {
    sortedColumn_ = column;
    ShowSortIndicator();
}

void Listbox::ShowSortIndicator() {
    if (sortedColumn_ < 0 || sortedColumn_ >= ColumnCount()) {
        OrderLost();
        return;
    }
    header()->setSortIndicator(sortedColumn_, Qt::AscendingOrder);
    if (!header()->isSortIndicatorShown()) {
        header()->setSortIndicatorShown(true);
        ApplyColumnWidths();
    }
}

void Listbox::OrderLost() {
    if (header()->isSortIndicatorShown()) {
        header()->setSortIndicatorShown(false);
        ApplyColumnWidths();
    }
}

int Listbox::CompareRows(int row1, int row2, int column) const {
    if (compareRows_) {
        int result = 0;
        if (compareRows_(row1, row2, column, result)) {
            return result < 0 ? -1 : (result > 0 ? 1 : 0);
        }
    }
    return CompareText(model_->CellText(row1, column), model_->CellText(row2, column));
}

void Listbox::Sort() {
    const int column = sortedColumn_;
    if (column < 0 || column >= ColumnCount()) {
        return;
    }
    ShowSortIndicator();
    if (RowCount() < 2) {
        return;
    }
    const RowCompare compare = [this, column](int a, int b) { return CompareRows(a, b, column); };
    itemModel_->BeginReset();
    if (!model_->SortRows(column, compare) && editable_ != nullptr) {
        editable_->ReorderRows(StableRowOrder(model_->RowCount(), compare));
    }
    itemModel_->EndReset();
}

void Listbox::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    ApplyColumnWidths();
}

void Listbox::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        ApplyRowHeight();
    }
}

// Rows as high as a line of the list's font, like a plain list's rows.
void Listbox::ApplyRowHeight() {
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

void Listbox::ApplyColumnWidths() {
    const int columns = ColumnCount();
    if (columns <= 0) {
        return;
    }
    const int available = isVisible() ? viewport()->width() : width() - 2 * frameWidth();
    const QStringList given = QString::fromStdString(columnWidths_).split(QLatin1Char(','));
    std::vector<int> widths(static_cast<size_t>(columns), -1);
    int used = 0;
    int shares = 0;
    for (int c = 0; c < columns; ++c) {
        const QString entry = c < given.size() ? given[c].trimmed() : QString();
        bool ok = false;
        int w = -1;
        if (entry.endsWith(QLatin1Char('%'))) {
            const double percent = entry.chopped(1).toDouble(&ok);
            w = ok ? static_cast<int>(available * percent / 100.0) : -1;
        } else if (!entry.isEmpty() && entry != QLatin1String("*")) {
            w = entry.toInt(&ok);
            w = ok ? w : -1;
        }
        if (w >= 0) {
            widths[static_cast<size_t>(c)] = w;
            used += w;
        } else {
            ++shares;
        }
    }
    // The columns that share what is left each get an equal part, except that
    // a heading (with its sort arrow) is never cut: a column whose heading
    // needs more gets that, and the others share the rest.
    int left = std::max(available - used, 0);
    bool settled = false;
    while (shares > 0 && !settled) {
        settled = true;
        const int share = left / shares;
        for (int c = 0; c < columns; ++c) {
            const int needed = header()->sectionSizeHint(c);
            if (widths[static_cast<size_t>(c)] < 0 && needed > share) {
                widths[static_cast<size_t>(c)] = needed;
                left = std::max(left - needed, 0);
                --shares;
                settled = false;
                break;
            }
        }
    }
    const int share = shares > 0 ? left / shares : 0;
    for (int c = 0; c < columns; ++c) {
        const int w = widths[static_cast<size_t>(c)];
        header()->resizeSection(c, w >= 0 ? w : share);
    }
}

} // namespace fw
