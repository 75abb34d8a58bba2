// Helpers for the Windows tests: scratch folders, component folders assembled from
// the build's DLLs, and hosts that run in the test process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "frame/utf16.h"

// The folder of the running test program (the build's bin folder).
std::wstring program_folder();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class scratch_folder {
public:
    scratch_folder();
    ~scratch_folder();
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;
    const std::wstring& path() const { return m_path; }
    std::wstring sub(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Copies DLLs into `folder` (created when missing). Names are looked up in the
// components folder, then among the test components; "a=b" copies a under the name b.
void copy_components(const std::wstring& folder, const std::vector<std::wstring>& names);

// Options for an in-process host without a visible window.
host_options test_host_options(const std::wstring& components, const std::wstring& profile);

bool has_line(const std::vector<std::string>& lines, const std::string& line);
// True when some line starts with `prefix`.
bool has_line_starting(const std::vector<std::string>& lines, const std::string& prefix);

std::vector<uint8_t> read_file(const std::wstring& path);
void write_file(const std::wstring& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::wstring& path);

// The one instance of T's class in a host's registry (fails the test otherwise).
template <class T>
service_ptr_t<T> only_instance(host& h) {
    auto all = h.registry().all_of<T>();
    return all.size() == 1 ? all[0] : service_ptr_t<T>();
}
