// The settings file in the browser: INI text read once through SimpleIni
// (the page's files never change while it runs).
#pragma once

#include <memory>
#include <string>

class WebIni {
  public:
    WebIni();
    ~WebIni();
    // Reads from this file from now on; an empty path means no file.
    void set_path(const std::string& path);
    // The raw value, or nullptr when the file, section or key is missing.
    // Section and key compare without case; the first of duplicate keys counts.
    const char* find(const char* section, const char* key);
    int get_int(const char* section, const char* key, int def);
    float get_float(const char* section, const char* key, float def);

  private:
    struct Data;
    std::string path_;
    bool loaded_ = false;
    std::unique_ptr<Data> data_;
    std::string value_; // the last value found, its comment cut off
};
