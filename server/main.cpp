// update-server: the update server of the Tendwell component, its key tool and its
// catalogue commands. See usage_text() in command_line.cpp.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "catalogue.h"
#include "catalogue_json.h"
#include "command_line.h"
#include "file_io.h"
#include "key_files.h"
#include "serve_command.h"

namespace {

int run_keygen(const command_line& options) {
    key_file_names names = write_new_key_files(options.key_folder, options.key_prefix);
    std::cout << "Wrote " << names.private_pem << " (private: keep it secret), " << names.public_pem << " and "
              << names.public_blob << "\n";
    return 0;
}

int run_catalogue_import(const command_line& options) {
    std::string text = options.json_path == "-"
                           ? std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>())
                           : read_file(options.json_path);
    std::vector<catalogue_entry> entries = catalogue_from_json(text);
    catalogue_db(options.db_path).replace_all(entries);
    std::cerr << "Imported " << entries.size() << " components into " << options.db_path << "\n";
    return 0;
}

int run_catalogue_export(const command_line& options) {
    std::string text = catalogue_to_json(catalogue_db(options.db_path).read_all());
    if (options.json_path == "-") std::cout << text;
    else replace_file(options.json_path, text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    command_line options;
    try {
        options = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& e) {
        std::cerr << "update-server: " << e.what() << "\n";
        return 2;
    }
    try {
        switch (options.what) {
            case command_line::action::help:
                std::cout << usage_text();
                return 0;
            case command_line::action::serve:
                return run_serve_command(options);
            case command_line::action::keygen:
                return run_keygen(options);
            case command_line::action::catalogue_import:
                return run_catalogue_import(options);
            case command_line::action::catalogue_export:
                return run_catalogue_export(options);
        }
    } catch (const std::exception& e) {
        std::cerr << "update-server: " << e.what() << "\n";
    }
    return 1;
}
