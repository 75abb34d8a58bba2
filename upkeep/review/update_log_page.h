// The update log page: the XHTML page of download links that the install hand-off
// writes and opens. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "upkeep/checking/json_value.h"

// Replaces '"', '&', '<' and '>' by their entities; every other byte is copied.
std::string html_escape(std::string_view text);

// The page for the answer's update entries: the chosen ones (state 2 and skip flag
// clear) as links, then those up to date, then all others. `generated_at` is the
// local time "YYYY-MM-DD hh:mm" of the footer. Lines end with a line feed.
std::string build_update_log_page(const JSONValue& updates, const std::vector<bool>& skip,
                                  const std::string& generated_at);
