// The X display through libX11, loaded with dlopen so that machines without X
// neither need the library nor pay for it. The clipboard owner is a detached
// process with its own connection that serves CLIPBOARD until another client
// takes it.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "vutil/platform/codepage.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/posix/x11_internal.h"

namespace vutil::platform::posix {

namespace {

struct XLib {
    decltype(&::XOpenDisplay) OpenDisplay;
    decltype(&::XCloseDisplay) CloseDisplay;
    decltype(&::XDefaultRootWindow) RootOf;
    decltype(&::XInternAtom) InternAtom;
    decltype(&::XGetAtomName) GetAtomName;
    decltype(&::XGetWindowProperty) GetWindowProperty;
    decltype(&::XFree) Free;
    decltype(&::XQueryTree) QueryTree;
    decltype(&::XGetClassHint) GetClassHint;
    decltype(&::XSetClassHint) SetClassHint;
    decltype(&::XStoreName) StoreName;
    decltype(&::XCreateSimpleWindow) CreateSimpleWindow;
    decltype(&::XDestroyWindow) DestroyWindow;
    decltype(&::XSelectInput) SelectInput;
    decltype(&::XSetSelectionOwner) SetSelectionOwner;
    decltype(&::XGetSelectionOwner) GetSelectionOwner;
    decltype(&::XConvertSelection) ConvertSelection;
    decltype(&::XNextEvent) NextEvent;
    decltype(&::XPending) Pending;
    decltype(&::XSendEvent) SendEvent;
    decltype(&::XChangeProperty) ChangeProperty;
    decltype(&::XDeleteProperty) DeleteProperty;
    decltype(&::XFlush) Flush;
    decltype(&::XSync) Sync;
    decltype(&::XConnectionNumber) ConnFd;
    decltype(&::XSetErrorHandler) SetErrorHandler;
    decltype(&::XSetIOErrorHandler) SetIOErrorHandler;
    decltype(&::XMaxRequestSize) MaxRequestSize;
};

const XLib* Lib() {
    static const XLib* lib = [] () -> const XLib* {
        void* h = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!h) return nullptr;
        static XLib x;
        bool ok = true;
        auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(h, name));
            ok = ok && fn != nullptr;
        };
        get(x.OpenDisplay, "XOpenDisplay");
        get(x.CloseDisplay, "XCloseDisplay");
        get(x.RootOf, "XDefaultRootWindow");
        get(x.InternAtom, "XInternAtom");
        get(x.GetAtomName, "XGetAtomName");
        get(x.GetWindowProperty, "XGetWindowProperty");
        get(x.Free, "XFree");
        get(x.QueryTree, "XQueryTree");
        get(x.GetClassHint, "XGetClassHint");
        get(x.SetClassHint, "XSetClassHint");
        get(x.StoreName, "XStoreName");
        get(x.CreateSimpleWindow, "XCreateSimpleWindow");
        get(x.DestroyWindow, "XDestroyWindow");
        get(x.SelectInput, "XSelectInput");
        get(x.SetSelectionOwner, "XSetSelectionOwner");
        get(x.GetSelectionOwner, "XGetSelectionOwner");
        get(x.ConvertSelection, "XConvertSelection");
        get(x.NextEvent, "XNextEvent");
        get(x.Pending, "XPending");
        get(x.SendEvent, "XSendEvent");
        get(x.ChangeProperty, "XChangeProperty");
        get(x.DeleteProperty, "XDeleteProperty");
        get(x.Flush, "XFlush");
        get(x.Sync, "XSync");
        get(x.ConnFd, "XConnectionNumber");
        get(x.SetErrorHandler, "XSetErrorHandler");
        get(x.SetIOErrorHandler, "XSetIOErrorHandler");
        get(x.MaxRequestSize, "XMaxRequestSize");
        return ok ? &x : nullptr;
    }();
    return lib;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// One connection for one call; X protocol errors (a window that vanished) are
