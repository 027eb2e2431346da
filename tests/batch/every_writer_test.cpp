// Every writer of the program, the formats of the registry and the preview
// picture, against one table of faults: a file-size limit just short of the
// end or at either side of a write, a stop signal before the commit, targets
// that are not regular files, the picture behind a link, and "-". None may
// end in success with a file cut short, touch an earlier file it did not
// replace whole, or replace anything but a regular file. Each case is a
// forked child that runs as orvanel-batch does once its arguments are read.

#include "batch_run.h"
#include "interrupt_signal.h"
#include "scratch_directory.h"

#include "platform/background_sink.h"
#include "platform/child_process.h"
#include "step/step_format.h"
#include "support/fakes.h"
#include "export/standard_formats.h"
#include "support/every_format.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <deque>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {

const std::string earlier = "the earlier file\r\n";

// The registry's formats, and the preview picture beside them.
std::vector<std::string> everyWriter()
{
    addEveryFormat();
    std::vector<std::string> ids;
    for (const FormatEntry& format : formatRegistry().all())
        ids.emplace_back(format.id);
    ids.emplace_back("preview");
    return ids;
}

// Large enough for every export to take a few bands.
void writePicture(const std::string& path)
{
    QImage image(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 91) % 256, x, y));
    ASSERT_TRUE(image.save(QString::fromStdString(path)));
}

// The bytes and the ends of the writes the file sees, the run written into
// memory through the program's own thread of writes.
struct Recorded : ByteSink {
    std::string bytes;
    std::vector<std::size_t> ends;
    bool write(std::string_view b) override { return writePieces(&b, 1); }
    bool writePieces(const std::string_view* pieces, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i)
            bytes.append(pieces[i]);
        ends.push_back(bytes.size());
        return true;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }
};

struct Forwarding : ByteSink {
    ByteSink& to;
    explicit Forwarding(ByteSink& sink) : to(sink) {}
    bool write(std::string_view b) override { return to.write(b); }
    bool writePieces(const std::string_view* pieces, std::size_t count) override
    {
        return to.writePieces(pieces, count);
    }
    bool commit() override { return to.commit(); }
    std::string errorText() const override { return {}; }
};

void record(const CheckedRun& run, Recorded& sink)
{
    if (!run.exportFile) {
        sink.write(*run.previewPng);
        return;
    }
    const CheckedExport& e = *run.exportFile;
    ScriptedEvents events;
    RecordingScan dots;
    SilentWork work;
    BackgroundSink file(std::make_unique<Forwarding>(sink));
    ASSERT_EQ(writeExport(*e.format, e.prepared.job, e.options, file, events, dots, work).outcome,
              ExportOutcome::Written);
}

// The same run, its one file written at `path`.
CheckedRun writingTo(CheckedRun run, const std::string& path)
{
    (run.exportFile ? run.arguments.output : run.arguments.preview) = path;
    return run;
}

// STEP stamps the time in its header, and numbers the product once per
// export of the process.
std::string undated(std::string bytes)
{
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 1024); ++i)
        if (std::isdigit(static_cast<unsigned char>(bytes[i])))
            bytes[i] = '#';
    return bytes;
}

mode_t kindAt(const std::string& path)
{
    struct stat s {};
    return lstat(path.c_str(), &s) == 0 ? s.st_mode & S_IFMT : 0;
}

// What no writer may replace, made once in a folder of its own, and the
// picture behind a link.
struct Targets {
    std::string folder, device;
    int listening = socket(AF_UNIX, SOCK_STREAM, 0);

