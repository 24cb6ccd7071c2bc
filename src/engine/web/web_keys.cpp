#include "engine/web/web_keys.h"

#include <cstring>

namespace {

struct CodeKey {
    const char* code;
    int key;
};

// The same numbering as the desktop's scancode table.
const CodeKey kKeys[] = {
    {"Enter", 13},         {"NumpadEnter", 13},   {"Escape", 27},       {"Backspace", 8},
    {"Tab", 9},            {"Space", 32},         {"Minus", 189},       {"Equal", 187},
    {"BracketLeft", 219},  {"BracketRight", 221}, {"Backslash", 220},   {"Semicolon", 186},
    {"Quote", 222},        {"Backquote", 192},    {"Comma", 188},       {"Period", 190},
    {"Slash", 191},        {"CapsLock", 20},      {"PrintScreen", 44},  {"ScrollLock", 145},
    {"Pause", 19},         {"Insert", 45},        {"Home", 36},         {"PageUp", 33},
    {"Delete", 46},        {"End", 35},           {"PageDown", 34},     {"ArrowRight", 39},
    {"ArrowLeft", 37},     {"ArrowDown", 40},     {"ArrowUp", 38},      {"NumLock", 144},
    {"NumpadDivide", 111}, {"NumpadMultiply", 106}, {"NumpadSubtract", 109},
    {"NumpadAdd", 107},    {"Numpad0", 96},       {"NumpadDecimal", 110},
    {"IntlBackslash", 226}, {"ContextMenu", 93},   {"ControlLeft", 17},  {"ControlRight", 17},
    {"ShiftLeft", 16},     {"ShiftRight", 16},    {"AltLeft", 18},      {"AltRight", 18},
    {"MetaLeft", 91},      {"MetaRight", 92},     {"OSLeft", 91},       {"OSRight", 92},
};

bool starts_with(const char* s, const char* prefix, size_t* rest) {
    size_t n = std::strlen(prefix);
    if (std::strncmp(s, prefix, n) != 0) return false;
    *rest = n;
    return true;
}

// The number that follows a prefix ("F12" -> 12), or -1.
int number_after(const char* s, size_t from) {
    const char* p = s + from;
    if (*p < '0' || *p > '9') return -1;
    int v = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9' || v > 100) return -1;
        v = v * 10 + (*p - '0');
    }
    return v;
}

} // namespace

int key_from_dom_code(const char* code) {
    if (!code || !*code) return 0;
    size_t n = 0;
    if (starts_with(code, "Key", &n) && code[n] >= 'A' && code[n] <= 'Z' && code[n + 1] == '\0')
        return code[n];
    if (starts_with(code, "Digit", &n) && code[n] >= '0' && code[n] <= '9' && code[n + 1] == '\0')
        return code[n];
    if (starts_with(code, "Numpad", &n) && code[n] >= '1' && code[n] <= '9' && code[n + 1] == '\0')
        return 97 + (code[n] - '1');
    if (code[0] == 'F') {
        int f = number_after(code, 1);
        if (f >= 1 && f <= 24) return 111 + f;
    }
    for (const CodeKey& k : kKeys)
        if (std::strcmp(k.code, code) == 0) return k.key;
    return 0;
}

int letter_from_dom_key(const char* key) {
    if (!key || !key[0] || key[1] != '\0') return 0;
    char c = key[0];
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c;
    return 0;
}

bool browser_keeps_key(int key) {
    return key == 116 /* F5 */ || key == 122 /* F11 */ || key == 123 /* F12 */;
}
