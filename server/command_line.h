// The command line of update-server (usage_text() shows it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "test_faults.h"

struct command_line {
    enum class action { help, serve, keygen, catalogue_import, catalogue_export };
    action what = action::help;

    // serve
    std::string listen_address = "127.0.0.1";
    int port = 8080;
    std::string db_path;
    std::string key_path;
    std::string public_url;
    std::optional<std::string> message;
    test_fault fault = test_fault::none;

    // keygen: where the key files go and how their names begin
    std::string key_folder = ".";
    std::string key_prefix = "update-key";

    // catalogue import/export: the JSON file ("-" or none: standard input/output)
    std::string json_path = "-";
};

// Throws std::invalid_argument with a one-line reason for a command line that does not fit.
command_line parse_command_line(const std::vector<std::string>& arguments);

std::string usage_text();
