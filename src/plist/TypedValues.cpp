// Typed access to the scalar entries of a node.
#include "framework/core/Strings.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

#include <cmath>

namespace {

bool IsNodeType(std::string_view type) {
    return fw::Equals(type, "dict") || fw::Equals(type, "array");
}

} // namespace

namespace plistio {

std::string IntegerText(double value) {
    // No XML reader takes "inf" for an integer: the infinities are written
    // as the widest 64-bit integers, and not-a-number as 0.
    if (std::isinf(value)) {
        return value > 0 ? "9223372036854775807" : "-9223372036854775808";
    }
    return fw::Format(value, "-#");
}

std::string RealText(double value) {
    if (value == 0.0 && std::signbit(value)) {
        return "-0.0";
    }
    return fw::Str(value);
}

} // namespace plistio

std::int32_t plistDict::CheckType(std::string_view key, std::string_view expected) const {
    SetError(false, "");
    const std::string* stored = types.Find(key);
    if (stored == nullptr) {
        return 2;
    }
    if (fw::Equals(*stored, expected)) {
        return 1;
    }
    SetError(true, "Type Mismatch: " + std::string(key) + " is a " + *stored);
    return 0;
}

bool plistDict::TypeOK(std::string_view key) const {
    const std::string type = types.Value(key);
    if (IsNodeType(type)) {
        SetError(true, "Illegal Type: " + std::string(key) + " is a " + type);
        return false;
    }
    return true;
}

std::string plistDict::MakeTwo(std::int32_t n) {
    return n >= 10 ? fw::Str(n) : "0" + fw::Str(n);
}

std::string plistDict::DateText(const fw::Date& date) const {
    // The text ends in "Z", universal time, so it carries the UTC fields.
    const fw::DateFields utc = date.UTC();
    return fw::Str(std::int32_t{utc.year}) + "-" + MakeTwo(utc.month) + "-" + MakeTwo(utc.day) +
           "T" + MakeTwo(utc.hour) + ":" + MakeTwo(utc.minute) + ":" + MakeTwo(utc.second) + "Z";
}

void plistDict::StoreScalar(std::string_view key, std::string_view type, std::string value) {
    if (entries_.SetScalar(key, type, std::move(value))) {
        // A scalar replacing a child entry takes the child node with it, so
        // no node is left without its entry.
        RemoveChildrenNamed(key);
    }
}

void plistDict::SetString(std::string_view key, std::string_view value) {
    if (CheckType(key, "string") != 0) {
        StoreScalar(key, "string", std::string(value));
    }
}

void plistDict::SetInteger(std::string_view key, double value) {
    if (CheckType(key, "integer") != 0) {
        StoreScalar(key, "integer", plistio::IntegerText(value));
    }
}

void plistDict::SetDouble(std::string_view key, double value) {
    if (CheckType(key, "real") != 0) {
        StoreScalar(key, "real", plistio::RealText(value));
    }
}

void plistDict::SetReal(std::string_view key, double value) {
    SetDouble(key, value);
}

void plistDict::SetBoolean(std::string_view key, bool value) {
    if (CheckType(key, "boolean") != 0) {
        StoreScalar(key, "boolean", value ? "true" : "false");
    }
    indexOf = -1;
}

void plistDict::SetDate(std::string_view key, const fw::Date& value) {
    if (CheckType(key, "date") != 0) {
        StoreScalar(key, "date", DateText(value));
    }
}

void plistDict::SetData(std::string_view key, std::string_view value) {
    StoreScalar(key, "data", std::string(value));
}

std::string plistDict::GetValue(std::string_view key, std::string_view defaultValue) {
    if (!types.HasKey(key)) {
        SetString(key, defaultValue);
    }
    SetError(false, "");
    if (const std::string* value = values.Find(key)) {
        return TypeOK(key) ? *value : std::string();
    }
    SetError(true, "Key " + std::string(key) + " does not exist");
    return {};
}

std::string plistDict::GetString(std::string_view key, std::string_view defaultValue) {
    return GetValue(key, defaultValue);
}

std::string plistDict::GetData(std::string_view key, std::string_view defaultValue) {
    return GetValue(key, defaultValue);
}

// What the numeric getters read once a missing key holds its default: 0 for
// an entry of another type, -1 for a date, else the number of its text.
double plistDict::ReadNumber(std::string_view key) {
    if (!TypeOK(key)) {
        return 0.0;
    }
    if (fw::Equals(types.Value(key), "date")) {
        SetError(true, "Type Mismatch: " + std::string(key) + " is a date");
        return -1.0;
    }
    return fw::CDbl(GetValue(key));
}

std::int32_t plistDict::GetInteger(std::string_view key, std::int32_t defaultValue) {
    if (!types.HasKey(key)) {
        SetInteger(key, defaultValue);
    }
    return fw::ToInt32(ReadNumber(key));
}

double plistDict::GetDouble(std::string_view key, double defaultValue) {
    if (!types.HasKey(key)) {
        SetDouble(key, defaultValue);
    }
    return ReadNumber(key);
}

double plistDict::GetReal(std::string_view key, double defaultValue) {
    return GetDouble(key, defaultValue);
}

bool plistDict::GetBoolean(std::string_view key, bool defaultValue) {
    if (!types.HasKey(key)) {
        SetBoolean(key, defaultValue);
    }
    const std::string type = types.Value(key);
    if (!fw::Equals(type, "boolean")) {
        SetError(true, "Type Mismatch: " + std::string(key) + " is a " + type);
        return false;
    }
    // An earlier report stays standing: reading a Boolean clears nothing.
    const std::string* value = values.Find(key);
    return value != nullptr && fw::Equals(*value, "true");
}

std::optional<fw::Date> plistDict::GetDate(std::string_view key) {
    return GetDate(key, fw::Date::Now());
}

std::optional<fw::Date> plistDict::GetDate(std::string_view key, const fw::Date& defaultValue) {
    if (!types.HasKey(key)) {
        SetDate(key, defaultValue);
    }
    if (!TypeOK(key)) {
        return std::nullopt;
    }
    fw::Date result = fw::Date::Now();
    const std::string text = GetValue(key);
    std::string_view datePart = text;
    std::string_view timePart;
    bool universal = false;
    if (const std::size_t t = text.find('T'); t != std::string::npos) {
        datePart = std::string_view(text).substr(0, t);
        timePart = std::string_view(text).substr(t + 1);
        if (timePart.ends_with('Z')) {
            timePart.remove_suffix(1);
            universal = true;
        }
    }
    const std::string monthDayYear = fw::NthField(datePart, "-", 2) + "/" +
                                     fw::NthField(datePart, "-", 3) + "/" +
                                     fw::NthField(datePart, "-", 1);
    if (!fw::ParseDate(monthDayYear, result)) {
        SetError(true, "Could not create date object from " + std::string(key) + "(" + text + ")");
        return result;
    }
    if (!timePart.empty()) {
        result.SetHour(fw::ToInt32(fw::CDbl(fw::NthField(timePart, ":", 1))));
        result.SetMinute(fw::ToInt32(fw::CDbl(fw::NthField(timePart, ":", 2))));
        result.SetSecond(fw::ToInt32(fw::CDbl(fw::NthField(timePart, ":", 3))));
    }
    if (universal) {
        result = fw::Date::FromUTC(result.Local());
    }
    return result;
}
