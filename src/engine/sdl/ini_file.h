// The settings file: INI text read through inih, cached, re-read when it changes.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/ini_values.h"

class IniFile {
  public:
    // Reads from this file from now on; an empty path means no file.
    void set_path(const std::string& path);
    const std::string& path() const { return path_; }
    // The raw value, or nullptr when the file, section or key is missing.
    // Section and key compare without case; the first of duplicate keys counts.
    const char* find(const char* section, const char* key);
    int get_int(const char* section, const char* key, int def);
    float get_float(const char* section, const char* key, float def);

  private:
    void refresh();

    std::string path_;
    bool loaded_ = false;
    int64_t mtime_ns_ = 0;
    int64_t size_ = -1;
    std::map<std::string, std::string> values_; // "section\nkey" in lower case -> value
    std::string lookup_;                        // reused key buffer
};
