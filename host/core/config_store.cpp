#include "config_store.h"

#include <windows.h>

#include "frame/api/exceptions.h"
#include "frame/utf16.h"
#include "frame/win32_handles.h"

config_store::config_store(std::wstring folder) : m_folder(std::move(folder)) {
    CreateDirectoryW(m_folder.c_str(), nullptr);
}

std::wstring config_store::path_of(const std::string& component_file_name) const {
    return m_folder + L"\\" + utf8_to_wide(component_file_name) + L".cfg";
}

std::vector<uint8_t> config_store::load(const std::string& component_file_name) const {
    std::vector<uint8_t> bytes;
    file_handle_t file(CreateFileW(path_of(component_file_name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return bytes;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    return bytes;
}

void config_store::save(const std::string& component_file_name, const std::vector<uint8_t>& bytes) const {
    std::wstring target = path_of(component_file_name);
    std::wstring temporary = target + L".new";
    {
        file_handle_t file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file) throw exception_win32(GetLastError());
        DWORD written = 0;
        if (!bytes.empty() &&
            (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size())) {
            DWORD error = GetLastError();
            file.reset();
            DeleteFileW(temporary.c_str());
            throw exception_win32(error);
        }
        if (!FlushFileBuffers(file.get())) {
            DWORD error = GetLastError();
            file.reset();
            DeleteFileW(temporary.c_str());
            throw exception_win32(error);
        }
    }
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throw exception_win32(error);
    }
}

std::wstring config_store::keep_damaged_copy(const std::string& component_file_name) const {
    std::wstring source = path_of(component_file_name);
    std::wstring copy = source + L".damaged";
    return CopyFileW(source.c_str(), copy.c_str(), FALSE) ? copy : std::wstring();
}
