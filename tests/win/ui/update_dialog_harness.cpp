#include <winsock2.h>

#include "update_dialog_harness.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "frame/byte_order.h"
#include "frame/utf16.h"
#include "tests/support/stream_bytes.h"

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) throw std::runtime_error(std::string("environment variable ") + name + " is not set");
    return value;
}

// A Linux path as Wine shows it: drive Z:.
std::wstring wine_path(const std::string& linux_path) {
    std::wstring path = L"Z:" + utf8_to_wide(linux_path);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// Runs a Linux program (Wine passes the arguments unchanged). Wine's handle of a
// Linux program does not follow it to its end, so callers wait for its output files.
void run_linux(const std::string& command_line) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::wstring command = utf8_to_wide(command_line);
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start: " + command_line);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

unsigned free_port() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(s);
    return ntohs(address.sin_port);
}

bool can_connect(unsigned port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    closesocket(s);
    return ok;
}

const char kInterval[] = "{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}";
const char kLastCheck[] = "{B45F74A9-A965-41E6-8E81-00B2119C095D}";
const char kHidden[] = "{1FB50F4F-1BD4-4F01-B065-D227F67FDA62}";
const char kConsent[] = "{89CFC434-E4FB-4707-93EC-E868D2F1614A}";
const char kNotice[] = "{8A44DBFF-F173-4C31-8136-92EA4C9CDFAA}";

std::vector<uint8_t> stream_of(const stored_settings& s) {
    using namespace stream_bytes;
    bytes map = u32(static_cast<uint32_t>(s.hidden.size()));
    for (const auto& [k, v] : s.hidden) map = cat({map, u32(static_cast<uint32_t>(k.size())), text(k),
                                                     u32(static_cast<uint32_t>(v.size())), text(v)});
    return cat({record(guid::parse(kNotice), {static_cast<uint8_t>(s.install_notice_off)}),
                record(guid::parse(kConsent), u32(0)), record(guid::parse(kHidden), map),
                record(guid::parse(kLastCheck), u64(s.last_check)),
                record(guid::parse(kInterval), u32(static_cast<uint32_t>(s.interval_hours)))});
}

saved_settings settings_of(const std::vector<uint8_t>& stream) {
    saved_settings out;
    size_t pos = 0;
    while (pos + 20 <= stream.size()) {
        guid id = guid::from_bytes(&stream[pos]);
        uint32_t size = le_load_u32(&stream[pos + 16]);
        const uint8_t* p = &stream[pos + 20];
        if (id == guid::parse(kLastCheck) && size == 8) out.last_check = le_load_u64(p);
        if (id == guid::parse(kNotice) && size == 1) out.install_notice_off = p[0] != 0;
        if (id == guid::parse(kHidden)) {
            uint32_t count = le_load_u32(p), at = 4;
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t n = le_load_u32(p + at);
                std::string key(reinterpret_cast<const char*>(p + at + 4), n);
                at += 4 + n;
                n = le_load_u32(p + at);
                out.hidden[key] = std::string(reinterpret_cast<const char*>(p + at + 4), n);
                at += 4 + n;
            }
        }
        pos += 20 + size;
    }
    return out;
}

}  // namespace

