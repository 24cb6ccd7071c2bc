// Replays one recording with korvane-headless and compares every dump it
// prints with the committed expected output; on a difference it names the
// first key that differs.
//
//   replay_check HEADLESS RECORDING EXPECTED [HEADLESS OPTION...]
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// A JSON text flattened into (path, scalar text) pairs in document order.
class Flattener {
  public:
    explicit Flattener(const std::string& text) : s_(text) {}
    bool run(std::vector<std::pair<std::string, std::string>>& out) {
        out_ = &out;
        if (!value("")) return false;
        skip();
        return pos_ == s_.size();
    }

  private:
    void skip() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool string_token(std::string& text) {
        size_t start = pos_++;
        while (pos_ < s_.size() && s_[pos_] != '"') pos_ += s_[pos_] == '\\' ? 2 : 1;
        if (pos_ >= s_.size()) return false;
        ++pos_;
        text = s_.substr(start, pos_ - start);
        return true;
    }
    bool value(const std::string& path) {
        skip();
        if (pos_ >= s_.size()) return false;
        char c = s_[pos_];
        if (c == '{' || c == '[') {
            ++pos_;
            char close = c == '{' ? '}' : ']';
            skip();
            if (pos_ < s_.size() && s_[pos_] == close) {
                ++pos_;
                out_->push_back({path, c == '{' ? "{}" : "[]"});
                return true;
            }
            for (int index = 0;; ++index) {
                std::string child = path + "[" + std::to_string(index) + "]";
                if (c == '{') {
                    skip();
                    std::string key;
                    if (pos_ >= s_.size() || s_[pos_] != '"' || !string_token(key)) return false;
                    child = path.empty() ? key.substr(1, key.size() - 2)
                                         : path + "." + key.substr(1, key.size() - 2);
                    skip();
                    if (pos_ >= s_.size() || s_[pos_++] != ':') return false;
                }
                if (!value(child)) return false;
                skip();
                if (pos_ < s_.size() && s_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < s_.size() && s_[pos_] == close) {
                    ++pos_;
                    return true;
                }
                return false;
            }
        }
        std::string token;
        if (c == '"') {
            if (!string_token(token)) return false;
        } else {
            size_t start = pos_;
            while (pos_ < s_.size() && s_[pos_] != ',' && s_[pos_] != '}' && s_[pos_] != ']' &&
                   !std::isspace(static_cast<unsigned char>(s_[pos_])))
                ++pos_;
            token = s_.substr(start, pos_ - start);
            if (token.empty()) return false;
        }
        out_->push_back({path, token});
        return true;
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::vector<std::pair<std::string, std::string>>* out_ = nullptr;
};

std::vector<std::string> json_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line[0] == '{') lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void explain(size_t index, const std::string& expected, const std::string& actual) {
    std::vector<std::pair<std::string, std::string>> want, got;
    if (!Flattener(expected).run(want) || !Flattener(actual).run(got)) {
        std::printf("dump %zu differs and is not readable JSON\n", index + 1);
        return;
    }
    for (size_t i = 0; i < want.size() || i < got.size(); ++i) {
        if (i < want.size() && i < got.size() && want[i] == got[i]) continue;
        if (i >= got.size()) {
            std::printf("dump %zu: key %s is missing\n", index + 1, want[i].first.c_str());
        } else if (i >= want.size()) {
            std::printf("dump %zu: unexpected key %s\n", index + 1, got[i].first.c_str());
        } else if (want[i].first != got[i].first) {
            std::printf("dump %zu: key %s expected, %s found\n", index + 1, want[i].first.c_str(),
                        got[i].first.c_str());
        } else {
            std::printf("dump %zu: first difference at %s: expected %s, got %s\n", index + 1,
                        want[i].first.c_str(), want[i].second.c_str(), got[i].second.c_str());
        }
        return;
    }
    std::printf("dump %zu differs in its spacing only\n", index + 1);
}

bool read_file(const std::string& name, std::string& text) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: replay_check HEADLESS RECORDING EXPECTED [OPTION...]\n");
        return 2;
    }
    std::string expected_text;
    if (!read_file(argv[3], expected_text)) {
        std::fprintf(stderr, "replay_check: cannot read %s\n", argv[3]);
        return 2;
    }
    std::string command = quoted(argv[1]) + " --script " + quoted(argv[2]);
    for (int i = 4; i < argc; ++i) command += " " + quoted(argv[i]);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        std::fprintf(stderr, "replay_check: cannot run %s\n", argv[1]);
        return 2;
    }
    std::string output;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
    int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("korvane-headless failed (status %d)\n", status);
        return 1;
    }
    std::vector<std::string> want = json_lines(expected_text), got = json_lines(output);
    if (want.empty()) {
        std::printf("%s holds no dump\n", argv[3]);
        return 1;
    }
    for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
        if (want[i] == got[i]) continue;
        explain(i, want[i], got[i]);
        return 1;
    }
    if (want.size() != got.size()) {
        std::printf("%zu dumps expected, %zu printed\n", want.size(), got.size());
        return 1;
    }
    std::printf("%zu dump(s) match\n", want.size());
    return 0;
}
