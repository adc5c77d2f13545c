#include "CalcFixture.h"
#include "framework/gui/GroupBox.h"
#include "framework/gui/ProgressWheel.h"
#include "windows/TalloCalcDesign.h"
#include "windows/tilesetWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <numeric>

namespace {

using CalcWindow = CalcFixture;

TEST_F(CalcWindow, OpensNarrowCollapsedWithHiddenDrawerAndFullTiles) {
    TalloCalc* first = Open();
    TalloCalc* second = Open();
    EXPECT_EQ(first->Title(), "Tallorix 1");
    EXPECT_EQ(second->Title(), "Tallorix 2");
    EXPECT_EQ(first->Width(), 403);
    EXPECT_EQ(first->Height(), 369);
    EXPECT_FALSE(Get<fw::DisclosureTriangle>(first, "dt_Options")->Value());
    EXPECT_FALSE(Get<fw::GroupBox>(first, "gb_Options")->Visible());
    EXPECT_FALSE(Drawer(first)->isVisible());
    EXPECT_EQ(Get<fw::PushButton>(first, "btn_Letters")->Caption(), "Show Letters");
    EXPECT_EQ(Get<fw::Listbox>(first, "lbox_wordValue")->RowCount(), 0);
    EXPECT_FALSE(MessageShown(first));
    EXPECT_FALSE(Get<fw::ProgressWheel>(first, "ChasingArrows1")->Visible());
    EXPECT_FALSE(Get<fw::PushButton>(first, "btn_clearList")->Enabled());
    EXPECT_TRUE(FullTiles(first));
    int total = 0;
    for (int row = 0; row < 27; ++row) {
        total += std::stoi(Tiles(first)->Cell(row, 1));
    }
    EXPECT_EQ(total, 100);
    EXPECT_EQ(Tiles(first)->Cell(0, 0), "_");
    EXPECT_EQ(Tiles(first)->Cell(26, 0), "Z");

    // The defaults of the application, with the panel rules applied.
    EXPECT_TRUE(Box(first, "cb_wordLength")->Value());
    EXPECT_TRUE(Box(first, "cb_wordLength")->Enabled());
    EXPECT_TRUE(Get<TalloCalc::rb_alphabet>(first, "rb_alphabet", 0)->Value());
    EXPECT_TRUE(Get<TalloCalc::rb_alphabet>(first, "rb_alphabet", 0)->Enabled());
    EXPECT_TRUE(Box(first, "cb_blankTiles")->Enabled());
}

TEST_F(CalcWindow, BuildsItsControlsFromTheDesignTable) {
    TalloCalc* w = Open();
    ASSERT_EQ(TalloCalc::Design().size(), 23u);
    std::vector<QWidget*> focusable;
    for (const CalcControlRow& row : TalloCalc::Design()) {
        fw::Control* control = w->FindControl(row.design.name, row.design.index);
        ASSERT_NE(control, nullptr) << row.design.name;
        EXPECT_EQ(control->Widget()->font().pixelSize(), 12) << row.design.name;
        if (control->Widget()->focusPolicy() != Qt::NoFocus) {
            focusable.push_back(control->Widget());
        }
    }
    // The keyboard moves through the controls in the order of the table.
    for (std::size_t i = 0; i + 1 < focusable.size(); ++i) {
        QWidget* next = focusable[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, focusable[i + 1]) << i;
    }
    EXPECT_EQ(Field(w)->LimitText(), 128);
    EXPECT_TRUE(Get<fw::PushButton>(w, "btn_Calc")->Default());
    EXPECT_EQ(Get<fw::StaticText>(w, "lbl_error")->palette().color(QPalette::WindowText),
              QColor(0xC6, 0x00, 0x00));
    EXPECT_EQ(Box(w, "cb_blankTiles")->toolTip(), "Use blank tiles for letters that run short");
    EXPECT_EQ(Box(w, "cb_specialSpaces")->toolTip().count('\n'), 1);
    auto* results = Get<fw::Listbox>(w, "lbox_wordValue");
    EXPECT_EQ(results->Heading(0), "Word");
    EXPECT_EQ(results->Heading(1), "Score");
    EXPECT_EQ(Get<fw::Listbox>(w, "lbox_Tiles")->RowCount(), 27);
}

TEST_F(CalcWindow, TriangleMovesBetweenTheTwoHeightsAndBottomControlsFollow) {
    TalloCalc* w = Open();
    auto* triangle = Get<fw::DisclosureTriangle>(w, "dt_Options");
    for (int round = 0; round < 3; ++round) {
        QTest::mouseClick(triangle, Qt::LeftButton);
        EXPECT_EQ(w->Height(), 551);
        EXPECT_TRUE(Get<fw::GroupBox>(w, "gb_Options")->isVisible());
        for (const CalcControlRow& row : TalloCalc::Design()) {
            const fw::Control* c = w->FindControl(row.design.name, row.design.index);
            EXPECT_EQ(c->Left(), row.design.bounds.left) << row.design.name;
            EXPECT_EQ(c->Top(), row.design.bounds.top) << row.design.name;
        }
        EXPECT_EQ(Box(w, "cb_blankTiles")->mapTo(w->Content(), QPoint(0, 0)), QPoint(43, 515));
        QTest::mouseClick(triangle, Qt::LeftButton);
        EXPECT_EQ(w->Height(), 369);
        EXPECT_FALSE(Get<fw::GroupBox>(w, "gb_Options")->isVisible());
    }
}

TEST_F(CalcWindow, PanelRulesKeepWordLengthOnWhileSpecialSpacesAre) {
    TalloCalc* w = Open();
    SetOption(w, "cb_wordLength", false);
    SetOption(w, "cb_specialSpaces", true);
    EXPECT_TRUE(Box(w, "cb_wordLength")->Value());
    EXPECT_FALSE(Box(w, "cb_wordLength")->Enabled());
    EXPECT_TRUE(Box(w, "cb_uniqueScores")->Enabled());
    EXPECT_TRUE(Box(w, "cb_centerSquare")->Enabled());
    SetOption(w, "cb_specialSpaces", false);
    EXPECT_TRUE(Box(w, "cb_wordLength")->Enabled());
    EXPECT_TRUE(Box(w, "cb_wordLength")->Value());
    EXPECT_FALSE(Box(w, "cb_uniqueScores")->Enabled());
    EXPECT_TRUE(Box(w, "cb_uniqueScores")->Value());
    EXPECT_FALSE(Box(w, "cb_centerSquare")->Enabled());

    SetOption(w, "cb_alphabet", false);
    for (int index : {0, 1}) {
        EXPECT_FALSE(Get<TalloCalc::rb_alphabet>(w, "rb_alphabet", index)->Enabled());
    }
    EXPECT_FALSE(Box(w, "cb_blankTiles")->Enabled());
    EXPECT_TRUE(Box(w, "cb_blankTiles")->Value());
    SetOption(w, "cb_alphabet", true);
    EXPECT_TRUE(Get<TalloCalc::rb_alphabet>(w, "rb_alphabet", 1)->Enabled());
    EXPECT_TRUE(Box(w, "cb_blankTiles")->Enabled());

    // Defaults with special spaces on and word length off.
    app->prefEnableSpecialSpaces = true;
    app->prefEnforceWordLength = false;
    TalloCalc* second = Open();
    EXPECT_TRUE(Box(second, "cb_wordLength")->Value());
    EXPECT_FALSE(Box(second, "cb_wordLength")->Enabled());
    // The first window kept its own options.
    EXPECT_FALSE(Box(w, "cb_specialSpaces")->Value());
}

TEST_F(CalcWindow, LettersButtonShowsOnlyItsOwnDrawerBesideTheWindow) {
    TalloCalc* w = Open();
    TalloCalc* other = Open();
    auto* letters = Get<fw::PushButton>(w, "btn_Letters");
    Click(letters);
    EXPECT_EQ(letters->Caption(), "Hide Letters");
    ASSERT_TRUE(Drawer(w)->isVisible());
    EXPECT_FALSE(Drawer(other)->isVisible());
    EXPECT_EQ(Drawer(w)->x(), w->frameGeometry().right() + 1);
    w->move(w->x() + 40, w->y() + 30);
    EXPECT_EQ(Drawer(w)->x(), w->frameGeometry().right() + 1);
    EXPECT_EQ(Drawer(w)->y(), w->geometry().top());
    // The list fills the drawer less 10 pixels, also after the drawer grows.
    OpenOptions(w);
    fw::Listbox* list = Tiles(w);
    EXPECT_EQ(list->Width(), Drawer(w)->Width() - 10);
    EXPECT_EQ(list->Height(), Drawer(w)->Height() - 10);
    EXPECT_GT(Drawer(w)->Height(), 551);
    Click(letters);
    EXPECT_EQ(letters->Caption(), "Show Letters");
    EXPECT_FALSE(Drawer(w)->isVisible());
}

TEST_F(CalcWindow, DrawerSortsCountsByNumberAndStillShowsTheRightCounts) {
    TalloCalc* w = Open();
    fw::Listbox* list = Tiles(w);
    emit list->header()->sectionClicked(2);
    std::vector<double> left;
    for (int row = 0; row < list->RowCount(); ++row) {
        left.push_back(std::stod(list->Cell(row, 2)));
    }
    EXPECT_TRUE(std::is_sorted(left.begin(), left.end()));
    EXPECT_EQ(list->Cell(26, 0), "E"); // 12 after 9
    int result = 0;
    EXPECT_FALSE(static_cast<tilesetWindow*>(Drawer(w))->lbox_Tiles_CompareRows(0, 1, 0, result));

    // A sorted drawer still shows each symbol's count in its own row.
    CombinedWords(w);
    Enter(w, "quiz");
    EXPECT_EQ(Tile(w, "Q"), "0");
    EXPECT_EQ(Tile(w, "I"), "8");
    EXPECT_EQ(Tile(w, "I", 1), "9");
    EXPECT_EQ(Tile(w, "E"), "12");
}

TEST_F(CalcWindow, CloseTakesOnlyTheFrontWindowAndNumbersAreNotReused) {
    TalloCalc* one = Open();
    QPointer<TalloCalc> two = Open();
    TalloCalc* three = Open();
    Enter(one, "zap");
    two->FileClose_Action();
    EXPECT_TRUE(two.isNull() || two->IsClosed());
    EXPECT_FALSE(one->IsClosed());
    EXPECT_FALSE(three->IsClosed());
    EXPECT_EQ(Open()->Title(), "Tallorix 4");
    EXPECT_EQ(Rows(one), std::vector<std::string>{"ZAP/14"});
    EXPECT_EQ(one->Title(), "Tallorix 1");

    // One board window for all calculator windows.
    Click(Get<fw::PushButton>(one, "btn_Board"));
    Click(Get<fw::PushButton>(three, "btn_Board"));
    const std::vector<fw::Window*> windows = fw::AllWindows();
    EXPECT_EQ(
        std::count_if(windows.begin(), windows.end(),
                      [](fw::Window* window) { return window->Title() == "Quadrelle Board"; }),
        1);
}

} // namespace

