#pragma once

#include "plist/plist.h"
#include "plist/plistDict.h"

#include <sstream>
#include <string>

// Compares two trees in everything the store holds: keys in order, type
// names, value texts (and whether there is one), child nodes with their keys
// and kinds. Returns the empty text when equal, else where they differ.
inline std::string CompareNodes(const plistDict& a, const plistDict& b, const std::string& path) {
    std::ostringstream diff;
    if (a.IsArray() != b.IsArray()) {
        return path + ": array vs dictionary";
    }
    if (a.types.Count() != b.types.Count()) {
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
        diff << path << ": " << a.ChildCount() << " vs " << b.ChildCount() << " children";
        return diff.str();
    }
    for (std::int32_t j = 0; j < a.ChildCount(); ++j) {
        if (a.ChildNameAt(j) != b.ChildNameAt(j)) {
            return path + ": child " + std::to_string(j) + " named '" + a.ChildNameAt(j) +
                   "' vs '" + b.ChildNameAt(j) + "'";
        }
        std::string inner =
            CompareNodes(*a.ChildAt(j), *b.ChildAt(j), path + "/" + a.ChildNameAt(j));
        if (!inner.empty()) {
            return inner;
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
