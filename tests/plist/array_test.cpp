#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <vector>

namespace {

class Arrays : public PlistTest {
protected:
    void SetUp() override {
        PlistTest::SetUp();
        doc_ = NewDocument();
        doc_->root->AddArray("a");
        array_ = doc_->root->child("a");
    }
    // "key=type:value" for every element, in key order.
    std::vector<std::string> Elements() const {
        std::vector<std::string> out;
        for (std::int32_t i = 0; i < array_->types.Count(); ++i) {
            const std::string& key = array_->types.Key(i);
            std::string text = key + "=" + array_->types.ValueAt(i);
            if (const std::string* v = array_->values.Find(key)) {
                text += ":" + *v;
            }
            out.push_back(text);
        }
        return out;
    }
    std::unique_ptr<plist> doc_;
    plistDict* array_ = nullptr;
};

} // namespace

TEST_F(Arrays, AppendNumbersElementsFromZero) {
    array_->AppendString("a");
    array_->AppendInteger(-7);
    EXPECT_EQ(array_->indexOf, 1);
    EXPECT_FALSE(doc_->error);
    array_->AppendBoolean(false);
    array_->AppendDouble(0.5);
    array_->AppendData("AAEC");
    array_->AppendDate(fw::Date::FromUTC({2024, 3, 7, 9, 5, 3}));
    array_->AppendDict();
    array_->AppendArray();
    EXPECT_EQ(Elements(), (std::vector<std::string>{
                              "0=string:a", "1=integer:-7", "2=boolean:false", "3=double:0.5",
                              "4=data:AAEC", "5=date:2024-03-07T09:05:03Z", "6=dict", "7=array"}));
    ASSERT_NE(array_->index(6), nullptr);
    EXPECT_FALSE(array_->index(6)->IsArray());
    EXPECT_TRUE(array_->index(7)->IsArray());
    EXPECT_EQ(array_->index(7)->name, "7");
    EXPECT_EQ(array_->index(7)->parent, array_);

    array_->index(7)->AppendString("inner");
    EXPECT_EQ(array_->index(7)->values.Value("0"), "inner");
    array_->index(6)->AppendString("refused");
    EXPECT_EQ(doc_->errorMessage, "Not an array");
    EXPECT_EQ(array_->index(6)->count(), 0);

    doc_->root->AppendString("x");
    EXPECT_TRUE(doc_->error);
    EXPECT_EQ(doc_->errorMessage, "Not an array");
    EXPECT_FALSE(doc_->root->Exists("0"));
}

TEST_F(Arrays, RemoveRenumbersAndKeepsOrder) {
    array_->AppendString("a");
    array_->AppendString("b");
    array_->AppendString("c");
    array_->Remove(1);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"0=string:a", "1=string:c"}));

    array_->AppendString("d");
    array_->AppendString("e");
    array_->Remove(0);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"0=string:c", "1=string:d", "2=string:e"}));
    array_->Remove(2);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"0=string:c", "1=string:d"}));
    EXPECT_FALSE(doc_->error);

    array_->Remove(2);
    EXPECT_EQ(doc_->errorMessage, "Subscript out of range");
    array_->Remove(-1);
    EXPECT_EQ(doc_->errorMessage, "Subscript out of range");
    array_->Remove("1"); // text that reads as a number is an index
    EXPECT_EQ(Elements(), (std::vector<std::string>{"0=string:c"}));
    array_->Remove(0);
    array_->Remove(0);
    EXPECT_EQ(doc_->errorMessage, "Subscript out of range");
}

TEST_F(Arrays, RemoveMovesChildNodesWithTheirKeys) {
    array_->AppendDict();
    array_->AppendString("s");
    array_->AppendDict();
    plistDict* second = array_->index(2);
    second->SetString("mark", "2");
    array_->Remove(0);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"0=string:s", "1=dict"}));
    EXPECT_EQ(array_->index(1), second);
    EXPECT_EQ(second->name, "1");
    EXPECT_EQ(array_->index(2), nullptr);
    EXPECT_EQ(array_->ChildCount(), 1);
    // And it is written where it now stands.
    const std::string text = Saved(*doc_);
    EXPECT_NE(text.find("\t\t<string>s</string>\n\t\t<dict>\n\t\t\t<key>mark</key>"),
              std::string::npos)
        << text;
}

TEST_F(Arrays, RemoveByKeyOnADictionary) {
    plistDict& root = *doc_->root;
    root.AddChild("Version");
    root.child("Version")->SetString("Schema", "1");
    root.SetString("other", "x");
    doc_->error = true;
    root.Remove("2");
    EXPECT_EQ(doc_->errorMessage, "Not an array");
    EXPECT_EQ(root.count(), 3);

    doc_->error = false;
    root.Remove("missing");
    EXPECT_EQ(root.count(), 3);
    root.Remove("Version");
    EXPECT_FALSE(root.Exists("Version"));
    EXPECT_EQ(root.count(), 2);
    EXPECT_EQ(root.ChildCount(), 1); // the array "a" stays
    EXPECT_EQ(root.ChildNameAt(0), "a");
    root.Remove("other");
    EXPECT_FALSE(root.values.HasKey("other"));
    EXPECT_FALSE(doc_->error);
}