    Targets(const std::string& at, const std::string& picture) : folder(at)
    {
        mkdir(folder.c_str(), 0755);
        mkfifo(file("fifo").c_str(), 0644);
        mkdir(file("folder").c_str(), 0755);
        sockaddr_un address{AF_UNIX, {}};
        file("socket").copy(address.sun_path, sizeof address.sun_path - 1);
        bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
        // As root, a node of its own stands in for /dev/null, which a failure would replace.
        device = mknod(file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ? file("null") : "/dev/null";
        symlink(device.c_str(), file("device-link").c_str());
        symlink("loop-b", file("loop-a").c_str());
        symlink("loop-a", file("loop-b").c_str());
        symlink(picture.c_str(), file("picture-link.png").c_str());
    }
    ~Targets() { close(listening); }
    std::string file(const std::string& name) const { return folder + "/" + name; }

    // Every name in the folder with its kind, and the device's.
    std::vector<std::pair<std::string, mode_t>> kinds() const
    {
        std::vector<std::pair<std::string, mode_t>> all{{device, kindAt(device)}};
        for (const std::string& name : namesIn(folder))
            all.emplace_back(name, kindAt(file(name)));
        return all;
    }
};

struct Case {
    std::string label;
    std::string folder;  // for a limit: where the earlier file stands alone
    int status;
    std::string said;  // on the standard error
    std::function<int()> body;
};

// The cases' children, a few at a time; their results in order.
std::vector<ChildResult> runAll(const std::vector<Case>& cases)
{
    std::vector<ChildResult> results(cases.size());
    std::deque<std::pair<std::size_t, StartedChild>> running;
    for (std::size_t i = 0; i <= cases.size(); ++i) {
        while (!running.empty() && (running.size() == 4 || i == cases.size())) {
            results[running.front().first] = waitFor(running.front().second);
            running.pop_front();
        }
        if (i < cases.size())
            running.emplace_back(i, startChild(cases[i].body));
    }
    return results;
}

TEST(EveryWriter, NoFaultEndsInACutFileOrReplacesWhatItMustNot)
{
    const std::vector<std::string> writers = everyWriter();
    for (const char* id : {"ascii", "vrml1", "vrml2", "stl", "obj", "3mf", "step", "preview"})
        ASSERT_NE(std::find(writers.begin(), writers.end(), id), writers.end()) << id;

    ScratchDirectory scratch;
    const std::string picture = scratch.file("picture.png");
    writePicture(picture);
    const std::string pictureBytes = fileBytes(picture);
    const Targets targets(scratch.file("targets"), picture);
    const auto kinds = targets.kinds();

    for (const std::string& writer : writers) {
        SCOPED_TRACE(writer);
        const auto arguments = [&](const std::string& target) {
            return parseCommandLine({writer, picture, target, "--step", "25", "--quiet"}).arguments;
        };
        int refusal = 0;
        const std::optional<CheckedRun> run = checkRun(arguments(scratch.file("unused")), refusal);
        ASSERT_TRUE(run) << refusal;
        Recorded recorded;
        record(*run, recorded);
        const std::size_t size = recorded.bytes.size();

        // Short by 1 to 64 bytes, at either side of each write's end, and room enough.
        std::set<std::size_t> limits;
        for (std::size_t shortBy = 1; shortBy <= 64; ++shortBy)
            limits.insert(size - shortBy);
        for (const std::size_t end : recorded.ends)
            if (end < size)
                limits.insert({end - 1, end + 1});
        limits.insert(RLIM_INFINITY);
        std::vector<Case> cases;
        const auto overEarlierFile = [&](const std::string& label, int status, const char* said,
                                         const std::function<void()>& before) {
            const std::string folder = scratch.file(writer + "-" + std::to_string(cases.size()));
            mkdir(folder.c_str(), 0755);
            writeFile(folder + "/relief", earlier);
            cases.push_back({label, folder, status, said, [&run, folder, before] {
                                 before();
                                 return writeRun(writingTo(*run, folder + "/relief"), nullptr);
                             }});
        };
        for (const std::size_t limit : limits) {
            const bool room = limit == RLIM_INFINITY;
            overEarlierFile("limit " + std::to_string(limit), room ? 0 : 1, room ? "" : "Fichier trop volumineux",
                            [limit] {
                                const rlimit fileSize{limit, limit};
                                setrlimit(RLIMIT_FSIZE, &fileSize);
                                std::signal(SIGXFSZ, SIG_IGN);
                            });
        }
        // A stop signal that came before the commit: however late, nothing is committed.
        overEarlierFile("stopped", exit_status::interruptedBy(SIGTERM), "", [] {
            catchInterruptions();
            std::raise(SIGTERM);
        });

        // From the folder of targets, where a file named "-" would appear.
        // What only the checks refuse goes through the whole command.
        const struct {
            std::string target;
            int status;
            const char* said;
            bool wholeCommand;
        } targetCases[] = {
            {"fifo", 1, "est un tube nommé, pas un fichier ordinaire", false},
            {"socket", 1, "est une socket, pas un fichier ordinaire", false},
            {"folder", 1, "est un dossier, pas un fichier ordinaire", false},
            {targets.device, 1, "est un périphérique, pas un fichier ordinaire", false},
            {"device-link", 1, "est un périphérique, pas un fichier ordinaire", false},
            {"loop-a", 1, "Les liens symboliques de ce chemin forment une boucle", false},
            {"picture-link.png", 2, "est l'image ouverte", true},
            {"-", 0, "", true},
        };
        for (const auto& c : targetCases)
            cases.push_back({c.target, "", c.status, c.said, [&, c] {
                                 int status = 0;
                                 if (chdir(targets.folder.c_str()) != 0)
                                     return -1;
                                 if (!c.wholeCommand)
                                     return writeRun(writingTo(*run, c.target), nullptr);
                                 if (const auto checked = checkRun(arguments(c.target), status))
                                     status = writeRun(*checked, nullptr);
                                 return status;
                             }});

        const std::vector<ChildResult> results = runAll(cases);
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const ChildResult& result = results[i];
            EXPECT_EQ(result.status, c.status) << c.label << ": " << result.message;
            EXPECT_NE(result.message.find(c.said), std::string::npos) << c.label << ": " << result.message;
            if (c.label == "-") {
                EXPECT_TRUE(undated(result.output) == undated(recorded.bytes)) << result.output.size() << " " << size;
            }
            if (c.folder.empty())
                continue;
            const std::string relief = fileBytes(c.folder + "/relief");
            EXPECT_TRUE(c.status == 0 ? undated(relief) == undated(recorded.bytes) : relief == earlier) << c.label;
            EXPECT_EQ(namesIn(c.folder), std::vector<std::string>{"relief"}) << c.label;
        }
        EXPECT_EQ(targets.kinds(), kinds);
        EXPECT_EQ(fileBytes(picture), pictureBytes);
    }
}

}  // namespace
