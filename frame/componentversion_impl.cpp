#include "componentversion_impl.h"

#include "component.h"
#include "path_text.h"

void componentversion_impl_simple::get_file_name(string_sink& out) { out.set_string(component::library_file_name()); }

bool component_file_check_impl::is_file_name_valid(const char* library_path) {
    return path_file_name_part(library_path) == m_expected;
}