update_server_process::update_server_process(const std::string& catalogue_json) {
    static int counter = 0;
    const std::string server = env("VL_UPDATE_SERVER");
    const std::string work = env("VL_TEST_WORK") + "/server-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter++);
    CreateDirectoryW(wine_path(env("VL_TEST_WORK")).c_str(), nullptr);
    CreateDirectoryW(wine_path(work).c_str(), nullptr);
    // Process ids repeat between runs: files of an earlier run must not pass for new ones.
    for (const char* stale : {"/catalogue.db", "/server.pid"}) DeleteFileW(wine_path(work + stale).c_str());
    std::vector<uint8_t> json(catalogue_json.begin(), catalogue_json.end());
    write_file(wine_path(work + "/catalogue.json"), json);
    // Wine's handle of a Linux program does not follow it to its end; the database
    // appearing tells that the import is done.
    run_linux(server + " catalogue import --db " + work + "/catalogue.db --from " + work + "/catalogue.json");
    for (int i = 0; i < 200 && !file_exists(wine_path(work + "/catalogue.db")); ++i) Sleep(50);
    if (!file_exists(wine_path(work + "/catalogue.db"))) throw std::runtime_error("catalogue import failed");
    Sleep(200);
    m_port = free_port();
    // Wine cannot end a Linux program it started, and the program would keep the test
    // runner's output open: a shell starts the server in the background with its own
    // output, bounded in time, and leaves its process id for the destructor.
    const std::string pid_file = work + "/server.pid";
    run_linux("/bin/sh -c \"timeout 900 " + server + " serve --db " + work + "/catalogue.db --key " +
                  env("VL_UPDATE_KEY") + " --public-url http://updates.tendwell.test/au --port " +
                  std::to_string(m_port) + " >" + work + "/server.log 2>&1 </dev/null & echo $! >" + pid_file + "\"");
    for (int i = 0; i < 200 && m_pid.empty(); ++i) {
        std::vector<uint8_t> text;
        if (file_exists(wine_path(pid_file))) text = read_file(wine_path(pid_file));
        if (!text.empty() && text.back() == '\n')
            m_pid.assign(text.begin(), text.end() - 1);
        else
            Sleep(25);
    }
    if (m_pid.empty()) throw std::runtime_error("the update server did not start");
    for (int i = 0; i < 100 && !can_connect(m_port); ++i) Sleep(50);
}

update_server_process::~update_server_process() {
    run_linux("/bin/sh -c \"kill " + m_pid + "\"");  // the shell's own kill: no procps needed
}

