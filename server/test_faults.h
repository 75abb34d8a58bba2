// Deliberately broken answers, for the client's tests only: a server started with
// --test-fault NAME answers every valid request with that fault. Never use one in
// deployment.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class test_fault {
    none,
    altered_body,     // one byte of the body changed after signing
    no_signature,     // no signature header
    short_signature,  // a signature header of three characters
    key_without_url,  // "key" echoes the request key without the public URL
    version_0_9,      // answer "version" "0.9"
    version_2_0,      // answer "version" "2.0"
    entry_state_4,    // an extra entry with "state" 4
    http_500,         // HTTP status 500, no answer
    inflate_padding,  // an extra unknown member that makes the body inflate to far more than ten times its size
};

struct test_fault_info {
    test_fault fault;
    const char* name;         // as given to --test-fault
    const char* description;  // for --help
};

// Every fault except none, in declaration order.
const std::vector<test_fault_info>& test_fault_list();

std::optional<test_fault> parse_test_fault(std::string_view name);
