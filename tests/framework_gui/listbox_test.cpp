#include "TestWindow.h"
#include "framework/gui/Listbox.h"

#include <QHeaderView>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct ListFixture : ::testing::Test {
    void SetUp() override {
        window = MakeWindow(nullptr, [](TestWindow& w) {
            auto* list = w.AddControl<fw::Listbox>({.name = "lbox", .bounds = {9, 53, 389, 252}});
            list->SetHeadings({"Word", "Score"});
            list->SetColumnWidths("80%,20%");
        });
        list = window->FindControl<fw::Listbox>("lbox");
    }
    void TearDown() override { delete window; }

    void Add(const std::string& word, const std::string& score) {
        list->AddRow(word);
        list->SetCell(list->LastIndex(), 1, score);
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int row = 0; row < list->RowCount(); ++row) {
            cells.push_back(list->Cell(row, column));
        }
        return cells;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 0; row < list->RowCount(); ++row) {
            rows.push_back(list->Cell(row, 0) + "/" + list->Cell(row, 1));
        }
        return rows;
    }

    TestWindow* window = nullptr;
    fw::Listbox* list = nullptr;
};

// The handler of a numeric column, as a list of scores needs it.
bool NumericScore(fw::Listbox* list, int row1, int row2, int column, int& result) {
    if (column != 1) {
        return false;
    }
    const int a = std::stoi(list->Cell(row1, 1));
    const int b = std::stoi(list->Cell(row2, 1));
    result = a > b ? 1 : (a < b ? -1 : 0);
    return true;
}

} // namespace

TEST_F(ListFixture, RowsAndCellsCountFromZero) {
    EXPECT_EQ(list->ColumnCount(), 2);
    EXPECT_EQ(list->Heading(1), "Score");
    EXPECT_EQ(list->LastIndex(), -1);
    Add("QUIZ", "22");
    Add("ZA", "11");
    EXPECT_EQ(list->LastIndex(), 1);
    EXPECT_EQ(list->Cell(0, 1), "22");
    EXPECT_EQ(list->Cell(5, 0), ""); // out of range reads empty
    list->SetCell(9, 0, "x");        // and writes nothing
    list->RemoveRow(0);
    EXPECT_EQ(Rows(), std::vector<std::string>{"ZA/11"});
    list->DeleteAllRows();
    EXPECT_EQ(list->RowCount(), 0);
    EXPECT_EQ(list->LastIndex(), -1);
}

TEST_F(ListFixture, SortAsksHandlerFirstAndIsStable) {
    list->OnCompareRows(
        [this](int a, int b, int c, int& r) { return NumericScore(list, a, b, c, r); });
    for (auto [word, score] : std::vector<std::pair<std::string, std::string>>{
             {"ZA", "10"}, {"QI", "9"}, {"AB", "10"}, {"ZA", "9"}, {"AB", "4"}, {"QI", "10"}}) {
        Add(word, score);
    }
    list->SetSortedColumn(1);
    list->Sort();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"4", "9", "9", "10", "10", "10"}));
    // Equal scores kept their order: ZA, AB, QI for 10.
    EXPECT_EQ(Rows()[3], "ZA/10");
    EXPECT_EQ(Rows()[5], "QI/10");
    // Then by word (the handler declines): by word, each word's scores ascending.
    list->SetSortedColumn(0);
    list->Sort();
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"AB/4", "AB/10", "QI/9", "QI/10", "ZA/9", "ZA/10"}));
}

TEST_F(ListFixture, InconsistentHandlerStillFinishesWithEveryRowOnce) {
    // Equal counts answer -1 in both orders.
    list->OnCompareRows([this](int a, int b, int column, int& result) {
        if (column == 0) {
            return false;
        }
        const double x = std::stod(list->Cell(a, column));
        const double y = std::stod(list->Cell(b, column));
        result = x > y ? 1 : -1;
        return true;
    });
    std::vector<std::string> before;
    for (int i = 0; i < 257; ++i) {
        Add("R" + std::to_string(i), std::to_string(i % 3));
        before.push_back(Rows().back());
    }
    list->SetSortedColumn(1);
    list->Sort();
    std::vector<std::string> after = Rows();
    const std::vector<std::string> scores = Column(1);
    EXPECT_TRUE(std::is_sorted(scores.begin(), scores.end()));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}

TEST_F(ListFixture, HeadingClickSortsByThatColumnAscending) {
    Add("b", "2");
    Add("C", "1");
    Add("a", "3");
    EXPECT_EQ(list->SortedColumn(), -1);
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(list->SortedColumn(), 0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "C"}));
    emit list->header()->sectionClicked(0); // again: still ascending
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a", "b", "C"}));
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "2", "3"}));
}

namespace {

// A model that keeps numbers and sorts itself.
class NumberModel final : public fw::EditableListboxModel {
public:
    std::vector<int> values;
    int sorts = 0;
    int RowCount() const override { return static_cast<int>(values.size()); }
    int ColumnCount() const override { return 1; }
    std::string CellText(int row, int) const override {
        return row >= 0 && row < RowCount() ? std::to_string(values[static_cast<size_t>(row)]) : "";
    }
    void SetCellText(int, int, const std::string&) override {}
    void AddRow(const std::string& text) override { values.push_back(std::stoi(text)); }
    void RemoveRow(int row) override { values.erase(values.begin() + row); }
    void DeleteAllRows() override { values.clear(); }
    void ReorderRows(const std::vector<int>&) override {}
    bool SortRows(int, const fw::RowCompare&) override {
        ++sorts;
        std::stable_sort(values.begin(), values.end());
        return true;
    }
};

} // namespace

TEST_F(ListFixture, PluggedModelFeedsTheViewAndMaySortItself) {
    NumberModel model;
    list->SetModel(&model);
    list->AddRow("12");
    list->AddRow("9");
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->data(list->model()->index(1, 0)).toString(), QString("9"));
    list->SetSortedColumn(0);
    list->Sort();
    EXPECT_EQ(model.sorts, 1);
    EXPECT_EQ(list->Cell(0, 0), "9");
    model.values.push_back(1);
    list->RowsChanged();
    EXPECT_EQ(list->model()->rowCount(), 3);
    list->SetModel(nullptr);
    EXPECT_EQ(list->RowCount(), 0);
}