// Catches a caption font that outgrows the design (points taken at the
// screen's resolution clip every caption); a pixel or two of the platform
// font's own spacing is allowed.
TEST_F(CalcWindow, CaptionsFitTheirControls) {
    constexpr int kSpacingAllowance = 3;
    TalloCalc* w = Open();
    OpenOptions(w);
    for (const CalcControlRow& row : TalloCalc::Design()) {
        QWidget* widget = w->FindControl(row.design.name, row.design.index)->Widget();
        const bool hasCaption = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                                qobject_cast<QLabel*>(widget) != nullptr;
        if (!hasCaption || row.design.caption.empty() || row.design.name == "lbl_error") {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text().toStdString(), row.design.caption); // shown whole
        } else {
            EXPECT_LE(widget->sizeHint().width(), row.design.bounds.width + kSpacingAllowance)
                << row.design.name;
        }
    }
}

TEST_F(CalcWindow, ClickingAButtonLeavesTheTypingInTheWordField) {
    TalloCalc* w = Open();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    Field(w)->setFocus();
    Enter(w, "cat");
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    OpenOptions(w);
    Click(Box(w, "cb_uniqueScores"));
    Enter(w, "dog");
    EXPECT_EQ(Rows(w), std::vector<std::string>{"DOG/5"});
}

