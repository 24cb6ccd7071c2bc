#include "support/json.h"

#include <cctype>
#include <cstdlib>

namespace {

const Json NULL_JSON;

struct Parser {
    const std::string& s;
    size_t i = 0;

    void space() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    }
    bool literal(const char* word) {
        size_t n = std::char_traits<char>::length(word);
        if (s.compare(i, n, word) != 0) return false;
        i += n;
        return true;
    }
    bool string(std::string& out) {
        if (i >= s.size() || s[i] != '"') return false;
        ++i;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c == '\\') {
                if (i >= s.size()) return false;
                char e = s[i++];
                if (e == 'u') {
                    if (i + 4 > s.size()) return false;
                    out += static_cast<char>(std::strtol(s.substr(i, 4).c_str(), nullptr, 16));
                    i += 4;
                } else {
                    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
            } else {
                out += c;
            }
        }
        if (i >= s.size()) return false;
        ++i;
        return true;
    }
    bool value(Json& out) {
        space();
        if (i >= s.size()) return false;
        char c = s[i];
        if (c == '{') {
            out.type = Json::OBJECT;
            ++i;
            space();
            if (i < s.size() && s[i] == '}') return ++i, true;
            while (true) {
                space();
                std::string key;
                if (!string(key)) return false;
                space();
                if (i >= s.size() || s[i++] != ':') return false;
                if (!value(out.fields[key])) return false;
                space();
                if (i < s.size() && s[i] == ',') { ++i; continue; }
                if (i < s.size() && s[i] == '}') return ++i, true;
                return false;
            }
        }
        if (c == '[') {
            out.type = Json::ARRAY;
            ++i;
            space();
            if (i < s.size() && s[i] == ']') return ++i, true;
            while (true) {
                out.items.emplace_back();
                if (!value(out.items.back())) return false;
                space();
                if (i < s.size() && s[i] == ',') { ++i; continue; }
                if (i < s.size() && s[i] == ']') return ++i, true;
                return false;
            }
        }
        if (c == '"') {
            out.type = Json::STRING;
            return string(out.text);
        }
        if (literal("true")) return out.type = Json::BOOL, out.boolean = true, true;
        if (literal("false")) return out.type = Json::BOOL, true;
        if (literal("null")) return out.type = Json::NUL, true;
        char* end = nullptr;
        out.number = std::strtod(s.c_str() + i, &end);
        if (end == s.c_str() + i) return false;
        i = static_cast<size_t>(end - s.c_str());
        out.type = Json::NUMBER;
        return true;
    }
};

} // namespace

const Json& Json::operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? NULL_JSON : it->second;
}

const Json& Json::operator[](size_t index) const {
    return index < items.size() ? items[index] : NULL_JSON;
}

bool parse_json(const std::string& text, Json& out) {
    Parser p{text};
    out = Json{};
    if (!p.value(out)) return false;
    p.space();
    return p.i == text.size();
}
