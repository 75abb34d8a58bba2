#include "serve_command.h"

#include <pthread.h>
#include <signal.h>

#include <memory>
#include <thread>

#include "access_log.h"
#include "answer_signer.h"
#include "catalogue.h"
#include "file_io.h"
#include "http_server.h"
#include "rsa_keys.h"

namespace {

std::shared_ptr<const catalogue_index> load_catalogue(const std::string& db_path) {
    catalogue_db db(db_path);
    return std::make_shared<const catalogue_index>(db.read_all());
}

sigset_t handled_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// Waits for signals on its own thread: the handlers may then do anything, and the
// worker threads, which inherit the blocked mask, never see them.
void handle_signals(update_http_server& server, const std::string& db_path) {
    sigset_t set = handled_signals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (signal == SIGHUP) {
            try {
                auto catalogue = load_catalogue(db_path);
                size_t size = catalogue->size();
                server.replace_catalogue(std::move(catalogue));
                write_event_log("catalogue reloaded", std::to_string(size) + " components");
            } catch (const std::exception& e) {
                write_event_log("catalogue reload failed", e.what());
            }
            continue;
        }
        write_event_log("stopping", signal == SIGINT ? "SIGINT" : "SIGTERM");
        server.stop();
        return;
    }
}

}  // namespace

int run_serve_command(const command_line& options) {
    sigset_t set = handled_signals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    answer_signer signer(load_private_key_pem(read_file(options.key_path)));
    auto catalogue = load_catalogue(options.db_path);
    size_t known = catalogue->size();
    exchange_settings settings;
    settings.answer.public_url = options.public_url;
    settings.answer.message = options.message;
    settings.fault = options.fault;
    update_http_server server(std::move(catalogue), signer, settings);

    int port = server.bind(options.listen_address, options.port);
    if (port < 0) {
        write_event_log("cannot listen", options.listen_address + ":" + std::to_string(options.port));
        return 1;
    }
    std::string detail = options.listen_address + ":" + std::to_string(port) + ", " + std::to_string(known) +
                         " catalogue components, public URL " + options.public_url;
    if (options.fault != test_fault::none) {
        for (const test_fault_info& info : test_fault_list())
            if (info.fault == options.fault) detail += ", TEST FAULT " + std::string(info.name);
    }
    write_event_log("listening", detail);

    std::thread signals(handle_signals, std::ref(server), options.db_path);
    bool served = server.run();
    // run() also ends when serving fails; wake the signal thread so it can end too.
    pthread_kill(signals.native_handle(), SIGTERM);
    signals.join();
    write_event_log("stopped", served ? "" : "serving failed");
    return served ? 0 : 1;
}