// Tab walks only the controls the user can see: never the window's own tile
// list beyond its right edge, nor the options while their panel is closed.
// Shift+Tab walks back, also out of the word field; it comes as Backtab, as
// X11 and Wayland send it.
TEST_F(CalcWindow, TabPassesOnlyThroughControlsInSight) {
    TalloCalc* w = Open();
    QApplication::setActiveWindow(w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    Enter(w, "cat"); // enables Clear List
    const auto walk = [w](Qt::KeyboardModifiers modifiers) {
        std::vector<std::string> names;
        Field(w)->setFocus();
        const Qt::Key key = modifiers == Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            names.push_back(QApplication::focusWidget()->objectName().toStdString());
        }
        return names;
    };
    const std::vector<std::string> closed = {"lbox_wordValue", "btn_Board",     "btn_Letters",
                                             "dt_Options",     "btn_clearList", "btn_Calc",
                                             "tbox_Word",      "lbox_wordValue"};
    std::vector<std::string> forward = walk({});
    EXPECT_EQ(std::vector<std::string>(forward.begin(), forward.begin() + 8), closed);
    std::vector<std::string> backward = walk(Qt::ShiftModifier);
    EXPECT_EQ(backward.front(), "btn_Calc");
    EXPECT_EQ(backward[1], "btn_clearList");
    EXPECT_EQ(std::count(backward.begin(), backward.end(), "lbox_Tiles"), 0);

    OpenOptions(w);
    forward = walk({});
    EXPECT_EQ(std::count(forward.begin(), forward.end(), "lbox_Tiles"), 0);
    EXPECT_NE(std::find(forward.begin(), forward.end(), "cb_specialSpaces"), forward.end());
    EXPECT_NE(std::find(forward.begin(), forward.end(), "cb_uniqueScores"), forward.end());
}

