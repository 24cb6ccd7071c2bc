#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "engine/ini_values.h"

namespace {

bool only_spaces(const char* p) {
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return *p == '\0';
}

} // namespace

bool parse_ini_int(const char* text, int* out) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
    if (!std::isdigit(static_cast<unsigned char>(*digits))) return false; // no hex, no "0x"
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(p, &end, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX || !only_spaces(end)) return false;
    *out = static_cast<int>(v);
    return true;
}

bool parse_ini_float(const char* text, float* out) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    errno = 0;
    float v = std::strtof(p, &end);
    if (end == p || !only_spaces(end) || !std::isfinite(v)) return false;
    *out = v; // an underflow to a tiny value or 0 is still the number written
    return true;
}
