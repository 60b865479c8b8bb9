#include "vutil/platform/settings_file_internal.h"

#include <algorithm>
#include <cstdio>

#include "vutil/platform/codepage.h"
#include "vutil/platform/settings.h"

namespace vutil::platform::settings {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && Fold(s.substr(0, prefix.size())) == Fold(prefix);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the quoted text at s[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    ++pos;
    while (pos < s.size()) {
        std::size_t stop = pos;
        while (stop < s.size() && s[stop] != '"' && s[stop] != '\\') ++stop;
        if (stop == s.size()) break;
        out.append(s.data() + pos, stop - pos);
        pos = stop + 1;
        if (s[stop] == '"') return true;
        if (pos < s.size() && (s[pos] == '\\' || s[pos] == '"')) out += s[pos++];
        else out += '\\';
    }
    return false;
}

// "a,0b, ff" -> bytes; an empty list is allowed, so is one trailing comma.
bool ReadHexList(std::string_view s, std::string& out) {
    s = TrimBlanks(s);
    while (!s.empty()) {
        std::size_t comma = s.find(',');
        std::string_view item = TrimBlanks(s.substr(0, comma));
        s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
        if (item.empty() && s.empty() && comma != std::string_view::npos) break;
        if (item.empty() || item.size() > 2) return false;
        int v = 0;
        for (char c : item) {
            int d = HexDigit(c);
            if (d < 0) return false;
            v = v * 16 + d;
        }
        out += static_cast<char>(v);
    }
    return true;
}

bool IsStringType(DWORD type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

struct Parser {
    Tree& tree;
    bool utf8 = true;     // texts in the file are UTF-8 (else Windows-1252 bytes)
    bool wide = true;     // string data in hex() forms is UTF-16LE (version 5.00)
    Key* current = nullptr;

    std::string Text(std::string_view s) const { return utf8 ? cp::Utf8ToCp1252(s) : std::string(s); }

    void Fail() { tree.clean = false; }

    void KeyLine(std::string_view line) {
        current = nullptr;
        std::size_t close = line.rfind(']');
        if (close == std::string_view::npos || TrimBlanks(line.substr(close + 1)).size() > 0) return Fail();
        std::string_view body = line.substr(1, close - 1);
        bool remove = !body.empty() && body.front() == '-';
        if (remove) body.remove_prefix(1);
        std::string path = Text(body);
        std::vector<std::string_view> parts;
        if (!SplitPath(path, parts) || parts.empty() || !StartsWithNoCase(parts[0], "HKEY_")) return Fail();
        Key* k = &tree.top;
        for (std::size_t i = 0; i + 1 < parts.size() || (!remove && i < parts.size()); ++i) {
            if (remove) {
                k = k->Child(parts[i]);
                if (!k) return;
            } else {
                k = k->AddChild(parts[i], nullptr);
            }
        }
        if (remove) k->RemoveChild(parts.back());
        else current = k;
    }

    void ValueLine(std::string_view line) {
        std::size_t pos = 0;
        std::string rawName;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, rawName)) {
            return Fail();
        }
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') return Fail();
        std::string_view data = TrimBlanks(line.substr(pos + 1));
        if (!current) return Fail();  // a value outside any key
        std::string name = Text(rawName);
        if (data == "-") {
            current->RemoveValue(name);
            return;
        }
        if (!data.empty() && data[0] == '"') {
            std::size_t p = 0;
            std::string text;
            if (!ReadQuoted(data, p, text)) return Fail();
            std::string_view rest = TrimBlanks(data.substr(p));
            if (!rest.empty() && rest[0] != ';') return Fail();
            current->SetValue(name, kRegSz, NormaliseData(kRegSz, Text(text)));
            return;
        }
        if (StartsWithNoCase(data, "dword:")) {
            std::string_view digits = data.substr(6);
            if (digits.empty() || digits.size() > 8) return Fail();
            DWORD v = 0;
            for (char c : digits) {
                int d = HexDigit(c);
                if (d < 0) return Fail();
                v = v * 16 + static_cast<DWORD>(d);
            }
            std::string bytes(4, '\0');
            for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
            current->SetValue(name, kRegDword, std::move(bytes));
            return;
        }
        if (StartsWithNoCase(data, "hex")) {
            std::string_view rest = data.substr(3);
            DWORD type = kRegBinary;
            if (!rest.empty() && rest[0] == '(') {
                std::size_t close = rest.find(')');
                if (close == std::string_view::npos || close == 1 || close > 9) return Fail();
                type = 0;
                for (char c : rest.substr(1, close - 1)) {
                    int d = HexDigit(c);
                    if (d < 0) return Fail();
                    type = type * 16 + static_cast<DWORD>(d);
                }
                rest = rest.substr(close + 1);
            }
            if (rest.empty() || rest[0] != ':') return Fail();
            std::string bytes;
            if (!ReadHexList(rest.substr(1), bytes)) return Fail();
            if (IsStringType(type) && wide) bytes = cp::Utf16LeToCp1252(bytes);
            current->SetValue(name, type, std::move(bytes));
            return;
        }
        Fail();
    }
};

