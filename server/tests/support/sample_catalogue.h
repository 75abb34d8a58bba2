// A small catalogue with one component of each kind, and the settings the tests serve it with.
#pragma once

#include <vector>

#include "server/catalogue.h"
#include "server/update_exchange.h"

// vel_porter.dll 1.1.3 with every release fact; vel_upkeep.dll 1; vlhost.exe ignored
// ("Updated with the player", no version); shared.dll 1.0.0 without a name.
std::vector<catalogue_entry> sample_catalogue();

extern const char* const test_public_url;  // http://updates.tendwell.test/au

exchange_settings test_settings(test_fault fault = test_fault::none);
