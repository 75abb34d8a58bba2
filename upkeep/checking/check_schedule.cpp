#include "check_schedule.h"

#include "frame/path_text.h"

bool is_automatic_check_due(int32_t interval_hours, uint64_t last_check, uint64_t now) {
    if (interval_hours == 0) return false;
    if (last_check == 0) return true;
    return now - last_check >= static_cast<uint64_t>(static_cast<uint32_t>(interval_hours)) * kFileTimeHour;
}

std::string module_folder_of(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (!is_path_separator(path[i - 1])) continue;
        size_t cut = i - 1;
        bool keep = cut > 0 && is_path_separator(path[cut - 1]);
        return std::string(path.substr(0, keep ? cut + 1 : cut));
    }
    return std::string();
}
