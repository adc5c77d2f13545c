#include "PlistTestSupport.h"
#include "framework/core/Strings.h"
#include "plist/plistDict.h"
#include "support/ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>

namespace {

class Values : public PlistTest {
protected:
    void SetUp() override {
        PlistTest::SetUp();
        doc_ = NewDocument();
        doc_->error = false;
        doc_->errorMessage.clear();
    }
    plistDict& root() { return *doc_->root; }
    void ExpectError(const std::string& message) {
        EXPECT_TRUE(doc_->error);
        EXPECT_EQ(doc_->errorMessage, message);
    }
    void ExpectNoError() { EXPECT_FALSE(doc_->error) << doc_->errorMessage; }
    std::unique_ptr<plist> doc_;
};

// MakeTwo is protected; this exposes it.
struct TwoDigits : plistDict {
    using plistDict::MakeTwo;
};

} // namespace

TEST_F(Values, GetBooleanStoresItsDefaultAndLeavesEarlierErrors) {
    root().SetString("first", "x");
    EXPECT_TRUE(root().GetBoolean("EnableBlanks", true));
    EXPECT_EQ(root().types.Key(1), "EnableBlanks");
    EXPECT_EQ(root().GetType("EnableBlanks"), "boolean");
    EXPECT_EQ(root().values.Value("EnableBlanks"), "true");
    ExpectNoError();
    EXPECT_TRUE(root().GetBoolean("keyOnly")); // the key-only default is True
    EXPECT_FALSE(root().GetBoolean("off", false));
    EXPECT_FALSE(root().GetBoolean("off", true)); // stored now

    EXPECT_FALSE(root().GetBoolean("first"));
    ExpectError("Type Mismatch: first is a string");
    EXPECT_EQ(root().GetType("first"), "string");
    // Reading a stored Boolean keeps the earlier report standing.
    EXPECT_TRUE(root().GetBoolean("EnableBlanks"));
    ExpectError("Type Mismatch: first is a string");

    root().values.Remove("EnableBlanks"); // as a damaged file can leave it
    EXPECT_FALSE(root().GetBoolean("EnableBlanks"));
}

TEST_F(Values, SettersCheckTheStoredType) {
    root().indexOf = 5;
    root().SetString("s", "text");
    root().SetBoolean("s", true);
    ExpectError("Type Mismatch: s is a string");
    EXPECT_EQ(root().values.Value("s"), "text");
    EXPECT_EQ(root().indexOf, -1); // set even when refused

    EXPECT_EQ(root().GetString("s"), "text");
    root().SetBoolean("b", false);
    root().SetString("b", "x");
    ExpectError("Type Mismatch: b is a boolean");

    root().SetInteger("i", 42);
    EXPECT_EQ(root().values.Value("i"), "42");
    EXPECT_EQ(root().GetType("i"), "integer");
    EXPECT_EQ(root().GetInteger("i"), 42);
    EXPECT_EQ(root().GetDouble("i"), 42.0);
    root().SetInteger("i", -7.6);
    EXPECT_EQ(root().values.Value("i"), "-8");
    root().SetDouble("i", 1.5);
    ExpectError("Type Mismatch: i is a integer");
    root().SetReal("i", 1.5);
    ExpectError("Type Mismatch: i is a integer");

    root().SetDouble("r", 0.25);
    root().SetReal("r", 2.5);
    ExpectNoError();
    EXPECT_EQ(root().GetReal("r"), 2.5);
    EXPECT_EQ(root().GetType("r"), "real");

    // An existing key keeps its place when it is stored again.
    root().SetString("s", "again");
    EXPECT_EQ(root().types.Key(0), "s");
    EXPECT_EQ(root().count(), 4);
}

TEST_F(Values, SetDataOverwritesWithoutChecks) {
    root().SetBoolean("b", true);
    doc_->error = true;
    doc_->errorMessage = "earlier";
    root().SetData("b", "AAEC");
    EXPECT_EQ(root().GetType("b"), "data");
    EXPECT_EQ(root().values.Value("b"), "AAEC");
    ExpectError("earlier");

    // Over a child entry the child goes with it.
    root().AddChild("d");
    root().SetData("d", "x");
    EXPECT_EQ(root().ChildCount(), 0);
    EXPECT_EQ(root().GetData("d"), "x");
    // A missing key is stored as a string.
    EXPECT_EQ(root().GetData("new", "AB"), "AB");
    EXPECT_EQ(root().GetType("new"), "string");
}

