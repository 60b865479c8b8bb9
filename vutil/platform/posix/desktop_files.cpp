// Readers of the freedesktop.org key files, MIME globs and Exec lines. Linear in
// the text; nothing here touches the file system.

#include "vutil/platform/posix/desktop_files.h"

#include <cctype>

namespace vutil::platform::posix {

namespace {

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

template <typename F>
void ForEachLine(std::string_view text, F&& f) {
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        f(text.substr(0, nl));
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

KeyFile ParseKeyFile(std::string_view text) {
    KeyFile groups;
    std::map<std::string, std::string>* current = nullptr;
    ForEachLine(text, [&](std::string_view line) {
        line = TrimView(line);
        if (line.empty() || line.front() == '#') return;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            current = close == std::string_view::npos ? nullptr : &groups[std::string(line.substr(1, close - 1))];
            return;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) return;
        std::string key(TrimView(line.substr(0, eq)));
        if (key.empty()) return;
        current->emplace(std::move(key), std::string(TrimView(line.substr(eq + 1))));
    });
    return groups;
}

std::string UnescapeValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\', out += value[i]; break;  // kept for the list splitter
        }
    }
    return out;
}

std::vector<std::string> SplitList(std::string_view value) {
    std::vector<std::string> items;
    std::string item;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == ';') {
            item += ';';
            ++i;
        } else if (value[i] == ';') {
            if (!item.empty()) items.push_back(std::move(item));
            item.clear();
        } else {
            item += value[i];
        }
    }
    if (!item.empty()) items.push_back(std::move(item));
    return items;
}

void MatchGlobs(std::string_view text, std::string_view extension, bool withWeights, GlobMatch& best) {
    ForEachLine(text, [&](std::string_view line) {
        line = TrimView(line);
        if (line.empty() || line.front() == '#') return;
        int weight = 50;
        if (withWeights) {
            std::size_t c = line.find(':');
            if (c == std::string_view::npos || c == 0 || c > 3) return;
            weight = 0;
            for (char d : line.substr(0, c)) {
                if (d < '0' || d > '9') return;
                weight = weight * 10 + (d - '0');
            }
            line.remove_prefix(c + 1);
        }
        std::size_t c = line.find(':');
        if (c == std::string_view::npos || c == 0) return;
        std::string_view type = line.substr(0, c);
        std::string_view glob = line.substr(c + 1);
        bool caseSensitive = false;
        if (std::size_t f = glob.find(':'); f != std::string_view::npos) {
            caseSensitive = glob.substr(f + 1).find("cs") != std::string_view::npos;
            glob = glob.substr(0, f);
        }
        if (glob.size() < 2 || glob[0] != '*' || glob.size() - 1 != extension.size()) return;
        glob.remove_prefix(1);
        for (std::size_t i = 0; i < glob.size(); ++i) {
            char g = glob[i];
            if (g == '*' || g == '?' || g == '[') return;  // only plain extensions answer
            if (caseSensitive ? g != extension[i] : Lower(g) != Lower(extension[i])) return;
        }
        if (weight > best.weight) {
            best.type = std::string(type);
            best.weight = weight;
        }
    });
}

std::vector<std::string> ExpandExec(std::string_view exec, const std::vector<std::string>& targets,
                                    std::string_view name, std::string_view icon, std::string_view entryFile) {
    std::vector<std::string> words;
    bool usedTargets = false;
    std::size_t i = 0;
    const std::size_t n = exec.size();
    while (true) {
        while (i < n && (exec[i] == ' ' || exec[i] == '\t')) ++i;
        if (i >= n) break;
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || (exec[i] != ' ' && exec[i] != '\t'))) {
            char c = exec[i++];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i < n) {
                word += exec[i++];
            } else {
                word += c;
            }
        }
        // A field code standing alone may turn into several words or none.
        if (word.size() == 2 && word[0] == '%') {
            switch (word[1]) {
                case 'f': case 'u':
                    if (!targets.empty()) words.push_back(targets.front());
                    usedTargets = true;
                    continue;
                case 'F': case 'U':
                    words.insert(words.end(), targets.begin(), targets.end());
                    usedTargets = true;
                    continue;
                case 'i':
                    if (!icon.empty()) words.push_back("--icon"), words.emplace_back(icon);
                    continue;
                default: break;
            }
        }
        std::string expanded;
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (word[k] != '%' || k + 1 == word.size()) {
                expanded += word[k];
                continue;
            }
            switch (word[++k]) {
                case '%': expanded += '%'; break;
                case 'c': expanded += name; break;
                case 'k': expanded += entryFile; break;
                default: break;  // deprecated and unknown codes are dropped
            }
        }
        if (!expanded.empty() || word.empty()) words.push_back(std::move(expanded));
    }
    if (!usedTargets) words.insert(words.end(), targets.begin(), targets.end());
    return words;
}

}  // namespace vutil::platform::posix
