#include "path_text.h"

std::string_view path_file_name_part(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (is_path_separator(path[i - 1])) return path.substr(i);
    return path;
}