dialog_host::dialog_host(const update_server_process& server, const stored_settings& settings) {
    copy_components(m_scratch.sub(L"components"), {L"vel_upkeep.dll", L"vel_porter.dll", L"vel_probe.dll"});
    CreateDirectoryW(m_scratch.sub(L"profile").c_str(), nullptr);
    CreateDirectoryW(m_scratch.sub(L"profile\\configuration").c_str(), nullptr);
    write_file(m_scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg"), stream_of(settings));
    host_options options = test_host_options(m_scratch.sub(L"components"), m_scratch.sub(L"profile"));
    options.script_dialogs = true;
    options.http_mappings.push_back(L"updates.tendwell.test:80=127.0.0.1:" + std::to_wstring(server.port()));
    m_host = std::make_unique<host>(options);
    m_host->start();
}

dialog_host::~dialog_host() {
    if (m_host) shut_down();
}

bool dialog_host::pump_until(const std::function<bool()>& done, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout_ms) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void dialog_host::pump_for(DWORD ms) {
    DWORD start = GetTickCount();
    pump_until([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

HWND dialog_host::check_and_wait_for_dialog() {
    m_host->menu().execute_by_name("Check for updates...");
    pump_until([] { return find_update_list_dialog() != nullptr; });
    return find_update_list_dialog();
}

saved_settings dialog_host::shut_down() {
    m_host.reset();
    return settings_of(read_file(m_scratch.sub(L"profile\\configuration\\vel_upkeep.dll.cfg")));
}

HWND find_update_list_dialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t title[64] = L"", cls[64] = L"";
            GetWindowTextW(window, title, 64);
            GetClassNameW(window, cls, 64);
            if (std::wstring(title) == L"Tendwell" && std::wstring(cls) == L"#32770" && GetDlgItem(window, 1000)) {
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string window_text(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return wide_to_utf8(text);
}

std::vector<std::vector<std::string>> list_rows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int row = 0, n = ListView_GetItemCount(list); row < n; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            wchar_t text[512] = L"";
            ListView_GetItemText(list, row, column, text, 512);
            cells.push_back(wide_to_utf8(text));
        }
        rows.push_back(cells);
    }
    return rows;
}

int row_check_image(HWND list, int row) {
    return static_cast<int>((ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

std::string rich_text(HWND view) {
    GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
    int n = static_cast<int>(SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return wide_to_utf8(text);
}

bool rich_is_link(HWND view, long from, long to) {
    CHARRANGE range{from, to};
    SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwMask & CFM_LINK) && (format.dwEffects & CFE_LINK);
}

std::vector<std::string> rich_link_texts(HWND view) {
    const std::wstring text = utf8_to_wide(rich_text(view));
    std::vector<std::string> links;
    std::wstring run;
    for (long i = 0; i < static_cast<long>(text.size()); ++i) {
        if (rich_is_link(view, i, i + 1)) {
            run += text[static_cast<size_t>(i)];
        } else if (!run.empty()) {
            links.push_back(wide_to_utf8(run));
            run.clear();
        }
    }
    if (!run.empty()) links.push_back(wide_to_utf8(run));
    return links;
}

int selected_row(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

menu_keys::menu_keys(std::vector<WPARAM> keys) {
    auto* data = new std::vector<WPARAM>(std::move(keys));
    m_thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            std::unique_ptr<std::vector<WPARAM>> keys(static_cast<std::vector<WPARAM>*>(p));
            for (int i = 0; i < 400; ++i) {
                HWND menu = FindWindowW(L"#32768", nullptr);
                if (menu && IsWindowVisible(menu)) {
                    Sleep(100);
                    for (WPARAM key : *keys) {
                        PostMessageW(menu, WM_KEYDOWN, key, 0);
                        Sleep(50);
                    }
                    return 0;
                }
                Sleep(25);
            }
            return 1;
        },
        data, 0, nullptr);
}

menu_keys::~menu_keys() {
    WaitForSingleObject(m_thread, 15000);
    CloseHandle(m_thread);
}

press_in_next_dialog::press_in_next_dialog(const wchar_t* caption, int button, HWND not_this,
                                           std::function<void(HWND)> look)
    : m_caption(caption), m_button(button), m_not_this(not_this), m_look(std::move(look)) {
    m_thread = CreateThread(nullptr, 0, &press_in_next_dialog::run, this, 0, nullptr);
}

press_in_next_dialog::~press_in_next_dialog() {
    WaitForSingleObject(m_thread, 15000);
    CloseHandle(m_thread);
}

DWORD WINAPI press_in_next_dialog::run(void* p) {
    auto* self = static_cast<press_in_next_dialog*>(p);
    for (int i = 0; i < 600; ++i) {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", self->m_caption.c_str()))) {
            if (window != self->m_not_this && IsWindowVisible(window)) {
                self->m_seen = window;
                Sleep(200);
                if (self->m_look) self->m_look(window);
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(self->m_button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, self->m_button)));
                return 0;
            }
        }
        Sleep(25);
    }
    return 1;
}

std::string save_window_png(HWND window, const std::string& name) {
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The window as it is on the screen (the test display has no other windows over it).
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{sizeof info, w, -h, 1, 24, BI_RGB};
    int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * h);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof info};
    std::vector<uint8_t> bmp(sizeof file + sizeof info + pixels.size());
    std::memcpy(bmp.data(), &file, sizeof file);
    std::memcpy(bmp.data() + sizeof file, &info, sizeof info);
    std::memcpy(bmp.data() + sizeof file + sizeof info, pixels.data(), pixels.size());
    const std::string base = env("VL_TEST_WORK") + "/" + name;
    write_file(wine_path(base + ".bmp"), bmp);
    run_linux("/usr/bin/convert " + base + ".bmp " + base + ".png");
    for (int i = 0; i < 200 && !file_exists(wine_path(base + ".png")); ++i) Sleep(50);
    return base + ".png";
}
