#pragma once

#include "plist/plist.h"
#include "plist/plistDict.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

// Compares two trees in everything the store holds: keys in order, type
// names, value texts (and whether there is one), child nodes with their keys
// and kinds (children of different keys may stand in any order). Returns the empty text when equal,
// else where they differ.
inline std::string CompareNodes(const plistDict& a, const plistDict& b, const std::string& path) {
    if (a.IsArray() != b.IsArray()) {
        return path + ": array vs dictionary";
    }
    if (a.types.Count() != b.types.Count()) {
        std::ostringstream diff;
        diff << path << ": " << a.types.Count() << " vs " << b.types.Count() << " entries";
        return diff.str();
    }
    for (std::int32_t i = 0; i < a.types.Count(); ++i) {
        const std::string& key = a.types.Key(i);
        if (key != b.types.Key(i)) {
            return path + ": key " + std::to_string(i) + " '" + key + "' vs '" + b.types.Key(i) +
                   "'";
        }
        if (a.types.ValueAt(i) != b.types.ValueAt(i)) {
            return path + "/" + key + ": type '" + a.types.ValueAt(i) + "' vs '" +
                   b.types.ValueAt(i) + "'";
        }
        const std::string* va = a.values.Find(key);
        const std::string* vb = b.values.Find(key);
        if ((va == nullptr) != (vb == nullptr) || (va != nullptr && *va != *vb)) {
            return path + "/" + key + ": value '" + (va ? *va : "<none>") + "' vs '" +
                   (vb ? *vb : "<none>") + "'";
        }
    }
    if (a.values.Count() != b.values.Count()) {
        return path + ": value counts differ";
    }
    if (a.ChildCount() != b.ChildCount()) {
        std::ostringstream diff;
        diff << path << ": " << a.ChildCount() << " vs " << b.ChildCount() << " children";
        return diff.str();
    }
    if (a.ChildCount() == 0) {
        return {};
    }
    // Children belong to their key; several under one key (from a file that
    // repeats it) keep their order among themselves.
    auto byName = [](const plistDict& node) {
        std::map<std::string, std::vector<const plistDict*>> children;
        for (std::int32_t j = 0; j < node.ChildCount(); ++j) {
            children[node.ChildNameAt(j)].push_back(node.ChildAt(j));
        }
        return children;
    };
    const auto childrenA = byName(a);
    const auto childrenB = byName(b);
    if (childrenA.size() != childrenB.size()) {
        return path + ": children under different keys";
    }
    for (const auto& [name, nodesA] : childrenA) {
        auto found = childrenB.find(name);
        if (found == childrenB.end() || found->second.size() != nodesA.size()) {
            return path + "/" + name + ": a different number of children";
        }
        for (std::size_t k = 0; k < nodesA.size(); ++k) {
            std::string inner = CompareNodes(*nodesA[k], *found->second[k], path + "/" + name);
            if (!inner.empty()) {
                return inner;
            }
        }
    }
    return {};
}

inline std::string CompareDocuments(const plist& a, const plist& b) {
    if (a.Headers() != b.Headers()) {
        return "header lines differ";
    }
    return CompareNodes(*a.root, *b.root, "");
}
