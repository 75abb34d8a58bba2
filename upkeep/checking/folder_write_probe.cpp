#include "folder_write_probe.h"

#include <vector>

#include "frame/win32_handles.h"

namespace {

// Reverts the thread's impersonation when it goes.
struct impersonation {
    bool active = false;
    ~impersonation() {
        if (active) RevertToSelf();
    }
};

}  // namespace

bool probe_folder_access(const std::wstring& folder, DWORD desired, DWORD& granted) {
    granted = 0;
    constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                           DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    GetFileSecurityW(folder.c_str(), kWhat, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::vector<BYTE> descriptor(needed);
    if (!GetFileSecurityW(folder.c_str(), kWhat, descriptor.data(), needed, &needed)) return false;

    impersonation self;
    if (!ImpersonateSelf(SecurityIdentification)) return false;
    self.active = true;
    HANDLE raw_token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &raw_token)) return false;
    kernel_handle_t token(raw_token);

    GENERIC_MAPPING mapping = {0x120089, 0x120116, 0x1200A0, 0x1F01FF};
    DWORD mask = desired;
    MapGenericMask(&mask, &mapping);

    // A token that is not elevated but has a linked token answers for what the user
    // could do elevated.
    kernel_handle_t linked;
    DWORD elevated = 0, size = 0;
    if (GetTokenInformation(token.get(), TokenElevation, &elevated, sizeof elevated, &size) && elevated == 0) {
        HANDLE linked_token = nullptr;
        if (GetTokenInformation(token.get(), TokenLinkedToken, &linked_token, sizeof linked_token, &size) &&
            linked_token)
            linked.reset(linked_token);
    }
    HANDLE check_token = linked ? linked.get() : token.get();

    BYTE privileges[20] = {};
    DWORD privileges_size = sizeof privileges;
    DWORD access = 0;
    BOOL status = FALSE;
    if (!AccessCheck(descriptor.data(), check_token, mask, &mapping, reinterpret_cast<PRIVILEGE_SET*>(privileges),
                     &privileges_size, &access, &status))
        return false;
    granted = access;
    return true;
}
