// A scratch copy of the game's data folder in which files can be broken:
// every shipped file is linked, a broken one is a real file of its own.
#pragma once

#include <string>

class DataCopy {
  public:
    // Links every file of the shipped folder into a fresh one under /tmp.
    explicit DataCopy(const std::string& shipped);
    // Removes the folder and everything in it.
    ~DataCopy();
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;

    // The copy's folder, for --data.
    const std::string& dir() const { return dir_; }
    // A file of the copy.
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    // The shipped file's bytes.
    std::string shipped_bytes(const std::string& name) const;
    // The file is missing from the copy.
    void remove(const std::string& name) const;
    // Replaces the file (link or not) by these bytes.
    void write(const std::string& name, const std::string& bytes) const;
    // The game's log in the copy, "" when nothing was logged.
    std::string log() const;

  private:
    std::string shipped_, dir_;
};

// Removes a folder and everything in it, read-only parts included.
void remove_tree(const std::string& dir);

// 20000 bytes of noise, the same every time.
std::string noise_bytes();

struct HeadlessRun {
    int status = -1;      // exit status, -1 when it did not exit normally
    std::string out, err; // what it printed
};

// Runs korvane-headless on the script with the data folder and seed given.
HeadlessRun run_headless(const std::string& headless, const std::string& script,
                         const std::string& data, int seed, const std::string& env = "");
