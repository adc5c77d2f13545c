#include "CalcFixture.h"
#include "framework/core/Yield.h"
#include "framework/gui/ProgressWheel.h"

#include <QHeaderView>
#include <algorithm>
#include <chrono>
#include <set>

namespace {

using Calculate = CalcFixture;

TEST_F(Calculate, ListsTheTypedWordUpperCasedAndEmptiesTheField) {
    TalloCalc* w = Open();
    Click(Get<fw::PushButton>(w, "btn_Calc")); // an empty field changes nothing
    EXPECT_TRUE(Rows(w).empty());
    Enter(w, "quiz");
    EXPECT_EQ(Rows(w), std::vector<std::string>{"QUIZ/22"});
    EXPECT_EQ(Field(w)->Text(), "");
    EXPECT_TRUE(Get<fw::PushButton>(w, "btn_clearList")->Enabled());
    EXPECT_FALSE(MessageShown(w));

    // A typed space is a blank: it stays in the word and scores nothing.
    Enter(w, "a b");
    EXPECT_EQ(Rows(w).back(), "A B/4");
    // Automatic blanks: QQ is listed as _Q with the score of one Q.
    Enter(w, "qq");
    EXPECT_EQ(Rows(w).back(), "_Q/10");
    EXPECT_TRUE(FullTiles(w));

    // Pasted text skips the key filter; only a-z change case, so a letter
    // that is no tile keeps its form and the word its length.
    Field(w)->insert(QString::fromUtf8("stra\u00dfe"));
    QTest::keyClick(Field(w), Qt::Key_Return);
    EXPECT_EQ(Rows(w).back(), "STRA\u00dfE/5");
}

TEST_F(Calculate, SixteenQsFailBothTestsOnOneMessageLine) {
    TalloCalc* w = Open();
    const std::string word(16, 'Q');
    Enter(w, "qqqqqqqqqqqqqqqq");
    EXPECT_TRUE(MessageShown(w));
    EXPECT_EQ(Message(w),
              word + ":Quadrelle boards are only 15 spaces across. Letter count violation. ");
    EXPECT_EQ(Field(w)->Text(), word);
    EXPECT_TRUE(Rows(w).empty());
    // The next word hides the line again; fifteen letters pass the length test.
    Field(w)->clear();
    SetOption(w, "cb_alphabet", false);
    Enter(w, "abcdefghijklmno");
    EXPECT_FALSE(MessageShown(w));
    EXPECT_EQ(Rows(w).size(), 1u);
}

TEST_F(Calculate, KeyFilterSwallowsAllButLettersBlanksAndEditingKeys) {
    TalloCalc* w = Open();
    QTest::keyClicks(Field(w), "q7Z!u_ x.");
    EXPECT_EQ(Field(w)->Text(), "qZu_ x");
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Up, Qt::Key_Down, Qt::Key_Escape, Qt::Key_5}) {
        QTest::keyClick(Field(w), key);
    }
    EXPECT_EQ(Field(w)->Text(), "qZu_ x");
    QTest::keyClick(Field(w), Qt::Key_Backspace);
    QTest::keyClick(Field(w), Qt::Key_Left);
    QTest::keyClick(Field(w), Qt::Key_Delete);
    EXPECT_EQ(Field(w)->Text(), "qZu_");
    for (const char* key : {"\t", "\x1e", "\x1f", "1", "-"}) {
        EXPECT_TRUE(w->tbox_Word_KeyDown(key)) << key;
    }
    for (const char* key : {"a", "Z", "_", " ", "\x08", "\x7f", "\x1c", "\x1d", "\r", "\x03"}) {
        EXPECT_FALSE(w->tbox_Word_KeyDown(key)) << key;
    }
}

// A key pressed while a word is calculated waits until the calculation is
// over: Return can't start a second Calculate inside the first, and what was
// typed goes into the next word.
TEST_F(Calculate, KeysPressedDuringACalculationWaitForIt) {
    TalloCalc* w = Open();
    QTest::keyClicks(Field(w), "quiz");
    for (const auto& [key, text] :
         {std::pair{Qt::Key_O, "o"}, std::pair{Qt::Key_X, "x"}, std::pair{Qt::Key_Return, "\r"}}) {
        QCoreApplication::postEvent(Field(w), new QKeyEvent(QEvent::KeyPress, key, {}, text));
        QCoreApplication::postEvent(Field(w), new QKeyEvent(QEvent::KeyRelease, key, {}, text));
    }
    // The scoring loop's next pass yields to the event loop, where the keys
    // arrive; a clock ahead of the last yield by the least interval lets it.
    fw::detail::SetYieldClockForTesting(
        [] { return std::chrono::steady_clock::now() + std::chrono::milliseconds(50); });
    fw::detail::yieldCountdown = 1;
    Click(Get<fw::PushButton>(w, "btn_Calc"));
    fw::detail::SetYieldClockForTesting(nullptr);
    EXPECT_EQ(Rows(w), std::vector<std::string>{"QUIZ/22"});
    QCoreApplication::processEvents();
    EXPECT_EQ(Rows(w), (std::vector<std::string>{"QUIZ/22", "OX/9"}));
}

