#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <vector>

namespace {

using Node = PlistTest;

std::vector<std::string> WalkKeys(plistDict& node) {
    std::vector<std::string> keys;
    node.MoveFirst();
    while (!node.eof) {
        keys.push_back(node.CurrentKey());
        node.MoveNext();
    }
    return keys;
}

} // namespace

TEST_F(Node, ANewNodeIsEmpty) {
    plistDict node;
    EXPECT_EQ(node.count(), 0);
    EXPECT_FALSE(node.Exists("a"));
    EXPECT_EQ(node.index(0), nullptr);
    EXPECT_EQ(node.indexOf, -1);
    EXPECT_FALSE(node.IsArray());
    node.MoveFirst();
    EXPECT_EQ(node.CurrentKey(), "");
    EXPECT_TRUE(node.eof);
    node.MoveLast(); // -1 on an empty node: the next key is none, not a crash
    EXPECT_EQ(node.CurrentKey(), "");
    EXPECT_EQ(node.currentIndex, 0);
    EXPECT_EQ(node.GetType("missing"), "");
}

TEST_F(Node, ChildCreatesOnceAndRefusesScalarKeys) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    doc->error = true;
    plistDict* version = root.child("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(root.GetType("Version"), "dict");
    EXPECT_FALSE(root.values.HasKey("Version"));
    EXPECT_EQ(root.count(), 1);
    EXPECT_EQ(version->name, "Version");
    EXPECT_EQ(version->parent, &root);
    EXPECT_EQ(version->Document(), doc.get());
    EXPECT_FALSE(doc->error); // creating clears

    doc->error = true;
    EXPECT_EQ(root.child("Version"), version); // finding clears nothing
    EXPECT_TRUE(doc->error);
    EXPECT_EQ(root.child("version"), version); // letter case is ignored
    EXPECT_EQ(root.count(), 1);

    root.SetString("Name", "x");
    EXPECT_EQ(root.child("Name"), nullptr);
    EXPECT_EQ(doc->errorMessage, "Child exists: Name already exists");
    EXPECT_EQ(root.GetType("Name"), "string");

    EXPECT_TRUE(root.AddArray("list"));
    EXPECT_FALSE(root.AddArray("list"));
    EXPECT_EQ(doc->errorMessage, "Array exists: list already exists");
    root.AddChild("list");
    EXPECT_EQ(doc->errorMessage, "Child exists: list already exists");
    EXPECT_EQ(root.count(), 3);
}

TEST_F(Node, ExactLetterCaseWinsOverAnEarlierCaseVariant) {
    plistDict node;
    node.AddChild("version");
    node.AddChild("Version");
    EXPECT_EQ(node.count(), 2);
    EXPECT_EQ(node.child("Version"), node.ChildAt(1));
    EXPECT_EQ(node.child("VERSION"), node.ChildAt(0));
}

TEST_F(Node, CursorWalksKeysInStoredOrder) {
    plistDict node;
    node.SetString("a", "1");
    node.AddChild("b");
    node.SetBoolean("c", true);
    EXPECT_EQ(WalkKeys(node), (std::vector<std::string>{"a", "b", "c"}));
    node.MoveFirst();
    node.MoveNext();
    node.MoveNext();
    EXPECT_EQ(node.CurrentKey(), "c");
    node.MoveNext();
    EXPECT_TRUE(node.eof);
    EXPECT_EQ(node.currentIndex, 0);
    node.MoveLast();
    EXPECT_EQ(node.currentIndex, 2);
    EXPECT_TRUE(node.eof);
    node.currentIndex = -5;
    EXPECT_EQ(node.CurrentKey(), "");
}

TEST_F(Node, NodesWithoutADocumentReportNothing) {
    plistDict node;
    node.SetString("s", "x");
    EXPECT_EQ(node.child("s"), nullptr);
    plistDict* c = node.child("c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Document(), nullptr);
    c->AppendString("x"); // not an array: refused, and nobody to tell
    EXPECT_EQ(c->count(), 0);
}

TEST_F(Node, IndexFindsArrayChildrenByNumber) {
    auto doc = NewDocument();
    ASSERT_TRUE(doc->root->AddArray("a"));
    plistDict& a = *doc->root->child("a");
    a.AppendDict();
    a.AppendString("s");
    a.AppendDict();
    EXPECT_EQ(a.index(2), a.ChildAt(1));
    EXPECT_EQ(a.index(1), nullptr);
    EXPECT_EQ(a.index(-1), nullptr);
}

TEST_F(Node, DeepTreesAreTornDownWithoutRecursion) {
    auto root = std::make_unique<plistDict>();
    plistDict* node = root.get();
    for (int i = 0; i < 200000; ++i) {
        node = node->child("c");
    }
    root.reset(); // would overflow the stack if destruction recursed
    SUCCEED();
}
