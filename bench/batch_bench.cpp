// Whole-process benchmark: orvanel-batch run as a user runs it, each format
// on a picture of 1000 x 1000 pixels (about 1 M cells at step 15) and of
// 6000 x 4000 (about 24 M), against the durable I/O floor: the same bytes,
// held in memory, written to a temporary file beside the target in as few
// calls as the system takes, synced to the disk and renamed over it.
//
//   batch_bench [--runs=N] [--loads=1M,24M] [--formats=ascii,stl,...]
//               [--threads=N,...] [--also=PROGRAM]
//   batch_bench --pictures=FOLDER   writes the two pictures there and stops
//
// Each program (the orvanel-batch built beside this benchmark, and any
// --also, e.g. an earlier build) and the floor take turns, N times each
// (default 5 at 1 M, 3 at 24 M), and the best of each is kept; every file a
// program writes is checked against the first one's bytes. Also printed:
// each run's peak resident size (the program's memory must not grow with
// the export's size), and with --threads the time of each format written to
// /dev/null (standard output) with that many formatting threads.

#include "bench_workloads.h"

#include <QImage>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Load {
    const char* name;
    int width, height;  // pixels
    int runs;
};

const Load loads[] = {{"1M", 1000, 1000, 5}, {"24M", 6000, 4000, 3}};

// Formats with the options they are timed with: the meshes as solids on the
// walk's grid, in the VRML files' frame.
const std::vector<std::pair<std::string, std::vector<std::string>>> formats = {
    {"ascii", {}},
    {"vrml1", {}},
    {"vrml2", {}},
    {"stl", {"--solid", "--frame", "vrml"}},
    {"obj", {"--solid", "--frame", "vrml"}}};

struct Run {
    double seconds = 0;
    long peakKilobytes = 0;
    bool ok = false;
};

// Runs the program to its end, its standard output to `output` ("" keeps it).
Run runProgram(const std::vector<std::string>& arguments, const std::string& output = "")
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!output.empty()) {
            const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, STDOUT_FILENO);
            close(fd);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Run run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakKilobytes = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// Runs `work` in a forked child and returns the number it gives. What needs
// much memory (the picture being made, the floor's bytes) runs there, so
// that this process stays small: a child's peak resident size starts from
// its parent's peak, which the programs' figures would otherwise carry.
double inChild(const std::function<double()>& work)
{
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const double value = work();
        (void)!write(ends[1], &value, sizeof value);
        _exit(0);
    }
    close(ends[1]);
    double value = -1;
    if (read(ends[0], &value, sizeof value) != sizeof value)
        value = -1;
    close(ends[0]);
    waitpid(child, nullptr, 0);
    return value;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::uint64_t fileSize(const std::string& path)
{
    struct stat s {};
    return stat(path.c_str(), &s) == 0 ? static_cast<std::uint64_t>(s.st_size) : 0;
}

// Compared a megabyte at a time.
bool sameBytes(const std::string& a, const std::string& b)
{
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::vector<char> p(1 << 20), q(1 << 20);
    for (;;) {
        x.read(p.data(), static_cast<std::streamsize>(p.size()));
        y.read(q.data(), static_cast<std::streamsize>(q.size()));
        if (x.gcount() != y.gcount() || !std::equal(p.begin(), p.begin() + x.gcount(), q.begin()))
            return false;
        if (x.gcount() == 0)
            return true;
    }
}