// The heading's arrow tells the order the rows are in, and never cuts a
// heading short.
TEST_F(CalcWindow, SortArrowFollowsTheRowsOrderAndHeadingsStayWhole) {
    TalloCalc* w = Open();
    auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
    QHeaderView* heading = list->header();
    Enter(w, "quiz");
    Enter(w, "ox");
    emit heading->sectionClicked(1);
    EXPECT_TRUE(heading->isSortIndicatorShown());
    EXPECT_EQ(heading->sortIndicatorSection(), 1);
    Enter(w, "a"); // listed at the end: the rows are no longer by score
    EXPECT_FALSE(heading->isSortIndicatorShown());

    emit heading->sectionClicked(1);
    SetOption(w, "cb_specialSpaces", true);
    Enter(w, "za"); // pruning leaves the rows in word order
    EXPECT_TRUE(heading->isSortIndicatorShown());
    EXPECT_EQ(heading->sortIndicatorSection(), 0);
    EXPECT_EQ(Rows(w).front().substr(0, 2), "A/");
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    EXPECT_FALSE(heading->isSortIndicatorShown());

    fw::Listbox* tiles = Tiles(w);
    Click(Get<fw::PushButton>(w, "btn_Letters"));
    for (int column = 0; column < 3; ++column) {
        emit tiles->header()->sectionClicked(column);
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(tiles->header()->sectionSize(c), tiles->header()->sectionSizeHint(c))
                << tiles->Heading(c) << " sorted by " << column;
        }
    }

    // The drawer's arrow stays while a word leaves the counts of its column
    // as they were, and goes when a word changes them.
    Enter(w, "zap"); // Individual words: the full set again
    EXPECT_TRUE(tiles->header()->isSortIndicatorShown());
    CombinedWords(w);
    emit tiles->header()->sectionClicked(2);
    Enter(w, "zap");
    EXPECT_EQ(Tile(w, "Z"), "0");
    EXPECT_FALSE(tiles->header()->isSortIndicatorShown());
}