// ignored while it is open, and the host's handler comes back afterwards.
class Connection {
public:
    Connection() : m_x(Lib()) {
        if (!m_x) return;
        m_display = m_x->OpenDisplay(nullptr);
        if (m_display) m_oldHandler = m_x->SetErrorHandler(IgnoreXError);
    }
    ~Connection() {
        if (!m_display) return;
        if (m_window) m_x->DestroyWindow(m_display, m_window);
        m_x->Sync(m_display, False);
        m_x->SetErrorHandler(m_oldHandler);
        m_x->CloseDisplay(m_display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    explicit operator bool() const { return m_display != nullptr; }
    const XLib& X() const { return *m_x; }
    Display* D() const { return m_display; }
    Atom A(const char* name) const { return m_x->InternAtom(m_display, name, False); }
    Window Own() {
        if (!m_window) {
            m_window = m_x->CreateSimpleWindow(m_display, m_x->RootOf(m_display), 0, 0, 1, 1, 0, 0, 0);
            m_x->SelectInput(m_display, m_window, PropertyChangeMask);
        }
        return m_window;
    }

    // A property as bytes; 32-bit items come back as 4-byte little-endian values.
    bool GetProperty(Window w, Atom property, bool remove, Atom& type, std::string& bytes) const {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (m_x->GetWindowProperty(m_display, w, property, 0, LONG_MAX / 4, remove ? True : False, AnyPropertyType,
                                   &actualType, &format, &count, &after, &data) != Success)
            return false;
        type = actualType;
        bytes.clear();
        if (data) {
            if (format == 32) {
                const long* items = reinterpret_cast<const long*>(data);
                for (unsigned long i = 0; i < count; ++i)
                    for (int b = 0; b < 4; ++b)
                        bytes += static_cast<char>((static_cast<unsigned long>(items[i]) >> (8 * b)) & 0xFF);
            } else {
                bytes.assign(reinterpret_cast<const char*>(data), count * static_cast<unsigned long>(format / 8));
            }
            m_x->Free(data);
        }
        return actualType != None;
    }

    // Waits for an event of the type on our window, up to the time limit.
    bool WaitFor(int type, XEvent& ev, std::chrono::milliseconds limit) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (true) {
            while (m_x->Pending(m_display)) {
                m_x->NextEvent(m_display, &ev);
                if (ev.type == type && ev.xany.window == m_window) return true;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{m_x->ConnFd(m_display), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
        }
    }

private:
    const XLib* m_x;
    Display* m_display = nullptr;
    Window m_window = 0;
    XErrorHandler m_oldHandler = nullptr;
};

std::string ToCp1252(std::string_view utf8) { return cp::Utf8ToCp1252(utf8); }

std::string WindowClass(const Connection& c, Window w) {
    XClassHint hint{nullptr, nullptr};
    std::string name;
    if (c.X().GetClassHint(c.D(), w, &hint)) {
        if (hint.res_class) name = hint.res_class;
        if (hint.res_name) c.X().Free(hint.res_name);
        if (hint.res_class) c.X().Free(hint.res_class);
    }
    return ToCp1252(name);
}

std::string TitleOf(const Connection& c, Window w) {
    Atom type = None;
    std::string bytes;
    if (c.GetProperty(w, c.A("_NET_WM_NAME"), false, type, bytes) && !bytes.empty()) return ToCp1252(bytes);
    if (c.GetProperty(w, XA_WM_NAME, false, type, bytes)) return bytes;  // Latin-1 is Windows-1252 here
    return {};
}

constexpr auto kSelectionWait = std::chrono::seconds(5);

// The X targets one published clipboard offers.
using Targets = std::vector<std::pair<std::string, std::string>>;

Targets TargetsFor(const ClipboardFormats& formats) {
    Targets t;
    std::uint32_t effect = 1;
    for (const auto& [name, bytes] : formats)
        if (name == "Preferred DropEffect" && bytes.size() >= 4)
            effect = static_cast<unsigned char>(bytes[0]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1])) << 8);
    for (const auto& [name, bytes] : formats) {
        if (name == "CF_TEXT") {
            std::string utf8 = cp::Cp1252ToUtf8(bytes.substr(0, bytes.find('\0')));
            t.emplace_back("UTF8_STRING", utf8);
            t.emplace_back("text/plain;charset=utf-8", utf8);
            t.emplace_back("STRING", bytes.substr(0, bytes.find('\0')));
            t.emplace_back("TEXT", utf8);
        } else if (name == "CF_HDROP") {
            std::string uris, gnome = (effect & 2) ? "cut" : "copy";
            for (const auto& n : DecodeDropFiles(bytes)) {
                auto host = ToHostPath(n);
                if (!host) continue;
                std::string uri = PathToFileUri(*host);
                uris += uri + "\r\n";
                gnome += "\n" + uri;
            }
            t.emplace_back("text/uri-list", uris);
            t.emplace_back("x-special/gnome-copied-files", gnome);
        } else if (name == "CF_BITMAP") {
            t.emplace_back("image/bmp", bytes);
        }
        t.emplace_back(name, bytes);
    }
    return t;
}

