// Printing to the host's console: every console receiver gets the line. Lines
// printed before the host reports services initialised are dropped. Any thread.
#pragma once

#include <string>

namespace console {
void print(const char* text);
void print(const std::string& text);
}  // namespace console
