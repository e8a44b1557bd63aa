#include "orrery/core/config.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orrery {

namespace {

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t\r\n");
    std::string t = s.substr(a, b - a + 1);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
    return t;
}

std::string homeFolder(const char* xdgVariable, const char* fallback) {
    if (const char* xdg = std::getenv(xdgVariable); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + fallback;
}

}  // namespace

std::string Config::path() { return homeFolder("XDG_CONFIG_HOME", "/.config") + "/orrery/orrery.conf"; }

std::string Config::defaultVirtualFolder() {
    return homeFolder("XDG_DATA_HOME", "/.local/share") + "/orrery/virtual-qv10";
}

Config Config::load() {
    std::ifstream in(path());
    std::stringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

bool Config::store(const std::map<std::string, std::string>& values, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target = path();
    // Through a symbolic link to the file it names.
    if (fs::is_symlink(target, ec)) {
        fs::path link = fs::read_symlink(target, ec);
        if (!ec) target = link.is_absolute() ? link : target.parent_path() / link;
    }
    fs::create_directories(target.parent_path(), ec);
    std::ifstream in(target);
    std::string line, text;
    std::map<std::string, std::string> pending = values;
    while (std::getline(in, line)) {
        std::string content = line.substr(0, line.find('#'));
        size_t eq = content.find('=');
        std::string key = eq == std::string::npos ? std::string() : trim(content.substr(0, eq));
        auto it = values.find(key);
        if (!key.empty() && it != values.end()) {
            // The first line of a key takes the new value; later ones go.
            if (pending.count(key) && !it->second.empty()) text += key + " = " + it->second + "\n";
            pending.erase(key);
            continue;
        }
        text += line + "\n";
    }
    for (const auto& [key, value] : pending)
        if (!value.empty()) text += key + " = " + value + "\n";
    in.close();
    fs::path temp = target;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << text;
        if (!out.flush()) {
            out.close();
            fs::remove(temp, ec);
            error = "cannot write " + temp.string();
            return false;
        }
    }
    fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        error = "cannot replace " + target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

Config Config::parse(const std::string& text) {
    Config config;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        if (!key.empty()) config.values_[key] = trim(line.substr(eq + 1));
    }
    return config;
}

std::string Config::text(const std::string& key, const std::string& fallback) const {
    auto it = values_.find(key);
    return it == values_.end() || it->second.empty() ? fallback : it->second;
}

int Config::number(const std::string& key, int fallback) const {
    std::string value = text(key);
    if (value.empty()) return fallback;
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    return end && *end == 0 ? int(n) : fallback;
}

bool Config::flag(const std::string& key) const {
    std::string v = text(key);
    return v == "1" || v == "yes" || v == "true" || v == "on";
}

}  // namespace orrery
