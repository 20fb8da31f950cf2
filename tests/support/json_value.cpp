// A small JSON reader for checking trace lines in tests: objects, arrays, whole numbers, strings.
#include "tests/support/json_value.h"

namespace {
const JsonValue missing;

struct Reader {
    const std::string& s;
    size_t at = 0;

    void Blanks() {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\t' || s[at] == '\r'))
            ++at;
    }
    bool Take(char c) {
        Blanks();
        if (at < s.size() && s[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    bool String(std::string* out) {
        if (!Take('"')) return false;
        while (at < s.size() && s[at] != '"') {
            if (s[at] == '\\') return false; // the trace never escapes anything
            *out += s[at++];
        }
        return Take('"');
    }
    bool Value(JsonValue* v, int depth) {
        if (depth > 20) return false;
        Blanks();
        if (at >= s.size()) return false;
        const char c = s[at];
        if (c == '{') {
            ++at;
            v->kind = JsonValue::OBJECT;
            if (Take('}')) return true;
            do {
                std::string name;
                JsonValue field;
                if (!String(&name) || !Take(':') || !Value(&field, depth + 1)) return false;
                if (v->fields.count(name)) return false;
                v->order.push_back(name);
                v->fields[name] = field;
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            ++at;
            v->kind = JsonValue::ARRAY;
            if (Take(']')) return true;
            do {
                JsonValue item;
                if (!Value(&item, depth + 1)) return false;
                v->items.push_back(item);
            } while (Take(','));
            return Take(']');
        }
        if (c == '"') {
            v->kind = JsonValue::STRING;
            return String(&v->text);
        }
        const bool negative = c == '-';
        if (negative) ++at;
        if (at >= s.size() || s[at] < '0' || s[at] > '9') return false;
        uint64_t n = 0;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9')
            n = n * 10 + static_cast<uint64_t>(s[at++] - '0');
        v->kind = JsonValue::NUMBER;
        v->number = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
        return true;
    }
};
} // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    const auto it = fields.find(name);
    return it == fields.end() ? missing : it->second;
}

const JsonValue& JsonValue::operator[](size_t index) const {
    return index < items.size() ? items[index] : missing;
}

bool ParseJson(const std::string& text, JsonValue* value) {
    *value = JsonValue{};
    Reader reader{text};
    if (!reader.Value(value, 0)) return false;
    reader.Blanks();
    return reader.at == text.size();
}
