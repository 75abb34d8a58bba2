// Crash-report scope markers: a per-thread stack of labels.
#include <vector>

#include "shared_host.h"

namespace {
thread_local std::vector<const char*> t_labels;
}

uCallStackTracker::uCallStackTracker(const char* label) : m_depth(t_labels.size()) { t_labels.push_back(label); }

// Markers close in reverse order; resizing (rather than popping) also mends the stack
// if an inner marker was skipped by a structured-exception unwind.
uCallStackTracker::~uCallStackTracker() { t_labels.resize(m_depth); }

bool uGetCallStackPath(string_sink& out) {
    std::string path;
    for (const char* label : t_labels) {
        if (!path.empty()) path += " / ";
        path += label;
    }
    out.set_string(path);
    return !path.empty();
}
