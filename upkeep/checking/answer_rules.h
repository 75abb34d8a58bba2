// What the update notifier accepts in an answer and what it makes of it, without
// Windows: the schema check of the worker thread, the hidden-updates reconciliation
// and the summary line of the main thread. Portable.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "json_value.h"

// The answer's "version" must read digits "." digits; major 0 and majors above 1 are
// refused. Throws std::exception-derived errors with the user-facing messages.
void check_answer_version(const JSONValue& answer);

// "updates" must be an array of valid update entries; throws JSONValueException with
// the access messages, or "Invalid entry state.".
void check_answer_updates(const JSONValue& answer);

// The outcome of matching an answer with the stored hidden updates.
struct hidden_reconciliation {
    size_t updated = 0;   // entries with state 2 (outdated)
    size_t hidden = 0;    // of those, the ones hidden in exactly the offered version
    size_t removed = 0;   // stored entries no longer offered in the hidden version
    std::map<std::string, std::string> still_hidden;  // file name -> version
};

// Marks every outdated entry whose stored hidden version equals the offered "version"
// with "_hidden": true, and answers the counts and the entries that stay hidden.
hidden_reconciliation reconcile_hidden_updates(const JSONValue& updates,
                                               const std::map<std::string, std::string>& stored);

// The console line that sums up a successful check (with the "[Autoupdate] " prefix).
std::string check_summary_line(size_t updated, size_t hidden, size_t removed);
