// The answer to an update check: {"key":..., "updates":[...], "version":"1.1"} and
// "message" when the operator set one.
//
// One update entry per requested component, in request order:
//   state 0 unknown   the catalogue has no such file name: "fileName", "name",
//                     "curVersion" as the request gave them
//   state 1 latest    the catalogue version is not newer than "curVersion"
//   state 2 outdated  the catalogue version is newer (version_order.h)
//   state 3 ignored   the catalogue gives a reason not to offer updates: "ignoreReason"
// Known components also carry "version", "versionDate", "author", "details" (release
// notes HTML) and "link" where the catalogue has them, and the catalogue's component
// name when it has one. "fileName" and "curVersion" always echo the request byte for
// byte: the client keys its hidden updates by file name.
#pragma once

#include <optional>
#include <string>

#include "catalogue.h"
#include "update_request.h"
#include "upkeep/checking/json_value.h"

enum entry_state : int64_t { state_unknown = 0, state_latest = 1, state_outdated = 2, state_ignored = 3 };

struct answer_settings {
    // The update endpoint's URL exactly as the client was built with it; the client
    // expects its replay key followed by this text back.
    std::string public_url;
    std::optional<std::string> message;
};

entry_state answer_state(const installed_component& component, const catalogue_entry* known);

JSONValuePtr answer_entry(const installed_component& component, const catalogue_entry* known);

JSONValuePtr build_answer(const update_request& request, const catalogue_index& catalogue,
                          const answer_settings& settings);
