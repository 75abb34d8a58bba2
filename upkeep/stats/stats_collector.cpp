// Placeholder until the statistics collector exists: an empty object.
#include "stats_collector.h"

JSONValuePtr AUStats::Collect() { return JSONValue::newObject(); }