TEST_F(Values, GettersOnOtherKinds) {
    root().AddChild("dict");
    root().SetDate("when", fw::Date::FromLocal({2024, 3, 7, 9, 5, 3}));

    EXPECT_EQ(root().GetInteger("when"), -1);
    ExpectError("Type Mismatch: when is a date");
    EXPECT_EQ(root().GetDouble("when"), -1.0);
    ExpectError("Type Mismatch: when is a date");

    EXPECT_EQ(root().GetInteger("dict"), 0);
    ExpectError("Illegal Type: dict is a dict");
    EXPECT_EQ(root().GetReal("dict"), 0.0);
    EXPECT_EQ(root().GetValue("dict"), "");
    ExpectError("Key dict does not exist");
    EXPECT_FALSE(root().GetBoolean("dict"));
    ExpectError("Type Mismatch: dict is a dict");
    EXPECT_FALSE(root().GetDate("dict").has_value());
    ExpectError("Illegal Type: dict is a dict");

    root().SetBoolean("flag", true);
    EXPECT_EQ(root().GetInteger("flag"), 0); // the number of "true"
    root().SetString("big", "99999999999");
    EXPECT_EQ(root().GetInteger("big"), 2147483647);
    root().SetString("nan", "nan");
    EXPECT_EQ(root().GetInteger("nan"), 0);

    EXPECT_EQ(root().GetInteger("newInt", -3), -3);
    EXPECT_EQ(root().values.Value("newInt"), "-3");
    EXPECT_EQ(root().GetDouble("newReal", 0.5), 0.5);
    EXPECT_EQ(root().GetType("newReal"), "real");
    EXPECT_EQ(root().GetValue("newText", "d"), "d");
    EXPECT_EQ(root().GetType("newText"), "string");
}

TEST_F(Values, DatesAreWrittenAndReadInUniversalTime) {
    EXPECT_EQ(TwoDigits::MakeTwo(0), "00");
    EXPECT_EQ(TwoDigits::MakeTwo(7), "07");
    EXPECT_EQ(TwoDigits::MakeTwo(10), "10");
    {
        ScopedTimeZone utc("UTC");
        const fw::Date when = fw::Date::FromLocal({2024, 3, 7, 9, 5, 3});
        root().SetDate("d", when);
        EXPECT_EQ(root().values.Value("d"), "2024-03-07T09:05:03Z");
        std::optional<fw::Date> back = root().GetDate("d");
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, when);
        ExpectNoError();
    }
    // In another zone the text carries the universal fields and reads back
    // as the same moment.
    ScopedTimeZone central("CET-1CEST,M3.5.0,M10.5.0/3");
    const fw::Date local = fw::Date::FromLocal({2024, 7, 1, 12, 0, 0});
    root().SetDate("summer", local);
    EXPECT_EQ(root().values.Value("summer"), "2024-07-01T10:00:00Z");
    EXPECT_EQ(*root().GetDate("summer"), local);
    // A text without "Z" is local time; one without time is midnight.
    root().SetString("plain", "2024-07-01T12:00:00");
    EXPECT_EQ(*root().GetDate("plain"), local);
    root().SetString("day", "2024-07-01");
    EXPECT_EQ(*root().GetDate("day"), fw::Date::FromLocal({2024, 7, 1, 0, 0, 0}));

    root().SetString("bad", "soon");
    root().GetDate("bad");
    ExpectError("Could not create date object from bad(soon)");

    const fw::Date fallback = fw::Date::FromLocal({2001, 2, 3, 4, 5, 6});
    EXPECT_EQ(*root().GetDate("missing", fallback), fallback);
    EXPECT_EQ(root().GetType("missing"), "date");

    // The hour repeated when summer time ends, and before 1970.
    {
        ScopedTimeZone york("America/New_York");
        root().SetDate("repeated", fw::Date::FromUTC({2024, 11, 3, 6, 30, 0}));
        EXPECT_EQ(root().values.Value("repeated"), "2024-11-03T06:30:00Z");
        root().SetDate("again", *root().GetDate("repeated"));
        EXPECT_EQ(root().values.Value("again"), "2024-11-03T06:30:00Z");
    }
    ScopedTimeZone berlin("Europe/Berlin");
    root().SetDate("early", fw::Date::FromUTC({1969, 12, 31, 23, 59, 59}));
    EXPECT_EQ(root().values.Value("early"), "1969-12-31T23:59:59Z");
}
