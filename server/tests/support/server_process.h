// The update-server program run as a separate process, as an operator runs it, with
// its own temporary folder for the catalogue and the log.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs update-server with `arguments`; answers its exit code. Output goes to
// `output_path` when given, else it is discarded.
int run_update_server(const std::vector<std::string>& arguments, const std::string& output_path = "");

class temporary_folder {
public:
    temporary_folder();
    ~temporary_folder();
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

class server_process {
public:
    // Imports `catalogue_json` into a new database and starts serving it on a free port.
    explicit server_process(const std::string& catalogue_json, const std::vector<std::string>& extra_arguments = {});
    ~server_process();

    int port() const { return m_port; }
    pid_t pid() const { return m_pid; }
    const temporary_folder& folder() const { return m_folder; }
    std::string log() const;
    // Waits until the log holds `text` (at most `seconds`); answers whether it does.
    bool wait_for_log(const std::string& text, int seconds = 10) const;
    // Sends `signal` and waits for the exit; answers the exit status (-1: it did not end
    // normally).
    int signal_and_wait(int signal);
    // Peak resident memory so far (VmHWM), in KiB.
    long peak_memory_kib() const;

private:
    temporary_folder m_folder;
    pid_t m_pid = -1;
    int m_port = -1;
};
