// A small JSON reader for checking trace lines in tests: objects, arrays, whole numbers, strings.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct JsonValue {
    enum Kind { NONE, NUMBER, STRING, ARRAY, OBJECT } kind = NONE;
    int64_t number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;
    std::vector<std::string> order; // field names as written

    // The field, or a NONE value when there is none (so a missing field fails the comparison, not the test
    // program).
    const JsonValue& operator[](const std::string& name) const;
    const JsonValue& operator[](size_t index) const;
    bool Has(const std::string& name) const { return fields.count(name) != 0; }
};

// False when the text is not one complete JSON value of the kinds above.
bool ParseJson(const std::string& text, JsonValue* value);
