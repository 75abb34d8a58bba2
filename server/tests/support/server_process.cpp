#include "server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <thread>

#include "server/file_io.h"
#include "test_keys.h"

namespace {

pid_t spawn(const std::vector<std::string>& arguments, const std::string& output_path) {
    std::vector<char*> argv;
    std::string program = UPDATE_SERVER_PROGRAM;
    argv.push_back(&program[0]);
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int out = output_path.empty() ? open("/dev/null", O_WRONLY)
                                      : open(output_path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

int wait_exit(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int run_update_server(const std::vector<std::string>& arguments, const std::string& output_path) {
    return wait_exit(spawn(arguments, output_path));
}

temporary_folder::temporary_folder() {
    char pattern[] = "/tmp/update-server-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

temporary_folder::~temporary_folder() { std::system(("rm -rf '" + m_path + "'").c_str()); }

server_process::server_process(const std::string& catalogue_json, const std::vector<std::string>& extra_arguments) {
    write_new_file(m_folder.file("catalogue.json"), catalogue_json, 0644);
    if (run_update_server({"catalogue", "import", "--db", m_folder.file("catalogue.db"), "--from",
                           m_folder.file("catalogue.json")}) != 0)
        throw std::runtime_error("catalogue import failed");
    std::vector<std::string> arguments = {"serve",        "--db",   m_folder.file("catalogue.db"),
                                          "--key",        dev_key_path("private.pem"),
                                          "--public-url", "http://updates.tendwell.test/au",
                                          "--port",       "0"};
    arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
    m_pid = spawn(arguments, m_folder.file("server.log"));
    if (!wait_for_log("\"event\":\"listening\"")) throw std::runtime_error("the server did not start: " + log());
    std::smatch match;
    std::string text = log();
    if (!std::regex_search(text, match, std::regex("127\\.0\\.0\\.1:([0-9]+),")))
        throw std::runtime_error("no port in the log: " + text);
    m_port = std::stoi(match[1].str());
}

server_process::~server_process() {
    if (m_pid > 0) signal_and_wait(SIGKILL);
}

std::string server_process::log() const {
    return file_exists(m_folder.file("server.log")) ? read_file(m_folder.file("server.log")) : "";
}

bool server_process::wait_for_log(const std::string& text, int seconds) const {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (log().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int server_process::signal_and_wait(int signal) {
    kill(m_pid, signal);
    int status = wait_exit(m_pid);
    m_pid = -1;
    return status;
}

long server_process::peak_memory_kib() const {
    std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}