void WriteQuoted(std::string& out, std::string_view text) {
    out += '"';
    std::string utf8;
    std::string_view rest = text;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            utf8 = cp::Cp1252ToUtf8(text);
            rest = utf8;
            break;
        }
    }
    std::size_t from = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '\\' && rest[i] != '"') continue;
        out.append(rest.data() + from, i - from);
        out += '\\';
        from = i;
    }
    out.append(rest.data() + from, rest.size() - from);
    out += '"';
}

bool PlainString(const Value& v) {
    if (v.type != kRegSz || v.data.empty() || v.data.back() != '\0') return false;
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i) {
        char c = v.data[i];
        if (c == '\0' || c == '\r' || c == '\n') return false;
    }
    return true;
}

void WriteValue(std::string& out, const Value& v) {
    std::size_t lineStart = out.size();
    if (v.name.empty()) out += '@';
    else WriteQuoted(out, v.name);
    out += '=';
    if (PlainString(v)) {
        WriteQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
    } else if (v.type == kRegDword && v.data.size() == 4) {
        DWORD n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        out += buf;
    } else {
        char buf[24];
        if (v.type == kRegBinary) std::snprintf(buf, sizeof buf, "hex:");
        else std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
        out += buf;
        std::string wide;
        const std::string* bytes = &v.data;
        if (IsStringType(v.type)) {
            wide = cp::Cp1252ToUtf16Le(v.data);
            bytes = &wide;
        }
        static const char* digits = "0123456789abcdef";
        std::size_t col = out.size() - lineStart;
        for (std::size_t i = 0; i < bytes->size(); ++i) {
            if (col + 3 > 79) {
                out += "\\\r\n  ";
                col = 2;
            }
            auto b = static_cast<unsigned char>((*bytes)[i]);
            out += digits[b >> 4];
            out += digits[b & 15];
            col += 2;
            if (i + 1 < bytes->size()) {
                out += ',';
                ++col;
            }
        }
    }
    out += "\r\n";
}

void WriteKey(std::string& out, const Key& key, std::string& path, bool isRoot) {
    if (!isRoot || !key.Values().empty()) {
        out += "\r\n[";
        out += cp::Cp1252ToUtf8(path);
        out += "]\r\n";
        for (const Value& v : key.Values()) WriteValue(out, v);
    }
    for (const auto& child : key.Children()) {
        std::size_t len = path.size();
        path += '\\';
        path += child->Name();
        WriteKey(out, *child, path, false);
        path.resize(len);
    }
}

}  // namespace

std::string Fold(std::string_view name) {
    std::string f(name);
    for (char& c : f)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return f;
}

Key* Key::Child(std::string_view name) const {
    auto it = m_childIndex.find(Fold(name));
    return it == m_childIndex.end() ? nullptr : m_children[it->second].get();
}

Key* Key::AddChild(std::string_view name, bool* created) {
    std::string f = Fold(name);
    if (created) *created = false;
    if (auto it = m_childIndex.find(f); it != m_childIndex.end()) return m_children[it->second].get();
    auto key = std::make_unique<Key>(std::string(name));
    key->m_folded = f;
    Key* raw = key.get();
    // Keys written in order (our own files) keep the list sorted as it grows.
    if (!m_children.empty() && (!m_children.back() || !(m_children.back()->m_folded < f))) m_childrenTidy = false;
    m_childIndex.emplace(std::move(f), m_children.size());
    m_children.push_back(std::move(key));
    if (created) *created = true;
    return raw;
}

bool Key::RemoveChild(std::string_view name) {
    auto it = m_childIndex.find(Fold(name));
    if (it == m_childIndex.end()) return false;
    std::size_t i = it->second;
    m_childIndex.erase(it);
    if (i + 1 == m_children.size()) {
        m_children.pop_back();
    } else {
        m_children[i].reset();
        m_childrenTidy = false;
    }
    return true;
}

