// A crash-report scope marker usable from portable code: on Windows it opens the
// host's uCallStackTracker for its lifetime; elsewhere it does nothing. The label must
// outlive the marker (a literal).
#pragma once

class scope_marker {
public:
    explicit scope_marker(const char* label);
    ~scope_marker();
    scope_marker(const scope_marker&) = delete;
    scope_marker& operator=(const scope_marker&) = delete;

private:
    [[maybe_unused]] alignas(void*) unsigned char m_storage[sizeof(void*) * 2];
};
