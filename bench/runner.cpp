// Runs the program's benchmarks and the bare-window ones side by side, in one run, and prints
// a table of the medians against their targets.
//
// Usage: ahnemetri-bench-runner [--check] [--quick] [--startup-runs N] [--rest-seconds S]
//                               [--rest-runs N] [--answer-rounds N] [--create-count N]
//                               [--memory-runs N] [--startup-only] [--x11]
//   --check  exit with 1 when a target is missed (otherwise only a failed run is an error)
//   --quick  few repetitions and 2 s of rest, to try the setup out; not for figures
//   --rest-runs N  runs of the start window at rest; the other windows get half as many
//   --startup-only  the start-up comparison alone
//   --x11    the start-up alone, on the X server of DISPLAY instead of the offscreen platform
//
// Every benchmark program is started here with posix_spawn; the moment just before the spawn,
// on the monotonic clock, goes to the child in AHNEMETRI_BENCH_T0. The children print
// "key value" lines, which are collected per key. For the start-up the program itself, the bare
// window and the start window's form alone are started with the start-up probe preloaded
// (startupprobe.cpp).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Samples = std::map<std::string, std::vector<double>>;

struct Binaries {
    std::string startupProgram = AHNEMETRI_BENCH_STARTUP;
    std::string startupProbe = AHNEMETRI_BENCH_STARTUP_PROBE;
    std::string startupBare = AHNEMETRI_BENCH_STARTUP_BARE;
    std::string startupForm = AHNEMETRI_BENCH_STARTUP_FORM;
    std::string program = AHNEMETRI_BENCH_PROGRAM;
    std::string bare = AHNEMETRI_BENCH_BARE;
};

struct Settings {
    int startupRuns = 30;
    int restSeconds = 5;
    int restRuns = 6;
    int answerRounds = 20;
    int createCount = 100;
    int memoryRuns = 10;
    bool check = false;
    bool startupOnly = false;
    bool x11 = false;
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

[[noreturn]] void die(const std::string& what)
{
    std::fprintf(stderr, "ahnemetri-bench-runner: %s\n", what.c_str());
    std::exit(2);
}

struct Child {
    pid_t pid = -1;
    int output = -1;
    int errors = -1; // an unlinked file holding the child's standard error
    std::string command;
};

// Starts a benchmark program with its standard output on a pipe. Its standard error (Qt's
// remarks about the offscreen platform) is kept aside and shown only when the child fails.
// The environment is this process's and `extraEnvironment`, with the launch moment added last,
// written just before the spawn.
Child launch(const std::string& path, const std::vector<std::string>& args,
             const std::vector<std::string>& extraEnvironment = {})
{
    Child child;
    child.command = path;
    for (const std::string& arg : args)
        child.command += " " + arg;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        die("cannot create a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    char errorsPath[] = "/tmp/ahnemetri-bench-XXXXXX";
    child.errors = mkostemp(errorsPath, O_CLOEXEC);
    if (child.errors < 0)
        die("cannot create a temporary file");
    unlink(errorsPath);
    posix_spawn_file_actions_adddup2(&actions, child.errors, STDERR_FILENO);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    static constexpr char launchKey[] = "AHNEMETRI_BENCH_T0=";
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, launchKey, sizeof launchKey - 1) != 0)
            envp.push_back(*entry);
    }
    for (const std::string& entry : extraEnvironment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    char launchEntry[64];
    envp.push_back(launchEntry);
    envp.push_back(nullptr);

    const long long t0 = monotonicNs();
    std::snprintf(launchEntry, sizeof launchEntry, "%s%lld", launchKey, t0);
    const int error =
        posix_spawn(&child.pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error != 0)
        die("cannot start " + child.command + ": " + std::strerror(error));
    child.output = fds[0];
    return child;
}

// Reads the child's results until it ends; any failure of the child ends the run.
Samples finish(Child& child)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(child.output, buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(child.output);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        lseek(child.errors, 0, SEEK_SET);
        ssize_t n = 0;
        while ((n = read(child.errors, buffer, sizeof buffer)) > 0)
            std::fwrite(buffer, 1, static_cast<std::size_t>(n), stderr);
        die(child.command + " failed (status " + std::to_string(status) + ")");
    }
    close(child.errors);

    Samples samples;
    std::istringstream lines(text);
    std::string key;
    double value = 0;
    while (lines >> key >> value)
        samples[key].push_back(value);
    return samples;
}

Samples run(const std::string& path, const std::vector<std::string>& args,
            const std::vector<std::string>& extraEnvironment = {})
{
    Child child = launch(path, args, extraEnvironment);
    return finish(child);
}

void append(Samples& into, const Samples& from)
{
    for (const auto& [key, values] : from)
        into[key].insert(into[key].end(), values.begin(), values.end());
}

