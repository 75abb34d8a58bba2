// Whether the user could write into a folder, elevated if need be.
#pragma once

#include <windows.h>

#include <string>

// Asks AccessCheck, with the folder's security descriptor and the process token (its
// linked elevated token when the process is not elevated), for `desired` mapped
// through the file generic mapping. Answers false ("did not run") when any step before
// the check fails; otherwise true, with the granted access in `granted`.
bool probe_folder_access(const std::wstring& folder, DWORD desired, DWORD& granted);