bool writePicture(const Load& load, const std::string& path)
{
    return inChild([&] {
               const Picture p = makeNoisyPicture(load.width, load.height);
               QImage image(load.width, load.height, QImage::Format_RGB32);
               for (int y = 0; y < load.height; ++y) {
                   auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                   for (int x = 0; x < load.width; ++x) {
                       const std::uint32_t c = p.pixel(x, y);  // red in the low byte
                       line[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
                   }
               }
               return image.save(QString::fromStdString(path)) ? 1.0 : 0.0;
           }) == 1.0;
}

// The durable floor: the bytes written from memory into a temporary file in
// calls as large as the system takes, synced, renamed over the target, the
// folder synced.
double durableFloor(const std::string& bytes, const std::string& path)
{
    const std::string temporary = path + ".floor";
    const Clock::time_point start = Clock::now();
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (std::size_t at = 0; fd >= 0 && at < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
        if (n <= 0)
            break;
        at += static_cast<std::size_t>(n);
    }
    fsync(fd);
    close(fd);
    rename(temporary.c_str(), path.c_str());
    const std::string folder = path.substr(0, path.rfind('/'));
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    fsync(dir);
    close(dir);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

bool wanted(const std::vector<std::string>& list, const std::string& name)
{
    return list.empty() || std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> programs = {ORVANEL_BATCH};
    std::vector<std::string> loadNames, formatNames, threadCounts;
    std::string picturesOnly;
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&a](const char* option) { return a.substr(std::strlen(option)); };
        if (a.rfind("--runs=", 0) == 0)
            runs = std::atoi(value("--runs=").c_str());
        else if (a.rfind("--loads=", 0) == 0)
            loadNames = split(value("--loads="));
        else if (a.rfind("--formats=", 0) == 0)
            formatNames = split(value("--formats="));
        else if (a.rfind("--threads=", 0) == 0)
            threadCounts = split(value("--threads="));
        else if (a.rfind("--also=", 0) == 0)
            programs.push_back(value("--also="));
        else if (a.rfind("--pictures=", 0) == 0)
            picturesOnly = value("--pictures=");
        else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    if (!picturesOnly.empty()) {
        for (const Load& load : loads)
            if (!writePicture(load, picturesOnly + "/picture-" + load.name + ".png"))
                return 1;
        return 0;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && *tmp ? std::string(tmp) : std::string("/tmp")) + "/orvanel-batch-bench-XXXXXX";
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    std::printf("%-6s %-4s %-8s %10s %10s %8s %10s %12s\n", "format", "load", "program", "best s", "floor s",
                "ratio", "MB", "peak RSS kB");
    bool allSame = true;
    for (const Load& load : loads) {
        if (!wanted(loadNames, load.name))
            continue;
        const std::string picture = folder + "/picture-" + load.name + ".png";
        if (!writePicture(load, picture)) {
            std::fprintf(stderr, "cannot write %s\n", picture.c_str());
            return 1;
        }
        const int repeat = runs > 0 ? runs : load.runs;
        for (const auto& [format, options] : formats) {
            if (!wanted(formatNames, format))
                continue;
            const std::string first = folder + "/first-" + format, output = folder + "/out-" + format;
            const auto command = [&](std::size_t p) {
                std::vector<std::string> c = {programs[p], format, picture, p == 0 ? first : output,
                                              "--step", "15", "--quiet"};
                c.insert(c.end(), options.begin(), options.end());
                return c;
            };
            // The programs and the floor take turns within each repetition,
            // so that a quiet moment of the machine falls to any of them alike.
            std::vector<Run> best(programs.size());
            double floorBest = 0;
            for (int r = 0; r < repeat; ++r) {
                for (std::size_t p = 0; p < programs.size(); ++p) {
                    const Run run = runProgram(command(p));
                    if (!run.ok) {
                        std::fprintf(stderr, "%s %s failed\n", programs[p].c_str(), format.c_str());
                        return 1;
                    }
                    if (r == 0 || run.seconds < best[p].seconds)
                        best[p].seconds = run.seconds;
                    best[p].peakKilobytes = std::max(best[p].peakKilobytes, run.peakKilobytes);
                    if (p > 0 && !sameBytes(output, first)) {
                        std::fprintf(stderr, "%s %s: the bytes differ from the first program's\n",
                                     programs[p].c_str(), format.c_str());
                        allSame = false;
                    }
                    if (p == 0) {
                        const double s = inChild([&] { return durableFloor(readFile(first), output); });
                        floorBest = r == 0 ? s : std::min(floorBest, s);
                    }
                }
            }
            for (std::size_t p = 0; p < programs.size(); ++p) {
                std::printf("%-6s %-4s %-8s %10.3f %10.3f %8.2f %10.1f %12ld\n", format.c_str(), load.name,
                            p == 0 ? "built" : ("also" + std::to_string(p)).c_str(), best[p].seconds, floorBest,
                            best[p].seconds / floorBest, double(fileSize(first)) / 1e6, best[p].peakKilobytes);
            }
            std::fflush(stdout);
            std::remove(first.c_str());
            std::remove(output.c_str());
            // Formatting alone: the same export to /dev/null, on 1..N threads.
            for (const std::string& threads : threadCounts) {
                std::vector<std::string> command = {programs[0], format, picture, "-", "--step", "15",
                                                    "--quiet", "--threads", threads};
                command.insert(command.end(), options.begin(), options.end());
                double best = 0;
                for (int r = 0; r < repeat; ++r) {
                    const Run run = runProgram(command, "/dev/null");
                    best = r == 0 ? run.seconds : std::min(best, run.seconds);
                }
                std::printf("%-6s %-4s threads %-3s %8.3f s to /dev/null\n", format.c_str(), load.name,
                            threads.c_str(), best);
                std::fflush(stdout);
            }
        }
        std::remove(picture.c_str());
    }
    rmdir(folder.c_str());
    return allSame ? 0 : 1;
}
