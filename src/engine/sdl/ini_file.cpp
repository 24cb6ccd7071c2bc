#include "engine/sdl/ini_file.h"

#include <ini.h>
#include <sys/stat.h>

#include <cctype>

namespace {

void append_lower(std::string& out, const char* text) {
    for (const char* p = text; *p; ++p)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
}

void make_key(std::string& out, const char* section, const char* key) {
    out.clear();
    append_lower(out, section);
    out += '\n';
    append_lower(out, key);
}

int on_value(void* user, const char* section, const char* name, const char* value) {
    auto* values = static_cast<std::map<std::string, std::string>*>(user);
    std::string key;
    make_key(key, section, name);
    values->emplace(key, value); // keeps the first, as Windows INI readers do
    return 1;
}

} // namespace

void IniFile::set_path(const std::string& path) {
    path_ = path;
    loaded_ = false;
    values_.clear();
}

void IniFile::refresh() {
    struct stat st;
    if (path_.empty() || stat(path_.c_str(), &st) != 0) {
        values_.clear();
        loaded_ = false;
        return;
    }
    int64_t mtime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (loaded_ && mtime == mtime_ns_ && static_cast<int64_t>(st.st_size) == size_) return;
    values_.clear();
    ini_parse(path_.c_str(), on_value, &values_); // lines it cannot read are skipped
    loaded_ = true;
    mtime_ns_ = mtime;
    size_ = static_cast<int64_t>(st.st_size);
}

const char* IniFile::find(const char* section, const char* key) {
    if (!section || !key) return nullptr;
    refresh();
    make_key(lookup_, section, key);
    auto it = values_.find(lookup_);
    return it == values_.end() ? nullptr : it->second.c_str();
}

int IniFile::get_int(const char* section, const char* key, int def) {
    const char* text = find(section, key);
    int v;
    return text && parse_ini_int(text, &v) ? v : def;
}

float IniFile::get_float(const char* section, const char* key, float def) {
    const char* text = find(section, key);
    float v;
    return text && parse_ini_float(text, &v) ? v : def;
}
