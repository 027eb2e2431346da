// What may be replaced at an output path, and what the new file keeps. What
// is not a regular file is tried on every writer of the program:
// every_writer_test.

#include "batch/scratch_directory.h"
#include "child_process.h"

#include "platform/replacing_file_sink.h"
#include "platform/same_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr uid_t nobody = 65534;

// Writes through the program's opener; the reason when refused or failed.
std::string replace(const std::string& path)
{
    std::string error;
    std::unique_ptr<ByteSink> sink = ReplacingFileOpener().open(path, error);
    return !sink ? error : sink->write("new") && sink->commit() ? "" : sink->errorText();
}

mode_t kindAt(const std::string& path)
{
    struct stat s {};
    return lstat(path.c_str(), &s) == 0 ? s.st_mode & S_IFMT : 0;
}

TEST(OutputTarget, ALinkIsFollowedOnlyWhereTheKernelWould)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    struct Case {
        uid_t linkOwner, folderOwner;
        mode_t folderMode;
        bool followed;
    };
    for (const Case c : {Case{nobody, 0, 01777, false}, Case{0, 0, 01777, true}, Case{nobody, nobody, 01777, true},
                         Case{nobody, 0, 0777, true}}) {
        ScratchDirectory folder;
        const std::string victim = folder.file("victim"), shared = folder.file("shared"), link = shared + "/out";
        writeFile(victim, "victim");
        mkdir(shared.c_str(), 0755);
        symlink(victim.c_str(), link.c_str());
        lchown(link.c_str(), c.linkOwner, c.linkOwner);
        chown(shared.c_str(), c.folderOwner, c.folderOwner);
        chmod(shared.c_str(), c.folderMode);

        const std::string reason = replace(link);
        EXPECT_EQ(fileBytes(victim), c.followed ? "new" : "victim") << c.linkOwner << " " << c.folderMode;
        EXPECT_EQ(reason.find("lien symbolique") != std::string::npos, !c.followed) << reason;
        EXPECT_TRUE(S_ISLNK(kindAt(link)));
    }
}

TEST(OutputTarget, AReplacedFileKeepsItsOwnerGroupAndMode)
{
    ScratchDirectory folder;
    const std::string path = folder.file("relief.asc");
    writeFile(path, "old");
    const uid_t owner = geteuid() == 0 ? nobody : geteuid();
    const gid_t group = geteuid() == 0 ? nobody : getegid();
    chown(path.c_str(), owner, group);
    chmod(path.c_str(), 0640);
    ASSERT_EQ(replace(path), "");
    struct stat s {};
    stat(path.c_str(), &s);
    EXPECT_EQ(fileBytes(path), "new");
    EXPECT_EQ(std::make_tuple(s.st_uid, s.st_gid, s.st_mode & 07777), std::make_tuple(owner, group, 0640u));
}

TEST(OutputTarget, AFolderThatTakesNoNewFileIsNamedAsTheCause)
{
    ScratchDirectory scratch;
    const std::string folder = scratch.file("closed"), path = folder + "/relief.asc";
    mkdir(folder.c_str(), 0755);
    writeFile(path, "old");
    chmod(path.c_str(), 0666);
    chmod(scratch.path().c_str(), 0755);
    chown(folder.c_str(), nobody, nobody);
    chmod(folder.c_str(), 0555);
    const ChildResult child = inChild([&](std::string& reason) {
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0))
            return 2;
        reason = replace(path);
        return 0;
    });
    EXPECT_EQ(child.message, "Le dossier « " + folder + " » n'accepte pas de nouveau fichier : Permission non accordée");
    EXPECT_EQ(fileBytes(path), "old");
    chmod(folder.c_str(), 0755);
}

// The picture against an export's path, and the export's against the preview's
// before either is written.
TEST(SameFile, ComparesTheFileNotThePathEvenBeforeItIsMade)
{
    ScratchDirectory folder;
    mkdir(folder.file("d").c_str(), 0755);
    writeFile(folder.file("d/picture.png"), "a");
    writeFile(folder.file("d/other.png"), "a");
    symlink("d/picture.png", folder.file("link.png").c_str());
    symlink("d/new.stl", folder.file("dangling.stl").c_str());
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"d/picture.png", "link.png", true},
        {"d/picture.png", "d/../d/picture.png", true},
        {"d/picture.png", "d/other.png", false},
        {"d/picture.png", "d/missing.png", false},
        {"d/new.stl", "d/../d/new.stl", true},
        {"d/new.stl", "dangling.stl", true},
        {"d/new.stl", "d/new.png", false},
        {"d/new.stl", "missing/new.stl", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameFile(folder.file(c.a), folder.file(c.b)), c.same) << c.a << " " << c.b;
}

}  // namespace
