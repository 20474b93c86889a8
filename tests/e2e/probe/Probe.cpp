// Windows-side eyes and hands for the end-to-end tests. Inside Wine's virtual
// desktop every window lives in one X window, so X tools cannot tell them
// apart; this program can.
//
// It serves one command per stdin line and answers one line on stdout, so the
// tests pay Wine's process start (slow where 32-bit code is emulated) once.
// Window texts travel as hex of their ANSI (GBK) bytes: no code page guessing
// on either side. Handles and numbers are hex.
//
//   find CAPTIONHEX                 -> ok HWND VISIBLE PID CLASS L T R B | none
//   click HWND CTRLID               -> ok        (BM_CLICK posted to the control)
//   post HWND MSG WPARAM LPARAM     -> ok | err CODE
//   send HWND MSG WPARAM LPARAM     -> ok RESULT | err CODE (5 s timeout)
//   windows CLASS                   -> ok [HWND:VISIBLE:L,T,R,B ...]  (top-level windows of a class)
//   tooltips                        -> ok [HWND:VISIBLE:TEXTHEX ...]
//   msgbox CAPTIONHEX               -> ok HWND ICON TEXTHEX | none
//   hold MOD VK                     -> ok | err CODE   (RegisterHotKey for this thread)
//   release                         -> ok
//   unhold                          -> ok        (ends a "hold" probe started on the desktop)
//   foreground                      -> ok HWND PID CLASS EXSTYLE L T R B | none
//   tick                            -> ok TICKS  (GetTickCount, the relay trace's clock)
//   item HWND CTRLID                -> ok CTRLHWND L T R B ENABLED TEXTHEX | none  (a dialog's control)
//   child HWND CTRLID               -> ok L T R B VISIBLE | none  (a dialog control's screen rectangle)
//   counts PID                      -> ok GDI KERNEL WINDOWS | err CODE  (PID 0: the probe itself)
//   make N                          -> ok        (N bitmaps, events and windows kept: checks "counts")
//   register NAMEHEX                -> ok MSG    (RegisterWindowMessageA)
//   untray HWND ID                  -> ok | err  (NIM_DELETE of that window's icon, as a shell restart loses it)
//   copydata HWND SENDER DATA FLAGS -> ok RESULT | err CODE  (WM_COPYDATA of one DWORD FLAGS with dwData DATA;
//                                      wParam SENDER, "self": a window of the probe's own; 5 s timeout)
//   quit
//
// Started as "target SECONDS STATUSFILE" by explorer on the tests' desktop, it
// shows a window at kTargetRect and keeps its input counts in the file as
// "keys N clicks M" (keys: VK_A presses): another program whose input a block
// must stop. "target SECONDS STATUSFILE full" makes it a borderless window over
// the whole screen in front, as a film or a presentation shows.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

std::string Unhex(const char* hex)
{
    std::string out;
    if (std::strcmp(hex, "-") == 0) return out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        char pair[3] = {hex[i], hex[i + 1], 0};
        out += static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    return out;
}

std::string Text(HWND hwnd)
{
    char buf[1024] = {};
    // WM_GETTEXT rather than GetWindowText: the latter does not ask windows of
    // other processes, and tooltips only answer the message.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf),
                             SMTO_ABORTIFHUNG, 2000, &len))
        return std::string();
    return std::string(buf, std::strlen(buf));
}

// The text as the W functions give it, in UTF-8: nothing passes through this
// process's ANSI code page on the way.
std::string TextW(HWND hwnd)
{
    WCHAR buf[1024] = {};
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &len))
        return std::string();
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, buf, -1, out, sizeof(out), nullptr, nullptr);
    return out;
}

std::string ClassOf(HWND hwnd)
{
    char buf[256] = {};
    GetClassNameA(hwnd, buf, sizeof(buf));
    return buf;
}

