// Writes prebuilt update requests of numbered components, as the client builds them,
// and a catalogue that knows those components:
//   make_update_request field N FILE      the compressed post field "d"
//   make_update_request body N FILE       the whole multipart body the host posts
//   make_update_request catalogue N FILE  a catalogue JSON with every other component outdated
// Used for the fuzz seed corpus and the benchmark.
#include <cstdio>
#include <iostream>
#include <string>

#include "server/catalogue_json.h"
#include "server/file_io.h"
#include "support/client_request.h"

namespace {

std::string numbered_catalogue(size_t count) {
    std::vector<catalogue_entry> entries;
    std::vector<client_component> components = numbered_components(count);
    for (size_t i = 0; i < components.size(); ++i) {
        catalogue_entry e;
        e.file_name = components[i].file_name;
        e.name = components[i].name;
        e.version = i % 2 ? components[i].version : components[i].version + ".1";
        e.release_date = "2008-01-10";
        e.release_notes = "<p>Release notes of <b>" + components[i].name + "</b>.</p>";
        e.download_link = "http://updates.tendwell.test/get/" + components[i].file_name;
        entries.push_back(e);
    }
    return catalogue_to_json(entries);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_update_request field|body|catalogue COUNT FILE\n";
        return 2;
    }
    std::string what = argv[1];
    size_t count = std::stoul(argv[2]);
    std::string field = client_field(
        client_request_text(*client_request_document(numbered_components(count), "133790000000000000", 1)));
    std::string data;
    if (what == "field") data = field;
    else if (what == "body") data = client_multipart_body(field);
    else if (what == "catalogue") data = numbered_catalogue(count);
    else {
        std::cerr << "make_update_request: unknown kind " << what << "\n";
        return 2;
    }
    replace_file(argv[3], data);
    return 0;
}
