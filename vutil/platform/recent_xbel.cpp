#include "vutil/platform/recent_xbel.h"

#include <cctype>

namespace vutil::platform {

namespace {

std::string XmlEscape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Bookmark(const RecentEntry& e) {
    const std::string times = "added=\"" + e.stamp + "\" modified=\"" + e.stamp + "\" visited=\"" + e.stamp + "\"";
    const std::string program = XmlEscape(e.program);
    return "  <bookmark href=\"" + XmlEscape(e.href) + "\" " + times +
           ">\n"
           "    <info>\n"
           "      <metadata owner=\"http://freedesktop.org\">\n"
           "        <mime:mime-type type=\"" + XmlEscape(e.mimeType) + "\"/>\n"
           "        <bookmark:applications>\n"
           "          <bookmark:application name=\"" + program + "\" exec=\"&apos;" + program +
           " %u&apos;\" modified=\"" + e.stamp + "\" count=\"1\"/>\n"
           "        </bookmark:applications>\n"
           "      </metadata>\n"
           "    </info>\n"
           "  </bookmark>\n";
}

}  // namespace

std::string AddRecentBookmark(std::string_view xbel, const RecentEntry& entry) {
    const std::size_t root = xbel.find("<xbel");
    const std::size_t end = xbel.rfind("</xbel>");
    if (root == std::string_view::npos || end == std::string_view::npos || end < root) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<xbel version=\"1.0\"\n"
               "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
               "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
               ">\n" +
               Bookmark(entry) + "</xbel>\n";
    }
    std::string out(xbel.substr(0, end));
    // One bookmark per address: the older one goes, with the indentation before it.
    const std::string open = "<bookmark href=\"" + XmlEscape(entry.href) + "\"";
    const std::size_t old = out.find(open, root);
    if (old != std::string::npos) {
        const std::size_t close = out.find("</bookmark>", old);
        if (close != std::string::npos) {
            std::size_t from = old;
            while (from > 0 && (out[from - 1] == ' ' || out[from - 1] == '\t')) --from;
            std::size_t to = close + 11;
            if (to < out.size() && out[to] == '\n') ++to;
            out.erase(from, to - from);
        }
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += Bookmark(entry);
    out.append(xbel.substr(end));
    return out;
}

std::string PercentEncodePath(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string GuessMimeType(std::string_view path) {
    static const struct {
        const char* ext;
        const char* type;
    } kTypes[] = {{"txt", "text/plain"},        {"htm", "text/html"},         {"html", "text/html"},
                  {"xml", "application/xml"},   {"pdf", "application/pdf"},   {"zip", "application/zip"},
                  {"png", "image/png"},         {"jpg", "image/jpeg"},        {"jpeg", "image/jpeg"},
                  {"gif", "image/gif"},         {"csv", "text/csv"},          {"css", "text/css"},
                  {"js", "text/javascript"},    {"json", "application/json"}, {"log", "text/x-log"},
                  {"doc", "application/msword"}, {"rtf", "application/rtf"}};
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return "application/octet-stream";
    std::string ext;
    for (char c : path.substr(dot + 1)) ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& t : kTypes)
        if (ext == t.ext) return t.type;
    return "application/octet-stream";
}

}  // namespace vutil::platform
