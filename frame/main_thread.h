// The main-thread assertion for operations that belong to the host's main thread:
// once services are initialised, a call from another thread is a bug check (the
// host's crash path). Before that the check passes.
#pragma once

void assert_main_thread();
