#include "main_thread.h"

#include "api/shared.h"
#include "component.h"

void assert_main_thread() {
    if (component::services_initialised() && !component::api()->is_main_thread()) uBugCheck();
}
