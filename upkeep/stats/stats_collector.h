// AUStats: the anonymous statistics object sent with update requests when the user
// consented.
#pragma once

#include "upkeep/checking/json_value.h"

class AUStats {
public:
    // Builds the statistics object. Main thread.
    static JSONValuePtr Collect();
};
