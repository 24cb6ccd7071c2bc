// A small JSON reader for the headless runner's dumps.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct Json {
    enum Type { NUL, BOOL, NUMBER, STRING, ARRAY, OBJECT } type = NUL;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    // Missing keys and indices give a null value.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](size_t index) const;
    bool has(const std::string& key) const { return fields.count(key) != 0; }
    size_t size() const { return type == ARRAY ? items.size() : fields.size(); }
    int as_int() const { return static_cast<int>(number); }
    float as_float() const { return static_cast<float>(number); }
};

// Parses one JSON text; false on a syntax error.
bool parse_json(const std::string& text, Json& out);
