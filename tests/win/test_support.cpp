#include "test_support.h"

#include <shellapi.h>

#include <atomic>
#include <stdexcept>

#include "frame/utf16.h"

std::wstring program_folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

scratch_folder::scratch_folder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    m_path = std::wstring(temp) + L"vltest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(counter++);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

scratch_folder::~scratch_folder() {
    std::wstring from = m_path + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

void copy_components(const std::wstring& folder, const std::vector<std::wstring>& names) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& spec : names) {
        size_t eq = spec.find(L'=');
        std::wstring name = spec.substr(0, eq);
        std::wstring target = eq == std::wstring::npos ? name : spec.substr(eq + 1);
        std::wstring source = program_folder() + L"\\components\\" + name;
        if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES)
            source = program_folder() + L"\\test-components\\" + name;
        if (!CopyFileW(source.c_str(), (folder + L"\\" + target).c_str(), FALSE))
            throw std::runtime_error("cannot copy " + wide_to_utf8(source));
    }
}

host_options test_host_options(const std::wstring& components, const std::wstring& profile) {
    host_options options;
    options.components_folder = components;
    options.profile_folder = profile;
    options.show_window = false;
    return options;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

bool has_line_starting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

std::vector<uint8_t> read_file(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    bytes.resize(size);
    if (size) ReadFile(file, bytes.data(), size, &got, nullptr);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

void write_file(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write file");
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