const std::vector<double>& need(const Samples& samples, const std::string& key)
{
    const auto found = samples.find(key);
    if (found == samples.end() || found->second.empty())
        die("no results for " + key);
    return found->second;
}

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const auto above = static_cast<std::size_t>(std::ceil(position));
    return values[below] + (values[above] - values[below]) * (position - std::floor(position));
}

double median(const std::vector<double>& values)
{
    return quantile(values, 0.5);
}

// Counts up on a terminal; a log gets one line per finished benchmark.
void progress(const char* what, int done, int total)
{
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    if (terminal)
        std::fprintf(stderr, "\r%-40s %d/%d", what, done, total);
    else if (done == total)
        std::fprintf(stderr, "%-40s %d/%d", what, done, total);
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

struct Row {
    std::string name;
    std::string program;
    std::string bare;
    std::string comparison;
    std::string target;
    bool met;
};

struct Detail {
    std::string name;
    const std::vector<double>* values;
    const char* unit;
};

// The table of medians against the targets; true when every target is met.
bool printRows(const std::vector<Row>& rows)
{
    std::printf("\n| Benchmark | Program (median) | Bare window (median) | Program vs bare "
                "| Target | Met |\n|---|---:|---:|---:|---|---|\n");
    bool allMet = true;
    for (const Row& row : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.name.c_str(), row.program.c_str(),
                    row.bare.c_str(), row.comparison.c_str(), row.target.c_str(),
                    row.met ? "yes" : "NO");
        allMet = allMet && row.met;
    }
    return allMet;
}

void printDetails(const std::vector<Detail>& details)
{
    std::printf("\n| Samples | n | min | median | p90 | max |\n|---|---:|---:|---:|---:|---:|\n");
    for (const Detail& detail : details) {
        const std::vector<double>& v = *detail.values;
        std::printf("| %s (%s) | %zu | %.3f | %.3f | %.3f | %.3f |\n", detail.name.c_str(),
                    detail.unit, v.size(), quantile(v, 0.0), median(v), quantile(v, 0.9),
                    quantile(v, 1.0));
    }
}

// The start-up rows: the CPU time against its target ratio, and the wall-clock time beside it.
// The start window's form alone, in place of the bare window, shows what the program's own
// start-up adds to the drawing of what the window shows.
std::vector<Row> startupRows(const Samples& program, const Samples& bare, const Samples& form,
                             double target)
{
    const double p = median(need(program, "startup_cpu_ms"));
    const double b = median(need(bare, "startup_cpu_ms"));
    const double f = median(need(form, "startup_cpu_ms"));
    const double pw = median(need(program, "startup_ms"));
    const double bw = median(need(bare, "startup_ms"));
    return {{"CPU time from exec to the first paint of the start window", format("%.1f ms", p),
             format("%.1f ms", b), format("%.2fx", p / b), format("<= %.2fx", target),
             p <= target * b},
            {"The same, against the start window's form alone (in the bare column)",
             format("%.1f ms", p), format("%.1f ms", f), format("%.2fx", p / f), "<= 1.05x",
             p <= 1.05 * f},
            {"Time from launch to the first paint (no target)", format("%.1f ms", pw),
             format("%.1f ms", bw), format("%.2fx", pw / bw), "-", true}};
}

std::vector<Detail> startupDetails(const Samples& program, const Samples& bare, const Samples& form)
{
    return {
        {"start to first paint, program", &need(program, "startup_ms"), "ms"},
        {"start to first paint, bare", &need(bare, "startup_ms"), "ms"},
        {"start to first paint, form alone", &need(form, "startup_ms"), "ms"},
        {"launch to main(), program", &need(program, "startup_main_ms"), "ms"},
        {"launch to main(), bare", &need(bare, "startup_main_ms"), "ms"},
        {"start-up CPU, program", &need(program, "startup_cpu_ms"), "ms"},
        {"start-up CPU, bare", &need(bare, "startup_cpu_ms"), "ms"},
        {"start-up CPU, form alone", &need(form, "startup_cpu_ms"), "ms"},
        {"start-up CPU to main(), program", &need(program, "startup_main_cpu_ms"), "ms"},
        {"start-up CPU to main(), bare", &need(bare, "startup_main_cpu_ms"), "ms"},
        {"start-up CPU to QApplication connected, program",
         &need(program, "startup_application_cpu_ms"), "ms"},
        {"start-up CPU to QApplication connected, bare", &need(bare, "startup_application_cpu_ms"),
         "ms"},
        {"start-up CPU to the window built, program", &need(program, "startup_built_cpu_ms"), "ms"},
        {"start-up CPU to the window built, bare", &need(bare, "startup_built_cpu_ms"), "ms"},
    };
}