struct Search {
    std::string caption;
    std::string cls;  // empty: any
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM lp)
{
    Search* s = reinterpret_cast<Search*>(lp);
    if (!s->cls.empty() && ClassOf(hwnd) != s->cls) return TRUE;
    if (!s->caption.empty()) {
        // The stored caption: no message to a window that may be busy (the action
        // sleeps on Velodusk's GUI thread), so a search never waits on it.
        char buf[256] = {};
        GetWindowTextA(hwnd, buf, sizeof(buf));
        if (s->caption != buf) return TRUE;
    }
    s->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevel(const std::string& caption, const std::string& cls)
{
    Search s{caption, cls, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND ParseHwnd(const char* s)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(s, nullptr, 16)));
}

struct Statics {
    std::string text;
    bool icon = false;
};

BOOL CALLBACK CollectStatics(HWND hwnd, LPARAM lp)
{
    Statics* st = reinterpret_cast<Statics*>(lp);
    if (ClassOf(hwnd) != "Static") return TRUE;
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        st->icon = SendMessageA(hwnd, STM_GETICON, 0, 0) != 0 || IsWindowVisible(hwnd);
        return TRUE;
    }
    std::string t = Text(hwnd);
    if (!t.empty()) st->text = t;
    return TRUE;
}

void Reply(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Fmt(const char* format, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof(buf), format, ap);
    va_end(ap);
    return buf;
}

// Object counts of another process, read from outside: GetGuiResources and
// GetProcessHandleCount answer 0 under Wine. Kernel handles come from the
// system handle list; GDI objects from the process's GDI handle table (in-use
// entries carry a non-zero type byte); windows from
// enumerating the desktop's top-level, child and message-only windows.
struct HandleEntry {
    ULONG pid;
    BYTE type, flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

struct GdiEntry {  // fixed 64-bit layout in 32- and 64-bit processes alike, 24 bytes
    unsigned long long object;
    ULONG owner;
    USHORT unique;
    BYTE type, flags;
    unsigned long long user;
};

static_assert(sizeof(GdiEntry) == 24, "Wine's GDI handle entry");

template <typename F> F Ntdll(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

long KernelHandles(DWORD pid)
{
    typedef LONG(WINAPI * Query)(ULONG, PVOID, ULONG, PULONG);
    Query query = Ntdll<Query>("NtQuerySystemInformation");
    std::vector<char> buf(1 << 16);
    for (;;) {
        ULONG need = 0;
        LONG st = query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()), &need);
        if (st == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
            buf.resize(std::max<size_t>(buf.size() * 2, need + 4096));
            continue;
        }
        if (st != 0) return -1;
        break;
    }
    ULONG n = *reinterpret_cast<ULONG*>(buf.data());
    const HandleEntry* e = reinterpret_cast<const HandleEntry*>(buf.data() + sizeof(void*));
    long count = 0;
    for (ULONG i = 0; i < n; ++i) count += e[i].pid == pid;
    return count;
}

long GdiObjects(DWORD pid)
{
    // Wine keeps the table in a private allocation of its own (the PEB does not
    // name it there): the one committed read-write region of exactly 65536 entries.
    HANDLE proc = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!proc) return -1;
    const size_t entries = 0x10000;
    std::vector<char*> found;
    MEMORY_BASIC_INFORMATION m;
    for (char* p = nullptr; VirtualQueryEx(proc, p, &m, sizeof(m)); p = static_cast<char*>(m.BaseAddress) + m.RegionSize) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE && m.Protect == PAGE_READWRITE &&
            m.AllocationBase == m.BaseAddress && m.RegionSize == entries * sizeof(GdiEntry))
            found.push_back(static_cast<char*>(m.BaseAddress));
        if (static_cast<char*>(m.BaseAddress) + m.RegionSize < p) break;
    }
    long count = found.size() == 1 ? 0 : -static_cast<long>(found.size()) - 1;
    if (found.size() == 1) {
        std::vector<GdiEntry> e(entries);
        if (ReadProcessMemory(proc, found[0], e.data(), entries * sizeof(GdiEntry), nullptr))
            for (const GdiEntry& x : e) count += x.type != 0;
        else
            count = -1;
    }
    CloseHandle(proc);
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM lp)
{
    ++*reinterpret_cast<long*>(lp);
    return TRUE;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountTop(HWND hwnd, LPARAM lp)
{
    WindowCount* wc = reinterpret_cast<WindowCount*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != wc->pid) return TRUE;
    ++wc->count;
    EnumChildWindows(hwnd, CountChild, reinterpret_cast<LPARAM>(&wc->count));
    return TRUE;
}

