// A private CUPS scheduler for tests: its own configuration, spool, logs and port in a temporary
// folder, so tests can add queues, set options and print without touching the machine's printing
// system or the user's files.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TestPpd.h"

namespace brelmont::testing {

// One queue to create: name, make-and-model (the PPD's *NickName), device address, printer-info.
struct QueueDefinition {
    std::string name;
    std::string makeAndModel;
    std::string deviceUri;
    std::string info;
    std::vector<PpdOption> options;
    std::string manufacturer = "Brelmont";
    bool customPageSize = false;
    bool customPageSizeFirst = false; // see TestPpdDescription
};

// What a command run against the server printed, and how it ended (-1: killed or not started).
struct ShellResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    bool ok() const { return exitCode == 0; }
};

class CupsServer {
public:
    CupsServer();
    ~CupsServer();
    CupsServer(const CupsServer&) = delete;
    CupsServer& operator=(const CupsServer&) = delete;

    // The scheduler's executable, or none when it is not installed.
    static std::optional<std::filesystem::path> cupsdPath();
    static bool available() { return cupsdPath().has_value(); }

    // Writes the configuration into a new temporary folder, starts the scheduler on a free
    // loopback port and waits (at most a few seconds) until it listens there. A port taken by
    // someone else in between is detected and another one tried.
    bool start(std::string* error = nullptr);
    // SIGTERM, a bounded wait, then SIGKILL; removes the folder (kept when BRELMONT_CUPS_KEEP is
    // set, for looking at the logs) and undoes applyEnvironment().
    void stop();
    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    int port() const { return m_port; }
    std::string address() const; // "127.0.0.1:PORT"

    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path serverRoot() const { return m_folder / "root"; }
    std::filesystem::path home() const { return m_folder / "home"; }
    std::filesystem::path errorLogPath() const { return m_folder / "log" / "error_log"; }
    std::string errorLog() const;

    // The variables that make the command-line tools talk only to this server (name, value);
    // an empty value means "remove the variable". See CupsServer.cpp for why each is needed.
    std::vector<std::pair<std::string, std::string>> environment() const;
    // setenv()s them in this process, so code under test that runs lpstat, lpoptions or lpr
    // through a shell reaches this server; the old values come back with restoreEnvironment().
    void applyEnvironment();
    void restoreEnvironment();

    // Runs "/bin/sh -c command" with environment() on top of this process's environment,
    // waiting at most timeoutSeconds (then the shell is killed).
    ShellResult run(const std::string& command, int timeoutSeconds = 30) const;

    // Creates an accepting, enabled queue with "lpadmin -p NAME -E -v URI -D INFO -P PPD" from a
    // description made by makeTestPpd().
    bool addQueue(const std::string& name, const std::string& makeAndModel, const std::string& deviceUri,
                  const std::string& info, const std::vector<PpdOption>& extraPpdOptions = {},
                  std::string* error = nullptr);
    bool addQueue(const QueueDefinition& queue, std::string* error = nullptr);
    bool addQueues(const std::vector<QueueDefinition>& queues, std::string* error = nullptr);
    bool removeQueue(const std::string& name);

    // The queue names as "lpstat -e" prints them, in its order.
    std::vector<std::string> queueNames() const;

private:
    bool startOnce(int port, std::string* error);
    bool waitUntilListening(std::string* error);

    pid_t m_pid = -1;
    int m_port = 0;
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_savedEnvironment;
    bool m_environmentApplied = false;
};

// Shell quoting for one literal argument.
std::string shellQuote(const std::string& value);

// The standard test queues: one per make-and-model text of the model table worth covering (maker
// "Brelmont", embosser options, custom page size) and one of another maker ("Acme LaserBlaster 9").
// deviceUriFor gives each queue's address (socket://127.0.0.1:PORT of a simulator); without it, or
// when it returns an empty text, the queue gets socket://127.0.0.1:9 (where nothing answers).
std::vector<QueueDefinition> standardQueues(const std::function<std::string(const QueueDefinition&)>& deviceUriFor = {});

} // namespace brelmont::testing