[[noreturn]] void ServeSelection(const Targets& targets, int readyFd) {
    auto fail = [&] {
        char no = '0';
        (void)!::write(readyFd, &no, 1);
        ::_exit(1);
    };
    Connection c;
    if (!c) fail();
    c.X().SetIOErrorHandler([](Display*) -> int { ::_exit(0); });
    Window w = c.Own();
    c.X().StoreName(c.D(), w, "vutil clipboard");
    char resName[] = "vutil", resClass[] = "Vutil";
    XClassHint hint{resName, resClass};
    c.X().SetClassHint(c.D(), w, &hint);
    Atom clipboard = c.A("CLIPBOARD"), targetsAtom = c.A("TARGETS");
    std::vector<Atom> atoms;
    for (const auto& target : targets) atoms.push_back(c.A(target.first.c_str()));
    c.X().SetSelectionOwner(c.D(), clipboard, w, CurrentTime);
    if (c.X().GetSelectionOwner(c.D(), clipboard) != w) fail();
    char yes = '1';
    (void)!::write(readyFd, &yes, 1);
    ::close(readyFd);
    // Larger answers would need the incremental protocol; they are refused instead.
    const std::size_t maxBytes = static_cast<std::size_t>(c.X().MaxRequestSize(c.D())) * 4 - 1024;
    XEvent ev;
    while (true) {
        c.X().NextEvent(c.D(), &ev);
        if (ev.type == SelectionClear && ev.xselectionclear.selection == clipboard) break;
        if (ev.type != SelectionRequest) continue;
        const XSelectionRequestEvent& req = ev.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.display = req.display;
        reply.xselection.requestor = req.requestor;
        reply.xselection.selection = req.selection;
        reply.xselection.target = req.target;
        reply.xselection.time = req.time;
        Atom property = req.property != None ? req.property : req.target;
        reply.xselection.property = None;
        if (req.target == targetsAtom) {
            std::vector<long> list{static_cast<long>(targetsAtom)};
            for (Atom a : atoms) list.push_back(static_cast<long>(a));
            c.X().ChangeProperty(c.D(), req.requestor, property, XA_ATOM, 32, PropModeReplace,
                                 reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
            reply.xselection.property = property;
        } else {
            for (std::size_t i = 0; i < atoms.size(); ++i) {
                if (atoms[i] != req.target || targets[i].second.size() > maxBytes) continue;
                const std::string& data = targets[i].second;
                c.X().ChangeProperty(c.D(), req.requestor, property, req.target, 8, PropModeReplace,
                                     reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
                reply.xselection.property = property;
                break;
            }
        }
        c.X().SendEvent(c.D(), req.requestor, False, 0, &reply);
        c.X().Flush(c.D());
    }
    ::_exit(0);
}

// Asks the clipboard's owner for one target; nothing when it has none.
std::optional<std::string> Fetch(Connection& c, const char* target) {
    Window w = c.Own();
    Atom property = c.A("VUTIL_SELECTION");
    c.X().ConvertSelection(c.D(), c.A("CLIPBOARD"), c.A(target), property, w, CurrentTime);
    c.X().Flush(c.D());
    XEvent ev;
    if (!c.WaitFor(SelectionNotify, ev, kSelectionWait) || ev.xselection.property == None) return std::nullopt;
    Atom type = None;
    std::string bytes;
    if (!c.GetProperty(w, property, true, type, bytes)) return std::nullopt;
    if (type != c.A("INCR")) return bytes;
    // Incremental transfer: each new value of the property is the next piece, an
    // empty one ends it.
    std::string all;
    c.X().Flush(c.D());
    while (true) {
        do {
            if (!c.WaitFor(PropertyNotify, ev, kSelectionWait)) return std::nullopt;
        } while (ev.xproperty.atom != property || ev.xproperty.state != PropertyNewValue);
        if (!c.GetProperty(w, property, true, type, bytes)) return std::nullopt;
        c.X().Flush(c.D());
        if (bytes.empty()) return all;
        all += bytes;
    }
}

}  // namespace

bool X11Present() {
    const char* display = std::getenv("DISPLAY");
    return display && *display && Lib() != nullptr;
}

std::vector<TopWindow> X11TopWindows() {
    std::vector<TopWindow> result;
    Connection c;
    if (!c) return result;
    Window root = c.X().RootOf(c.D());
    std::vector<Window> windows;
    Atom type = None;
    std::string bytes;
    if (c.GetProperty(root, c.A("_NET_CLIENT_LIST_STACKING"), false, type, bytes) && type == XA_WINDOW) {
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            Window win = 0;
            for (int b = 3; b >= 0; --b) win = (win << 8) | static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(b)]);
            windows.push_back(win);
        }
    } else {
        Window rootOut = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (c.X().QueryTree(c.D(), root, &rootOut, &parent, &children, &count)) {
            windows.assign(children, children + count);
            if (children) c.X().Free(children);
        }
    }
    std::reverse(windows.begin(), windows.end());  // X lists bottom first
    for (Window win : windows) result.push_back({static_cast<std::uintptr_t>(win), WindowClass(c, win), TitleOf(c, win)});
    return result;
}

