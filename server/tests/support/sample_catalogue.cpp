#include "sample_catalogue.h"

const char* const test_public_url = "http://updates.tendwell.test/au";

std::vector<catalogue_entry> sample_catalogue() {
    catalogue_entry porter;
    porter.file_name = "vel_porter.dll";
    porter.name = "Send to Device";
    porter.version = "1.1.3";
    porter.release_date = "2008-01-10";
    porter.author = "Tendwell team";
    porter.release_notes = "<p>Copies <b>faster</b>.</p>";
    porter.download_link = "http://updates.tendwell.test/get/vel_porter-1.1.3.zip";

    catalogue_entry upkeep;
    upkeep.file_name = "vel_upkeep.dll";
    upkeep.name = "Tendwell";
    upkeep.version = "1";
    upkeep.download_link = "http://updates.tendwell.test/get/vel_upkeep-1.zip";

    catalogue_entry host;
    host.file_name = "vlhost.exe";
    host.name = "Vellora";
    host.ignore_reason = "Updated with the player";

    catalogue_entry shared;
    shared.file_name = "shared.dll";
    shared.version = "1.0.0";

    return {porter, upkeep, host, shared};
}

exchange_settings test_settings(test_fault fault) {
    exchange_settings settings;
    settings.answer.public_url = test_public_url;
    settings.fault = fault;
    return settings;
}
