// main.cpp: the scripted game server's command line.
//
//   scripted_server [--host ADDR] [--port N] [--port-file F] [--log F] [--timeout D] [--keep-going]
//                   [--go-dir DIR] SCENARIO
//   scripted_server --check SCENARIO...
//
// Listens on 127.0.0.1 or --host (port 0, the default, picks a free one), prints
// "listening on <port>" as the first line of stdout, plays the scenario and
// exits 0 when every step passed, 1 on a failed step or a time-out, 2 on a
// usage, scenario or socket error. --keep-going logs a failed step and plays
// on (the exit code still tells). --check only parses the files.
//
// Scenario format: one statement per line; '#' starts a comment; indentation
// is only for the reader. Durations are written 250ms or 6s; numbers are
// decimal or 0x hex; hex bytes are two digits each.
//
//   accept [within D]            wait for the client to connect
//   send CMD                     send a message: CMD in bytes 2-3, the rest 0
//   expect CMD|any [after D] [within D]
//                                the next message (ignored commands skipped)
//                                must be CMD, arrive no earlier than `after`
//                                and no later than `within` (default 10s)
//                                after the step began, and match the fields
//   expect close [within D]      the client must close the connection
//   quiet D                      nothing but ignored commands may arrive
//   no-accept D                  no client may connect
//   wait D                       let time pass; what arrives waits for later
//   close                        close the connection from the server side
//   ignore CMD... | ignore none  commands skipped while expecting another one
//                                (24, the keep-alive, at the start)
//   repeat N ... end             the enclosed lines N times
//   mark NAME                    the log line "mark NAME", for screenshots
//   await NAME [within D]        wait (default 60s) until the runner creates
//                                the file NAME in the --go-dir folder; what
//                                arrives waits for later
//
// Field lines after a send set bytes; after an expect they are checked:
//
//   seat N | byte5 N | byte7 N   bytes 6, 5, 7
//   value K = N                  value(K), 16 bits big-endian at 8+2K
//   bytes OFF = HH HH ...        raw bytes at OFF
//   text OFF "UTF-8 text"        the text's GBK bytes at OFF
//   field A..B "UTF-8 text"      GBK text at A, zero bytes after it up to B
//   zero A..B                    bytes A to B all 0
//   echo HH HH                   bytes 260-261
//   key N                        bytes 268-271, little-endian
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "scenario.h"
#include "server.h"

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitError = 2;

int usage(const std::string& why) {
    std::cerr
        << "scripted_server: " << why << "\n"
        << "usage: scripted_server [--host ADDR] [--port N] [--port-file F] [--log F] [--timeout D] [--keep-going] "
           "[--go-dir DIR] SCENARIO\n"
        << "       scripted_server --check SCENARIO...\n";
    return ExitError;
}

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

scripted::ParseResult loadScenario(const std::string& path) {
    std::string text;
    if (!readFile(path, text)) return {{}, "cannot read " + path};
    scripted::ParseResult r = scripted::parseScenario(text);
    if (!r.ok()) r.error = path + ": " + r.error;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    long port = 0;
    std::string host = "127.0.0.1";
    std::string portFile;
    std::string logPath;
    scripted::Millis timeout{120000};
    bool checkOnly = false;
    bool keepGoing = false;
    std::string goDir;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--port") {
            if (!value(v)) return usage("--port needs a number");
            char* end = nullptr;
            port = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || port < 0 || port > 65535) return usage("bad port '" + v + "'");
        } else if (a == "--host") {
            if (!value(host)) return usage("--host needs an address");
        } else if (a == "--port-file") {
            if (!value(portFile)) return usage("--port-file needs a file");
        } else if (a == "--log") {
            if (!value(logPath)) return usage("--log needs a file");
        } else if (a == "--timeout") {
            if (!value(v)) return usage("--timeout needs a duration");
            // Reuse the scenario's duration syntax through a one-line scenario.
            const auto r = scripted::parseScenario("wait " + v);
            if (!r.ok()) return usage("bad --timeout '" + v + "' (write e.g. 30s)");
            timeout = r.steps.front().duration;
        } else if (a == "--go-dir") {
            if (!value(goDir)) return usage("--go-dir needs a folder");
        } else if (a == "--keep-going") {
            keepGoing = true;
        } else if (a == "--check") {
            checkOnly = true;
        } else if (a.rfind("--", 0) == 0) {
            return usage("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) return usage("no scenario given");

    if (checkOnly) {
        int rc = 0;
        for (const auto& f : files) {
            const auto r = loadScenario(f);
            if (!r.ok()) {
                std::cerr << r.error << "\n";
                rc = ExitError;
            } else {
                std::cout << f << ": " << r.steps.size() << " steps\n";
            }
        }
        return rc;
    }
    if (files.size() != 1) return usage("exactly one scenario to play");
    const auto scenario = loadScenario(files.front());
    if (!scenario.ok()) {
        std::cerr << "scripted_server: " << scenario.error << "\n";
        return ExitError;
    }

    std::unique_ptr<std::ofstream> logFile;
    if (!logPath.empty()) {
        logFile = std::make_unique<std::ofstream>(logPath, std::ios::trunc);
        if (!*logFile) return usage("cannot write " + logPath);
    }
    std::ostream& log = logFile ? static_cast<std::ostream&>(*logFile) : std::cout;
    scripted::ScriptedServer server(log);
    server.setGoDir(goDir);
    std::string error;
    const std::uint16_t bound = server.listen(static_cast<std::uint16_t>(port), error, host);
    if (bound == 0) {
        std::cerr << "scripted_server: " << error << "\n";
        return ExitError;
    }
    std::cout << "listening on " << bound << std::endl;
    if (!portFile.empty()) {
        // Written whole under a temporary name so a reader never sees half a number.
        const std::string tmp = portFile + ".tmp";
        {
            std::ofstream pf(tmp, std::ios::trunc);
            pf << bound << "\n";
            if (!pf) return usage("cannot write " + portFile);
        }
        if (std::rename(tmp.c_str(), portFile.c_str()) != 0) return usage("cannot write " + portFile);
    }
    const auto outcome = server.run(scenario.steps, timeout, keepGoing);
    if (!outcome.ok) {
        std::cerr << "scripted_server: FAILED " << outcome.failure << std::endl;
        return ExitFailed;
    }
    std::cerr << "scripted_server: scenario passed (" << files.front() << ")" << std::endl;
    return 0;
}