TEST_F(Calculate, CombinedWordsUseUpTilesUntilClearList) {
    TalloCalc* w = Open();
    SetOption(w, "cb_blankTiles", false);
    CombinedWords(w);
    Enter(w, "quiz");
    EXPECT_EQ(Tile(w, "Q"), "0");
    EXPECT_EQ(Tile(w, "U"), "3");
    EXPECT_EQ(Tile(w, "I"), "8");
    EXPECT_EQ(Tile(w, "Z"), "0");
    Enter(w, "qua");
    EXPECT_EQ(Message(w), "QUA:Tile count violation. ");
    EXPECT_EQ(Tile(w, "U"), "3");
    EXPECT_EQ(Tile(w, "A"), "9");

    SetOption(w, "cb_blankTiles", true);
    Field(w)->clear();
    Enter(w, "qua");
    EXPECT_EQ(Rows(w).back(), "_UA/2");
    EXPECT_EQ(Tile(w, "_"), "1");
    EXPECT_EQ(Tile(w, "U"), "2");

    // Clear List refills the tiles; the field and the message line stay.
    Enter(w, "qzzz");
    EXPECT_EQ(Field(w)->Text(), "_ZZZ");
    EXPECT_TRUE(MessageShown(w));
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    EXPECT_TRUE(Rows(w).empty());
    EXPECT_TRUE(FullTiles(w));
    EXPECT_EQ(Field(w)->Text(), "_ZZZ");
    EXPECT_TRUE(MessageShown(w));
    EXPECT_FALSE(Get<fw::PushButton>(w, "btn_clearList")->Enabled());

    // Choosing a tile mode refills the tiles and keeps the rows.
    Field(w)->clear();
    Enter(w, "jinx");
    EXPECT_EQ(Tile(w, "J"), "0");
    Click(Get<TalloCalc::rb_alphabet>(w, "rb_alphabet", 0));
    EXPECT_TRUE(FullTiles(w));
    EXPECT_EQ(Rows(w).size(), 1u);
}

TEST_F(Calculate, WordRejectedForItsLengthUsesUpNoTiles) {
    TalloCalc* w = Open();
    CombinedWords(w);
    Enter(w, "abcdefghijklmnop"); // sixteen different letters that fit the tiles
    EXPECT_EQ(Message(w), "ABCDEFGHIJKLMNOP:Quadrelle boards are only 15 spaces across. ");
    EXPECT_TRUE(Rows(w).empty());
    EXPECT_TRUE(FullTiles(w));

    // Both tests failing still give both messages, and take nothing.
    Field(w)->clear();
    SetOption(w, "cb_blankTiles", false);
    Enter(w, "jjjjjjjjjjjjjjjj");
    EXPECT_EQ(Message(w),
              std::string(16, 'J') +
                  ":Quadrelle boards are only 15 spaces across. Tile count violation. ");
    EXPECT_TRUE(FullTiles(w));
}