long Windows(DWORD pid)
{
    WindowCount wc = {pid, 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&wc));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountTop(w, reinterpret_cast<LPARAM>(&wc));
    return wc.count;
}

const RECT kTargetRect = {100, 100, 400, 300};
const char* g_targetStatus = nullptr;
long g_targetKeys = 0;
long g_targetClicks = 0;

void WriteTargetStatus()
{
    if (FILE* f = std::fopen(g_targetStatus, "w")) {
        std::fprintf(f, "keys %ld clicks %ld\n", g_targetKeys, g_targetClicks);
        std::fclose(f);
    }
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN && wp == 'A') {
        ++g_targetKeys;
        WriteTargetStatus();
    } else if (msg == WM_LBUTTONDOWN) {
        ++g_targetClicks;
        WriteTargetStatus();
    } else if (msg == WM_TIMER || msg == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int RunTarget(const char* seconds, const char* status, bool full)
{
    g_targetStatus = status;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "VeloduskProbeTarget";
    RegisterClassA(&wc);
    RECT r = kTargetRect;
    if (full) SetRect(&r, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "target", WS_POPUP | (full ? 0 : WS_BORDER) | WS_VISIBLE, r.left,
                                r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(hwnd);
    SetTimer(hwnd, 1, std::strtoul(seconds, nullptr, 10) * 1000, nullptr);
    WriteTargetStatus();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "target") == 0)
        return RunTarget(argv[2], argv[3], argc == 5 && std::strcmp(argv[4], "full") == 0);
    // The tests run Velodusk inside a named virtual desktop, the prefix's default
    // while they run; window searches only see the calling thread's desktop, so
    // join it by name before any window exists all the same.
    // "hold MOD VK SECONDS STATUSFILE": started by explorer on the tests' desktop
    // before Velodusk, it takes the hot key, says so in the file, and keeps it
    // until the serving probe's "unhold" or the time runs out.
    if (argc == 6 && std::strcmp(argv[1], "hold") == 0) {
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "VeloduskProbeUnhold");
        BOOL ok = RegisterHotKey(nullptr, 1, std::strtoul(argv[2], nullptr, 16), std::strtoul(argv[3], nullptr, 16));
        DWORD err = GetLastError();
        if (FILE* f = std::fopen(argv[5], "w")) {
            std::fprintf(f, ok ? "ok\n" : "err %lu\n", err);
            std::fclose(f);
        }
        WaitForSingleObject(done, std::strtoul(argv[4], nullptr, 10) * 1000);
        return ok ? 0 : 1;
    }
    if (argc > 1) {
        HDESK desk = OpenDesktopA(argv[1], 0, FALSE, GENERIC_ALL);
        if (!desk || !SetThreadDesktop(desk)) {
            std::fprintf(stderr, "probe: cannot join desktop %s (%lu)\n", argv[1], GetLastError());
            return 2;
        }
    }
    // The first window call makes Wine start the desktop's explorer and wait for
    // it: "ready" then means the desktop (and its X window) is up.
    GetDesktopWindow();
    Reply("ready");

    char line[4096];
    bool held = false;
    while (std::fgets(line, sizeof(line), stdin)) {
        std::vector<char*> a;
        for (char* tok = std::strtok(line, " \r\n"); tok; tok = std::strtok(nullptr, " \r\n"))
            a.push_back(tok);
        if (a.empty()) continue;
        std::string cmd = a[0];
        if (cmd == "quit") {
            break;
        } else if (cmd == "find" && a.size() == 2) {
            std::vector<HWND> w = TopLevel(Unhex(a[1]), "");
            if (w.empty()) {
                Reply("none");
                continue;
            }
            RECT r = {};
            GetWindowRect(w[0], &r);
            DWORD pid = 0;
            GetWindowThreadProcessId(w[0], &pid);
            Reply(Fmt("ok %lx %d %lx %s %ld %ld %ld %ld", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w[0])),
                      IsWindowVisible(w[0]) ? 1 : 0, pid, ClassOf(w[0]).c_str(), r.left, r.top, r.right, r.bottom));
        } else if (cmd == "click" && a.size() == 3) {
            HWND ctrl = GetDlgItem(ParseHwnd(a[1]), static_cast<int>(std::strtol(a[2], nullptr, 16)));
            Reply(ctrl && PostMessageA(ctrl, BM_CLICK, 0, 0) ? "ok" : Fmt("err %lu", GetLastError()));
        } else if ((cmd == "post" || cmd == "send") && a.size() == 5) {
            HWND hwnd = ParseHwnd(a[1]);
            UINT msg = static_cast<UINT>(std::strtoul(a[2], nullptr, 16));
            WPARAM wp = std::strtoul(a[3], nullptr, 16);
            LPARAM lp = static_cast<LPARAM>(std::strtoul(a[4], nullptr, 16));
            if (cmd == "post") {
                Reply(PostMessageA(hwnd, msg, wp, lp) ? "ok" : Fmt("err %lu", GetLastError()));
            } else {
                DWORD_PTR res = 0;
                if (SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &res))
                    Reply(Fmt("ok %lx", static_cast<unsigned long>(res)));
                else
                    Reply(Fmt("err %lu", GetLastError()));
            }
        } else if (cmd == "windows" && a.size() == 2) {
            std::string out = "ok";
            for (HWND w : TopLevel("", a[1])) {
                RECT r = {};
                GetWindowRect(w, &r);
                out += Fmt(" %lx:%d:%ld,%ld,%ld,%ld", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)),
                           IsWindowVisible(w) ? 1 : 0, r.left, r.top, r.right, r.bottom);
            }
            Reply(out);
        } else if (cmd == "tooltips") {
            std::string out = "ok";
            for (HWND w : TopLevel("", "tooltips_class32"))
                out += Fmt(" %lx:%d:", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)),
                           IsWindowVisible(w) ? 1 : 0) + Hex(Text(w));
            Reply(out);
        } else if (cmd == "msgbox" && a.size() == 2) {
            std::vector<HWND> w = TopLevel(Unhex(a[1]), "#32770");
            if (w.empty()) {
                Reply("none");
                continue;
            }
            Statics st;
            EnumChildWindows(w[0], CollectStatics, reinterpret_cast<LPARAM>(&st));
            Reply(Fmt("ok %lx %d %u ", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w[0])), st.icon ? 1 : 0,
                      static_cast<unsigned>(w.size())) + Hex(st.text));
        } else if (cmd == "textsw" && a.size() == 2) {
            // The window's text, then each child's id, class and text, in the order
            // the dialog manager created them.
            HWND hwnd = ParseHwnd(a[1]);
            std::string out = "ok " + Hex(TextW(hwnd));
            for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                out += Fmt(" %x:", GetDlgCtrlID(c) & 0xFFFF) + ClassOf(c) + ":" + Hex(TextW(c));
            Reply(out);
        } else if (cmd == "hold" && a.size() == 3) {
            if (held) UnregisterHotKey(nullptr, 1);
            held = RegisterHotKey(nullptr, 1, std::strtoul(a[1], nullptr, 16), std::strtoul(a[2], nullptr, 16));
            Reply(held ? "ok" : Fmt("err %lu", GetLastError()));
        } else if (cmd == "foreground") {
            HWND w = GetForegroundWindow();
            RECT r = {};
            DWORD pid = 0;
            if (!w || !GetWindowRect(w, &r) || !GetWindowThreadProcessId(w, &pid)) {
                Reply("none");
                continue;
            }
            Reply(Fmt("ok %lx %lx %s %lx %ld %ld %ld %ld", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)), pid,
                      ClassOf(w).c_str(), static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)), r.left, r.top,
                      r.right, r.bottom));
        } else if (cmd == "tick") {
            Reply(Fmt("ok %lu", GetTickCount()));
        } else if (cmd == "unhold") {
            HANDLE ev = OpenEventA(EVENT_MODIFY_STATE, FALSE, "VeloduskProbeUnhold");
            Reply(ev && SetEvent(ev) ? "ok" : Fmt("err %lu", GetLastError()));
            if (ev) CloseHandle(ev);
        } else if (cmd == "release") {
            if (held) UnregisterHotKey(nullptr, 1);
            held = false;
            Reply("ok");
        } else if (cmd == "item" && a.size() == 3) {
            HWND ctrl = GetDlgItem(ParseHwnd(a[1]), static_cast<int>(std::strtol(a[2], nullptr, 16)));
            if (!ctrl) {
                Reply("none");
                continue;
            }
            RECT r = {};
            GetWindowRect(ctrl, &r);
            Reply(Fmt("ok %lx %ld %ld %ld %ld %d ", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ctrl)),
                      r.left, r.top, r.right, r.bottom, IsWindowEnabled(ctrl) ? 1 : 0) + Hex(Text(ctrl)));
        } else if (cmd == "child" && a.size() == 3) {
            HWND ctrl = GetDlgItem(ParseHwnd(a[1]), static_cast<int>(std::strtol(a[2], nullptr, 16)));
            RECT r = {};
            if (!ctrl || !GetWindowRect(ctrl, &r)) {
                Reply("none");
                continue;
            }
            Reply(Fmt("ok %ld %ld %ld %ld %d", r.left, r.top, r.right, r.bottom, IsWindowVisible(ctrl) ? 1 : 0));
        } else if (cmd == "counts" && a.size() == 2) {
            DWORD pid = std::strtoul(a[1], nullptr, 16);
            if (!pid) pid = GetCurrentProcessId();
            Reply(Fmt("ok %ld %ld %ld", GdiObjects(pid), KernelHandles(pid), Windows(pid)));
        } else if (cmd == "register" && a.size() == 2) {
            Reply(Fmt("ok %x", RegisterWindowMessageA(Unhex(a[1]).c_str())));
        } else if (cmd == "untray" && a.size() == 3) {
            NOTIFYICONDATAA nid = {};
            nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
            nid.hWnd = ParseHwnd(a[1]);
            nid.uID = static_cast<UINT>(std::strtoul(a[2], nullptr, 16));
            Reply(Shell_NotifyIconA(NIM_DELETE, &nid) ? "ok" : "err");
        } else if (cmd == "copydata" && a.size() == 5) {
            static HWND own = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            HWND sender = std::strcmp(a[2], "self") == 0 ? own : ParseHwnd(a[2]);
            // What a second start sends: the switches' flags, then no block minutes (-1).
            DWORD payload[2] = {std::strtoul(a[4], nullptr, 16), 0xFFFFFFFFu};
            COPYDATASTRUCT data = {std::strtoul(a[3], nullptr, 16), sizeof(payload), payload};
            DWORD_PTR res = 0;
            if (SendMessageTimeoutA(ParseHwnd(a[1]), WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                                    reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &res))
                Reply(Fmt("ok %lx", static_cast<unsigned long>(res)));
            else
                Reply(Fmt("err %lu", GetLastError()));
        } else if (cmd == "make" && a.size() == 2) {
            HDC screen = GetDC(nullptr);
            for (long i = 0, n = std::strtol(a[1], nullptr, 10); i < n; ++i) {
                CreateCompatibleBitmap(screen, 8, 8);
                CreateEventA(nullptr, FALSE, FALSE, nullptr);
                CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            }
            ReleaseDC(nullptr, screen);
            Reply("ok");
        } else {
            Reply("err usage");
        }
    }
    return 0;
}
