// The configuration variables of the update notifier, kept by the host between runs.
#pragma once

#include <cstdint>

#include "frame/cfg_var.h"

// Check interval in hours; 0 means never.
extern cfg_int_t<int32_t> cfg_check_interval_hours;
// Time of the last completed check as a Windows file time; 0 means no check yet.
extern cfg_int_t<uint64_t> cfg_last_check_time;
// Hidden updates: component file name to the version the user chose to hide.
extern cfg_string_map cfg_hidden_updates;
// Statistics consent: 0 refused, 1 given, 2 not asked yet.
extern cfg_int_t<int32_t> cfg_stats_consent;
// The install notice is not to be shown again.
extern cfg_bool cfg_install_notice_off;

// Values of cfg_stats_consent.
enum : int32_t { stats_consent_refused = 0, stats_consent_given = 1, stats_consent_not_asked = 2 };
