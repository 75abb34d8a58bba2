// Defined in this order on purpose: the list, and so the stored stream, runs from
// the last of them to the first.
#include "upkeep_config.h"

cfg_int_t<int32_t> cfg_check_interval_hours(guid::parse("{7EEE13A4-654B-4C14-AFE0-6CEC024839C1}"), 24);
cfg_int_t<uint64_t> cfg_last_check_time(guid::parse("{B45F74A9-A965-41E6-8E81-00B2119C095D}"), 0);
cfg_string_map cfg_hidden_updates(guid::parse("{1FB50F4F-1BD4-4F01-B065-D227F67FDA62}"));
cfg_int_t<int32_t> cfg_stats_consent(guid::parse("{89CFC434-E4FB-4707-93EC-E868D2F1614A}"), stats_consent_not_asked);
cfg_bool cfg_install_notice_off(guid::parse("{8A44DBFF-F173-4C31-8136-92EA4C9CDFAA}"), false);