const std::vector<std::unique_ptr<Key>>& Key::Children() const {
    if (!m_childrenTidy) {
        std::erase_if(m_children, [](const std::unique_ptr<Key>& k) { return !k; });
        std::sort(m_children.begin(), m_children.end(),
                  [](const std::unique_ptr<Key>& a, const std::unique_ptr<Key>& b) { return a->m_folded < b->m_folded; });
        m_childIndex.clear();
        for (std::size_t i = 0; i < m_children.size(); ++i) m_childIndex.emplace(m_children[i]->m_folded, i);
        m_childrenTidy = true;
    }
    return m_children;
}

const Value* Key::FindValue(std::string_view name) const {
    auto it = m_valueIndex.find(Fold(name));
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

void Key::SetValue(std::string_view name, DWORD type, std::string data) {
    std::string f = Fold(name);
    auto it = m_valueIndex.find(f);
    if (it != m_valueIndex.end()) {
        // The name keeps its first spelling and its place, as the registry does.
        m_values[it->second].type = type;
        m_values[it->second].data = std::move(data);
        return;
    }
    m_valueIndex.emplace(std::move(f), m_values.size());
    m_values.push_back(Value{std::string(name), type, std::move(data)});
}

bool Key::RemoveValue(std::string_view name) {
    auto it = m_valueIndex.find(Fold(name));
    if (it == m_valueIndex.end()) return false;
    Value& v = m_values[it->second];
    m_valueIndex.erase(it);
    v.removed = true;
    v.data = std::string();
    ++m_removedValues;
    return true;
}

const std::vector<Value>& Key::Values() const {
    if (m_removedValues > 0) {
        std::erase_if(m_values, [](const Value& v) { return v.removed; });
        m_removedValues = 0;
        m_valueIndex.clear();
        for (std::size_t i = 0; i < m_values.size(); ++i) m_valueIndex.emplace(Fold(m_values[i].name), i);
    }
    return m_values;
}

std::string NormaliseData(DWORD type, std::string_view data) {
    std::string d(data);
    if ((type == kRegSz || type == kRegExpandSz) && (d.empty() || d.back() != '\0')) d += '\0';
    return d;
}

bool SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
    parts.clear();
    if (path.empty()) return true;
    if (path.back() == '\\') path.remove_suffix(1);
    while (true) {
        std::size_t sep = path.find('\\');
        std::string_view part = path.substr(0, sep);
        if (part.empty() || parts.size() >= kMaxDepth) return false;
        for (char c : part)
            if (c == '\0' || c == '\r' || c == '\n') return false;
        parts.push_back(part);
        if (sep == std::string_view::npos) return true;
        path.remove_prefix(sep + 1);
    }
}

void Parse(std::string_view bytes, Tree& tree) {
    std::string converted;
    bool fromWide = false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        converted = cp::Utf16LeToUtf8(bytes.substr(2));
        bytes = converted;
        fromWide = true;
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    Parser p{tree};
    bool seenHeader = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = TrimBlanks(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';') continue;
        if (!seenHeader) {
            seenHeader = true;
            if (line == kHeader5) continue;
            if (line == kHeader4) {
                p.utf8 = fromWide;
                p.wide = false;
                continue;
            }
            p.Fail();
        }
        if (line[0] == '[') {
            p.KeyLine(line);
            continue;
        }
        if (line[0] != '"' && line[0] != '@') {
            p.Fail();
            continue;
        }
        // Long hex data goes on over several lines, each but the last ending in "\".
        std::string joined;
        if (line.back() == '\\') {
            joined = line;
            while (!joined.empty() && joined.back() == '\\' && pos < bytes.size()) {
                std::size_t e = bytes.find('\n', pos);
                if (e == std::string_view::npos) e = bytes.size();
                std::string_view next = TrimBlanks(bytes.substr(pos, e - pos));
                if (!next.empty() && (next[0] == '[' || next[0] == '"' || next[0] == '@')) break;
                joined.pop_back();
                joined += next;
                pos = e + 1;
            }
            line = joined;
        }
        p.ValueLine(line);
    }
}

std::string Serialize(const Tree& tree) {
    std::string out(kHeader5);
    out += "\r\n";
    std::string path;
    for (const auto& root : tree.top.Children()) {
        path = root->Name();
        WriteKey(out, *root, path, true);
    }
    out += "\r\n";
    return out;
}

}  // namespace vutil::platform::settings

namespace vutil::platform {

bool SettingsParseForTesting(std::string_view bytes, std::string* rewritten) {
    try {
        settings::Tree tree;
        settings::Parse(bytes, tree);
        if (rewritten) *rewritten = settings::Serialize(tree);
        return tree.clean;
    } catch (...) {
        return false;
    }
}

}  // namespace vutil::platform