TEST_F(Calculate, SpecialSpacesListEveryPlacementOrTheUniqueScores) {
    TalloCalc* w = Open();
    SetOption(w, "cb_specialSpaces", true);
    SetOption(w, "cb_uniqueScores", false);
    Enter(w, "qi");
    std::vector<int> withCentre = Scores(w);
    ASSERT_EQ(withCentre.size(), 420u);
    EXPECT_TRUE(std::is_sorted(withCentre.begin(), withCentre.end()));
    EXPECT_EQ(withCentre.front(), 11);
    EXPECT_EQ(Rows(w).front(), "QI/11");

    // The centre square counts as a double word square only while its option is on:
    // four placements of QI cover it.
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    SetOption(w, "cb_centerSquare", false);
    Enter(w, "qi");
    const std::vector<int> plain = Scores(w);
    EXPECT_EQ(std::count(withCentre.begin(), withCentre.end(), 22) -
                  std::count(plain.begin(), plain.end(), 22),
              4);

    Click(Get<fw::PushButton>(w, "btn_clearList"));
    Enter(w, "cat");
    const std::vector<int> all = Scores(w);
    ASSERT_EQ(all.size(), 390u);
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    SetOption(w, "cb_uniqueScores", true);
    Enter(w, "cat");
    const std::set<int> distinct(all.begin(), all.end());
    EXPECT_EQ(Scores(w), std::vector<int>(distinct.begin(), distinct.end()));
    // The same word again changes nothing; another word keeps its own rows.
    Enter(w, "cat");
    EXPECT_EQ(Scores(w).size(), distinct.size());
    Enter(w, "act");
    const std::vector<std::string> rows = Rows(w);
    EXPECT_EQ(rows.front().substr(0, 4), "ACT/");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& row) { return row.substr(0, 4) == "CAT/"; }),
              static_cast<long>(distinct.size()));
}

TEST_F(Calculate, ScoreHeadingSortsByNumber) {
    TalloCalc* w = Open();
    for (const char* word : {"quiz", "ox", "zap", "a"}) {
        Enter(w, word);
    }
    auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(Scores(w), (std::vector<int>{1, 9, 14, 22}));
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(Rows(w), (std::vector<std::string>{"A/1", "OX/9", "QUIZ/22", "ZAP/14"}));
    int result = 7;
    EXPECT_TRUE(w->lbox_wordValue_CompareRows(0, 1, 1, result));
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(w->lbox_wordValue_CompareRows(1, 0, 0, result));
}

// Only Calculate and Clear List change the results; the list box's own
// editing calls leave them as they are.
TEST_F(Calculate, ResultListIsReadOnlyToTheListBoxesOwnEdits) {
    TalloCalc* w = Open();
    for (const char* word : {"ox", "jab", "quiz"}) {
        Enter(w, word);
    }
    auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
    list->SetCell(1, 1, "30");
    list->SetCell(2, 0, "QUIT");
    list->RemoveRow(0);
    list->AddRow("ZA");
    EXPECT_EQ(Rows(w), (std::vector<std::string>{"OX/9", "JAB/12", "QUIZ/22"}));
    EXPECT_EQ(list->model()->rowCount(), 3);
}

TEST_F(Calculate, BusyWheelShowsOnlyWhileCalculateAndClearListRun) {
    TalloCalc* w = Open();
    auto* wheel = Get<fw::ProgressWheel>(w, "ChasingArrows1");
    struct Recorder : QObject {
        std::vector<QEvent::Type> seen;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
                seen.push_back(event->type());
            }
            return false;
        }
    } recorder;
    wheel->installEventFilter(&recorder);
    Enter(w, "wheel");
    Click(Get<fw::PushButton>(w, "btn_clearList"));
    wheel->removeEventFilter(&recorder);
    EXPECT_EQ(recorder.seen,
              (std::vector<QEvent::Type>{QEvent::Show, QEvent::Hide, QEvent::Show, QEvent::Hide}));
    EXPECT_FALSE(wheel->isVisible());
}

TEST_F(Calculate, TwoWindowsKeepTheirOwnListsTilesAndOptions) {
    TalloCalc* one = Open();
    TalloCalc* two = Open();
    CombinedWords(one);
    SetOption(one, "cb_specialSpaces", true);
    Enter(one, "jinx");
    Enter(two, "jinx");
    EXPECT_EQ(Tile(one, "J"), "0");
    EXPECT_TRUE(FullTiles(two));
    EXPECT_GT(Rows(one).size(), 1u);
    EXPECT_EQ(Rows(two), std::vector<std::string>{"JINX/18"});
    EXPECT_FALSE(Box(two, "cb_specialSpaces")->Value());
    EXPECT_TRUE(Get<TalloCalc::rb_alphabet>(two, "rb_alphabet", 0)->Value());
}

} // namespace

TEST_F(Calculate, AListedWordKeepsTheSelectedRow) {
    TalloCalc* w = Open();
    Enter(w, "cat");
    Enter(w, "dog");
    auto* list = Get<fw::Listbox>(w, "lbox_wordValue");
    list->selectRow(0);
    Enter(w, "quiz");
    EXPECT_EQ(list->ListIndex(), 0);
    EXPECT_EQ(Rows(w).size(), 3u);
}
