#include "engine/web/web_ini.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION // Debian's header keeps its definitions behind this
#include <SimpleIni.h>

#include <list>

#include "engine/ini_values.h"

struct WebIni::Data {
    CSimpleIniA ini{false, true}; // names without case; not UTF-8 checked; duplicates kept
};

WebIni::WebIni() : data_(new Data) {}
WebIni::~WebIni() = default;

void WebIni::set_path(const std::string& path) {
    if (path == path_) return;
    path_ = path;
    loaded_ = false;
}

const char* WebIni::find(const char* section, const char* key) {
    if (!section || !key) return nullptr;
    if (!loaded_) {
        data_->ini.Reset();
        // A missing or unreadable file leaves no values: every key takes its default.
        if (!path_.empty()) data_->ini.LoadFile(path_.c_str());
        loaded_ = true;
    }
    CSimpleIniA::TNamesDepend values;
    if (!data_->ini.GetAllValues(section, key, values) || values.empty()) return nullptr;
    // Windows INI readers take the first of duplicate keys.
    const CSimpleIniA::Entry* first = &values.front();
    for (const auto& v : values)
        if (v.nOrder < first->nOrder) first = &v;
    // As the desktop's reader: " ; ..." after a value is a comment.
    value_ = first->pItem;
    for (size_t i = 1; i < value_.size(); ++i) {
        if (value_[i] == ';' && (value_[i - 1] == ' ' || value_[i - 1] == '\t')) {
            value_.erase(i);
            break;
        }
    }
    while (!value_.empty() && (value_.back() == ' ' || value_.back() == '\t')) value_.pop_back();
    return value_.c_str();
}

int WebIni::get_int(const char* section, const char* key, int def) {
    const char* text = find(section, key);
    int v;
    return text && parse_ini_int(text, &v) ? v : def;
}

float WebIni::get_float(const char* section, const char* key, float def) {
    const char* text = find(section, key);
    float v;
    return text && parse_ini_float(text, &v) ? v : def;
}
