// The catalogue as a JSON document, for editing outside the server and for backups:
//   {"components":[{"fileName":"vel_porter.dll","name":"Send to Device",
//     "version":"1.1.3","versionDate":"2008-01-10","author":"...","details":"<p>...</p>",
//     "link":"http://...","ignoreReason":"..."}, ...]}
// Member names are those of the answer's update entries. "fileName" is required,
// "name" defaults to the empty text (answers then use the client's name), the others
// are optional strings; unknown members are refused so that a misspelt one is noticed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue.h"

// Throws std::invalid_argument with the reason when the text is not such a document.
std::vector<catalogue_entry> catalogue_from_json(std::string_view text);

// The document, one component per line.
std::string catalogue_to_json(const std::vector<catalogue_entry>& entries);
