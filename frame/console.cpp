#include "console.h"

#include <cstring>

#include "api/console_receiver.h"
#include "component.h"
#include "service_lookup.h"

namespace console {

void print(const char* text) {
    if (!component::services_initialised()) return;
    size_t length = std::strlen(text);
    for_each_service<console_receiver>([&](service_ptr_t<console_receiver>& receiver) { receiver->print(text, length); });
}

void print(const std::string& text) { print(text.c_str()); }

}  // namespace console
