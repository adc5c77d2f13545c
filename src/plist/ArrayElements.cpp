// A node used as an array, and the removal of entries.
#include "framework/core/Strings.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

#include <charconv>

namespace {

// The element index that a child key names, or -1 when the key is not the
// plain decimal text of an index.
std::int64_t IndexOfKey(std::string_view key) {
    std::int64_t value = -1;
    const char* end = key.data() + key.size();
    auto [ptr, ec] = std::from_chars(key.data(), end, value);
    if (ec != std::errc() || ptr != end || key.empty() || (key.size() > 1 && key[0] == '0')) {
        return -1;
    }
    return value;
}

} // namespace

bool plistDict::CheckArray() const {
    SetError(false, "");
    if (!isArray_) {
        SetError(true, "Not an array");
        return false;
    }
    return true;
}

void plistDict::Append(std::string_view type, std::string value) {
    if (!CheckArray()) {
        return;
    }
    indexOf = count();
    const std::string key = fw::Str(indexOf);
    if (type == "dict" || type == "array") {
        values.Remove(key);
        types.Set(key, std::string(type));
        AppendChildNode(key, type == "array");
    } else {
        StoreScalar(key, type, std::move(value));
    }
}

void plistDict::AppendInteger(std::int32_t value) {
    Append("integer", fw::Str(value));
}

void plistDict::AppendDict() {
    Append("dict", {});
}

void plistDict::AppendArray() {
    Append("array", {});
}

void plistDict::AppendBoolean(bool value) {
    Append("boolean", value ? "true" : "false");
}

void plistDict::AppendDouble(double value) {
    Append("double", plistio::RealText(value));
}

void plistDict::AppendString(std::string_view value) {
    Append("string", std::string(value));
}

void plistDict::AppendData(std::string_view value) {
    Append("data", std::string(value));
}

void plistDict::AppendDate(const fw::Date& value) {
    Append("date", DateText(value));
}

void plistDict::Remove(std::string_view keyOrIndex) {
    if (fw::IsNumeric(keyOrIndex)) {
        Remove(fw::ToInt32(fw::CDbl(keyOrIndex)));
        return;
    }
    // The key goes with its value and every child node stored under it, so
    // no entry is left without its node or node without its entry.
    values.Remove(keyOrIndex);
    types.Remove(keyOrIndex);
    RemoveChildrenNamed(keyOrIndex);
}

void plistDict::Remove(std::int32_t i) {
    if (!CheckArray()) {
        return;
    }
    const std::int32_t n = count();
    if (i < 0 || i > n - 1) {
        SetError(true, "Subscript out of range");
        return;
    }
    RemoveChildrenNamed(fw::Str(i));
    // Each later element moves down one key. The keys "0" to n - 2 keep their
    // places in the key order, so the elements stay in order.
    for (std::int32_t j = i + 1; j < n; ++j) {
        fw::BackgroundYield();
        const std::string from = fw::Str(j);
        const std::string to = fw::Str(j - 1);
        if (const std::string* type = types.Find(from)) {
            types.Set(to, *type);
        }
        if (const std::string* value = values.Find(from)) {
            values.Set(to, *value);
        } else {
            values.Remove(to);
        }
    }
    const std::string last = fw::Str(n - 1);
    types.Remove(last);
    values.Remove(last);

    bool renamed = false;
    for (ChildSlot& slot : children_) {
        fw::BackgroundYield();
        const std::int64_t at = slot.node ? IndexOfKey(slot.name) : -1;
        if (at > i && at < n) {
            slot.name = fw::Str(static_cast<std::int32_t>(at - 1));
            slot.hash = fw::HashText(slot.name);
            slot.node->name = slot.name;
            renamed = true;
        }
    }
    if (renamed) {
        CompactChildren();
    }
}