int reportStartupOnly(const Samples& program, const Samples& bare, const Samples& form,
                      double target, bool check)
{
    const bool met = printRows(startupRows(program, bare, form, target));
    printDetails(startupDetails(program, bare, form));
    return check && !met ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto number = [&]() {
            if (i + 1 >= argc)
                die("missing value for " + option);
            const int value = std::atoi(argv[++i]);
            if (value <= 0)
                die("bad value for " + option);
            return value;
        };
        if (option == "--check")
            settings.check = true;
        else if (option == "--quick")
            settings = {4, 2, 2, 2, 10, 2, settings.check, settings.startupOnly, settings.x11};
        else if (option == "--startup-runs")
            settings.startupRuns = number();
        else if (option == "--rest-seconds")
            settings.restSeconds = number();
        else if (option == "--rest-runs")
            settings.restRuns = number();
        else if (option == "--answer-rounds")
            settings.answerRounds = number();
        else if (option == "--create-count")
            settings.createCount = number();
        else if (option == "--memory-runs")
            settings.memoryRuns = number();
        else if (option == "--startup-only")
            settings.startupOnly = true;
        else if (option == "--x11")
            settings.x11 = true;
        else
            die("unknown option " + option);
    }
    // The benchmarks need no display; a caller's own choice of platform is overridden so that
    // the program and the bare windows always run on the same one.
    if (settings.x11 && !std::getenv("DISPLAY"))
        die("--x11 needs an X server in DISPLAY");
    setenv("QT_QPA_PLATFORM", settings.x11 ? "xcb" : "offscreen", 1);

    const Binaries bin;
    Samples program;
    Samples bare;
    Samples form;

    // The program as it is built, the bare window and the start window's form alone, all with
    // the probe loaded into them; the probe checks that the program and the form show IntroFrm.
    const std::string probe = "LD_PRELOAD=" + bin.startupProbe;
    const std::vector<std::string> introEnvironment = {probe, "AHNEMETRI_BENCH_WINDOW=IntroFrm"};
    struct Starter {
        const std::string& path;
        const std::vector<std::string> environment;
        Samples& samples;
    };
    const Starter starters[] = {{bin.startupProgram, introEnvironment, program},
                                {bin.startupBare, {probe}, bare},
                                {bin.startupForm, introEnvironment, form}};
    // One launch of each first, so that all find the libraries in the page cache.
    for (const Starter& starter : starters)
        run(starter.path, {}, starter.environment);
    for (int i = 0; i < settings.startupRuns; ++i) {
        // Taking turns at going first evens out any drift of the machine.
        for (int k = 0; k < 3; ++k) {
            const Starter& starter = starters[(i + k) % 3];
            append(starter.samples, run(starter.path, {}, starter.environment));
        }
        progress("start to first paint", i + 1, settings.startupRuns);
    }
    if (settings.x11 || settings.startupOnly)
        return reportStartupOnly(program, bare, form, settings.x11 ? 1.05 : 1.15, settings.check);

    // Each window at rest beside a bare window at rest, the two processes at the same time over
    // the same seconds of the machine, which goes first alternating. The start window polls
    // every 5 ms, so its bare window has a 5 ms timer too; the others are compared with a bare
    // window without one.
    const std::string seconds = std::to_string(settings.restSeconds);
    const std::vector<std::string> windows = {"intro", "questionnaire", "results", "about"};
    std::map<std::string, Samples> restProgram;
    std::map<std::string, Samples> restBare;
    for (const std::string& window : windows) {
        const int runs =
            window == "intro" ? settings.restRuns : std::max(1, (settings.restRuns + 1) / 2);
        const std::string bareKind = window == "intro" ? "timer" : "plain";
        const std::string what = "at rest: " + window + " (both at once)";
        for (int i = 0; i < runs; ++i) {
            progress(what.c_str(), i, runs);
            Child first = i % 2 == 0 ? launch(bin.program, {"rest", window, seconds})
                                     : launch(bin.bare, {"rest", bareKind, seconds});
            Child second = i % 2 == 0 ? launch(bin.bare, {"rest", bareKind, seconds})
                                      : launch(bin.program, {"rest", window, seconds});
            const Samples a = finish(first);
            const Samples b = finish(second);
            append(restProgram[window], i % 2 == 0 ? a : b);
            append(restBare[window], i % 2 == 0 ? b : a);
        }
        progress(what.c_str(), runs, runs);
    }

    append(program, run(bin.program, {"answer", std::to_string(settings.answerRounds)}));
    append(bare, run(bin.bare, {"answer", std::to_string(settings.answerRounds)}));
    progress("answer latency", 1, 1);

    append(program, run(bin.program, {"create", std::to_string(settings.createCount)}));
    append(bare, run(bin.bare, {"create", std::to_string(settings.createCount)}));
    progress("questionnaire creation", 1, 1);

    for (int i = 0; i < settings.memoryRuns; ++i) {
        if (i % 2 == 0) {
            append(program, run(bin.program, {"memory"}));
            append(bare, run(bin.bare, {"memory"}));
        } else {
            append(bare, run(bin.bare, {"memory"}));
            append(program, run(bin.program, {"memory"}));
        }
        progress("peak memory", i + 1, settings.memoryRuns);
    }

    std::vector<Row> rows = startupRows(program, bare, form, 1.15); // on an X server: 1.05
    {
        const double p = median(need(restProgram["intro"], "rest_cpu_ms_per_s"));
        const double b = median(need(restBare["intro"], "rest_cpu_ms_per_s"));
        rows.push_back({"CPU time per second, start window at rest (5 ms timer)",
                        format("%.2f ms", p), format("%.2f ms", b), format("%.2fx", p / b),
                        "<= 1.2x", p <= 1.2 * b});
    }
    for (const char* window : {"questionnaire", "results", "about"}) {
        const double p = median(need(restProgram[window], "rest_wakeups_per_s"));
        const double b = median(need(restBare[window], "rest_wakeups_per_s"));
        rows.push_back({std::string("Wakeups per second, ") + window + " at rest",
                        format("%.1f", p), format("%.1f", b), format("%+.1f", p - b), "<= 5",
                        p <= 5.0});
    }
    {
        const double p = median(need(program, "answer_ms"));
        const double b = median(need(bare, "answer_ms"));
        rows.push_back({"Answer click to next panel painted", format("%.3f ms", p),
                        format("%.3f ms", b), format("%.2fx", p / b), "< 2 ms", p < 2.0});
    }
    {
        const double p = median(need(program, "create_ms"));
        const double b = median(need(bare, "create_ms"));
        rows.push_back({"Creation of the questionnaire window", format("%.2f ms", p),
                        format("%.3f ms", b), format("+%.2f ms", p - b), "< 15 ms", p < 15.0});
    }
    {
        const double p = median(need(program, "peak_rss_kib")) / 1024.0;
        const double b = median(need(bare, "peak_rss_kib")) / 1024.0;
        rows.push_back({"Peak resident memory (VmHWM)", format("%.1f MiB", p),
                        format("%.1f MiB", b), format("%+.1f MiB", p - b), "<= +8 MiB",
                        p - b <= 8.0});
    }

    const bool allMet = printRows(rows);

    std::vector<Detail> details = startupDetails(program, bare, form);
    const std::vector<Detail> others = {
        {"answer latency, program", &need(program, "answer_ms"), "ms"},
        {"answer latency, bare (label change)", &need(bare, "answer_ms"), "ms"},
        {"questionnaire creation, program", &need(program, "create_ms"), "ms"},
        {"questionnaire, first creation in the process", &need(program, "create_first_ms"), "ms"},
        {"empty window creation, bare", &need(bare, "create_ms"), "ms"},
        {"same widget tree by hand, bare", &need(bare, "create_tree_ms"), "ms"},
        {"peak RSS, program", &need(program, "peak_rss_kib"), "KiB"},
        {"peak RSS, bare", &need(bare, "peak_rss_kib"), "KiB"},
    };
    details.insert(details.end(), others.begin(), others.end());
    std::printf("\n| Window at rest | Program wakeups/s | Bare wakeups/s | Program CPU ms/s "
                "| Bare CPU ms/s | CPU program vs bare |\n|---|---:|---:|---:|---:|---:|\n");
    for (const std::string& window : windows) {
        const double pw = median(need(restProgram[window], "rest_wakeups_per_s"));
        const double bw = median(need(restBare[window], "rest_wakeups_per_s"));
        const double pc = median(need(restProgram[window], "rest_cpu_ms_per_s"));
        const double bc = median(need(restBare[window], "rest_cpu_ms_per_s"));
        std::printf("| %s (bare: %s) | %.1f | %.1f | %.3f | %.3f | %.2fx |\n", window.c_str(),
                    window == "intro" ? "5 ms timer" : "no timer", pw, bw, pc, bc, pc / bc);
    }

    std::vector<Detail> all = details;
    for (const std::string& window : windows) {
        all.push_back({"rest wakeups/s, " + window + ", program",
                       &need(restProgram[window], "rest_wakeups_per_s"), "1/s"});
        all.push_back({"rest wakeups/s, " + window + ", bare",
                       &need(restBare[window], "rest_wakeups_per_s"), "1/s"});
        all.push_back({"rest CPU, " + window + ", program",
                       &need(restProgram[window], "rest_cpu_ms_per_s"), "ms/s"});
        all.push_back({"rest CPU, " + window + ", bare",
                       &need(restBare[window], "rest_cpu_ms_per_s"), "ms/s"});
    }
    printDetails(all);
    return settings.check && !allMet ? 1 : 0;
}