std::string X11WindowTitle(std::uintptr_t id) {
    Connection c;
    return c ? TitleOf(c, static_cast<Window>(id)) : std::string{};
}

bool X11ClipboardPublish(const ClipboardFormats& formats) {
    Targets targets = TargetsFor(formats);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    pid_t child = ::fork();
    if (child < 0) {
        SetLastErrorFromErrno(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        // The owner is a grandchild, so it is never left for us to reap, and holds
        // none of our descriptors (a caller reading our output must see its end).
        if (::fork() != 0) ::_exit(0);
        ::setsid();
        int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd) ::dup2(null, fd);
        if (fds[1] != 3) ::dup2(fds[1], 3);
        ::close_range(4, ~0u, 0);
        ServeSelection(targets, 3);
    }
    ::close(fds[1]);
    int status = 0;
    RetryAfterSignal([&] { return ::waitpid(child, &status, 0); });
    char ready = 0;
    ssize_t n = Read(fds[0], &ready, 1);
    ::close(fds[0]);
    if (n != 1 || ready != '1') {
        SetLastErrorCode(kErrorAccessDenied);
        return false;
    }
    return true;
}

std::optional<std::string> X11ClipboardRead(std::string_view format) {
    Connection c;
    if (!c) {
        SetLastErrorCode(kErrorAccessDenied);
        return std::nullopt;
    }
    SetLastErrorCode(0);
    Window owner = c.X().GetSelectionOwner(c.D(), c.A("CLIPBOARD"));
    if (owner == None) return std::nullopt;
    auto list = Fetch(c, "TARGETS");
    // An owner that was just replaced may never answer; the new one is asked once.
    if (!list) {
        Window now = c.X().GetSelectionOwner(c.D(), c.A("CLIPBOARD"));
        if (now != None && now != owner) list = Fetch(c, "TARGETS");
    }
    std::vector<std::string> offered;
    if (list) {
        for (std::size_t i = 0; i + 4 <= list->size(); i += 4) {
            Atom a = 0;
            for (int b = 3; b >= 0; --b) a = (a << 8) | static_cast<unsigned char>((*list)[i + static_cast<std::size_t>(b)]);
            if (char* name = c.X().GetAtomName(c.D(), a)) {
                offered.emplace_back(name);
                c.X().Free(name);
            }
        }
    }
    auto has = [&](const char* name) { return std::find(offered.begin(), offered.end(), name) != offered.end(); };
    std::string own(format);
    if (has(own.c_str())) return Fetch(c, own.c_str());
    if (format == "CF_TEXT") {
        for (const char* t : {"UTF8_STRING", "text/plain;charset=utf-8"})
            if (has(t))
                if (auto text = Fetch(c, t)) return cp::Utf8ToCp1252(*text);
        if (has("STRING")) return Fetch(c, "STRING");
    } else if (format == "CF_HDROP" || format == "Preferred DropEffect") {
        std::optional<std::string> list;
        bool cut = false;
        if (has("x-special/gnome-copied-files") && (list = Fetch(c, "x-special/gnome-copied-files"))) {
            cut = list->compare(0, 3, "cut") == 0;
            list->erase(0, list->find('\n') == std::string::npos ? list->size() : list->find('\n') + 1);
        } else if (format == "CF_HDROP" && has("text/uri-list")) {
            list = Fetch(c, "text/uri-list");
        }
        if (!list) return std::nullopt;
        if (format == "Preferred DropEffect") return std::string(cut ? "\x02\0\0\0" : "\x01\0\0\0", 4);
        std::vector<std::string> names;
        for (const auto& p : FileUrisToPaths(*list)) names.push_back(FromHostPath(p));
        return EncodeDropFiles(names);
    } else if (format == "CF_BITMAP" && has("image/bmp")) {
        return Fetch(c, "image/bmp");
    }
    return std::nullopt;
}

}  // namespace vutil::platform::posix
