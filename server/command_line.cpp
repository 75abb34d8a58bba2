#include "command_line.h"

#include <stdexcept>

namespace {

class argument_reader {
public:
    explicit argument_reader(const std::vector<std::string>& arguments) : m_arguments(arguments) {}
    bool done() const { return m_next >= m_arguments.size(); }
    const std::string& next() { return m_arguments[m_next++]; }
    const std::string& value_of(const std::string& option) {
        if (done()) throw std::invalid_argument(option + " needs a value");
        return next();
    }

private:
    const std::vector<std::string>& m_arguments;
    size_t m_next = 0;
};

int parse_port(const std::string& text) {
    size_t used = 0;
    int port = -1;
    try {
        port = std::stoi(text, &used);
    } catch (const std::exception&) {
    }
    if (used != text.size() || port < 0 || port > 65535)
        throw std::invalid_argument("--port needs a number from 0 to 65535");
    return port;
}

void parse_serve(argument_reader& in, command_line& c) {
    while (!in.done()) {
        const std::string& option = in.next();
        if (option == "--listen") c.listen_address = in.value_of(option);
        else if (option == "--port") c.port = parse_port(in.value_of(option));
        else if (option == "--db") c.db_path = in.value_of(option);
        else if (option == "--key") c.key_path = in.value_of(option);
        else if (option == "--public-url") c.public_url = in.value_of(option);
        else if (option == "--message") c.message = in.value_of(option);
        else if (option == "--test-fault") {
            const std::string& name = in.value_of(option);
            std::optional<test_fault> fault = parse_test_fault(name);
            if (!fault) throw std::invalid_argument("unknown test fault " + name + " (see --help)");
            c.fault = *fault;
        } else {
            throw std::invalid_argument("unknown option " + option + " for serve");
        }
    }
    if (c.db_path.empty()) throw std::invalid_argument("serve needs --db");
    if (c.key_path.empty()) throw std::invalid_argument("serve needs --key");
    if (c.public_url.empty()) throw std::invalid_argument("serve needs --public-url");
}

void parse_keygen(argument_reader& in, command_line& c) {
    while (!in.done()) {
        const std::string& option = in.next();
        if (option == "--out") c.key_folder = in.value_of(option);
        else if (option == "--prefix") c.key_prefix = in.value_of(option);
        else throw std::invalid_argument("unknown option " + option + " for keygen");
    }
}

void parse_catalogue(argument_reader& in, command_line& c) {
    if (in.done()) throw std::invalid_argument("catalogue needs import or export");
    const std::string& verb = in.next();
    if (verb == "import") c.what = command_line::action::catalogue_import;
    else if (verb == "export") c.what = command_line::action::catalogue_export;
    else throw std::invalid_argument("catalogue needs import or export, not " + verb);
    const char* file_option = c.what == command_line::action::catalogue_import ? "--from" : "--to";
    while (!in.done()) {
        const std::string& option = in.next();
        if (option == "--db") c.db_path = in.value_of(option);
        else if (option == file_option) c.json_path = in.value_of(option);
        else throw std::invalid_argument("unknown option " + option + " for catalogue " + verb);
    }
    if (c.db_path.empty()) throw std::invalid_argument("catalogue " + verb + " needs --db");
}

}  // namespace

command_line parse_command_line(const std::vector<std::string>& arguments) {
    command_line c;
    argument_reader in(arguments);
    if (in.done()) return c;
    const std::string& command = in.next();
    if (command == "--help" || command == "-h" || command == "help") return c;
    if (command == "serve") {
        c.what = command_line::action::serve;
        parse_serve(in, c);
    } else if (command == "keygen") {
        c.what = command_line::action::keygen;
        parse_keygen(in, c);
    } else if (command == "catalogue") {
        parse_catalogue(in, c);
    } else {
        throw std::invalid_argument("unknown command " + command + " (see --help)");
    }
    return c;
}

std::string usage_text() {
    std::string text =
        "update-server: answers and signs the update checks of the Tendwell component.\n"
        "\n"
        "  update-server serve --db FILE --key PRIVATE.pem --public-url URL\n"
        "                      [--listen ADDRESS] [--port N] [--message TEXT] [--test-fault NAME]\n"
        "      Serves POST /au. --public-url is the endpoint URL exactly as the client was\n"
        "      built with it (e.g. http://updates.tendwell.test/au): answers echo the\n"
        "      client's replay key followed by it. --listen defaults to 127.0.0.1, --port\n"
        "      to 8080 (0: any free port). --message adds a message shown to every user.\n"
        "      SIGHUP reloads the catalogue; SIGINT or SIGTERM stop after the requests in\n"
        "      progress. One JSON log line per request on standard error.\n"
        "\n"
        "  update-server keygen [--out FOLDER] [--prefix NAME]\n"
        "      Creates a 512-bit RSA update key: NAME-private.pem (keep it secret),\n"
        "      NAME-public.pem and NAME-public.blob (the 84 bytes the client embeds).\n"
        "      NAME defaults to update-key. Never overwrites existing files.\n"
        "\n"
        "  update-server catalogue import --db FILE [--from CATALOGUE.json]\n"
        "  update-server catalogue export --db FILE [--to CATALOGUE.json]\n"
        "      Replaces the whole catalogue with a JSON document, or writes it as one\n"
        "      (standard input/output without a file). Document:\n"
        "      {\"components\":[{\"fileName\":..., \"name\":..., \"version\":..., \"versionDate\":...,\n"
        "        \"author\":..., \"details\":..., \"link\":..., \"ignoreReason\":...}]}\n"
        "      File names match without regard to ASCII letter case.\n"
        "\n"
        "  --test-fault NAME: FOR THE CLIENT'S TESTS ONLY, never in deployment. Every valid\n"
        "  request gets a broken answer:\n";
    for (const test_fault_info& info : test_fault_list())
        text += "      " + std::string(info.name) + std::string(18 - std::string(info.name).size(), ' ') +
                info.description + "\n";
    return text;
}
