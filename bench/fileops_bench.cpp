// Times the file-operation service on large files and prints the ratios it must keep:
// trashing 1 GiB against 1 KiB on one file system, a move within one file system, and copy and
// move across file systems against cp on the same files in the same run.

#include "platform/files/file_operation.h"
#include "platform/files/file_operation_dialogs.h"
#include "platform/files/file_progress.h"
#include "platform/files/remove_tree.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs the work on a worker thread, as the real dialogs do, and shows nothing.
class SilentDialogs : public FileOperationDialogs {
public:
    bool askYesNo(const std::string&) override { return true; }
    void showError(const std::string& message) override
    {
        std::fprintf(stderr, "erreur : %s\n", message.c_str());
    }
    void showWarning(const std::string& message) override
    {
        std::fprintf(stderr, "avertissement : %s\n", message.c_str());
    }
    void runWithProgress(FileProgress&, const std::function<void()>& work) override
    {
        std::thread worker(work);
        worker.join();
    }
};

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The benchmark's own folders, removed on every way out.
std::vector<std::string> madeFolders;

void fail(const std::string& what)
{
    std::fprintf(stderr, "fileops_bench: %s\n", what.c_str());
    for (const std::string& folder : madeFolders)
        removeTree(folder);
    std::exit(1);
}

void writeFile(const std::string& path, std::size_t size)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create " + path);
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 131 + 7);
    for (std::size_t done = 0; done < size;) {
        const std::size_t part = std::min(block.size(), size - done);
        if (write(fd, block.data(), part) != static_cast<ssize_t>(part))
            fail("cannot write " + path);
        done += part;
    }
    fsync(fd);
    close(fd);
}

double timeRequest(unsigned function, const std::string& from, const std::string& to)
{
    FileOperationRequest request;
    request.function = function;
    request.from = singleNameList(from);
    if (!to.empty())
        request.to = singleNameList(to);
    request.flags = function == FO_DELETE ? FOF_ALLOWUNDO | FOF_NOCONFIRMATION
                                          : FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;
    SilentDialogs dialogs;
    const auto start = Clock::now();
    if (runFileOperation(request, dialogs) != 0)
        fail("the service failed on " + from);
    return seconds(Clock::now() - start);
}

double timeCp(const std::string& from, const std::string& to)
{
    const char* argv[] = {"cp", from.c_str(), to.c_str(), nullptr};
    const auto start = Clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        fail("cannot start cp");
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("cp failed");
    return seconds(Clock::now() - start);
}

void renameBack(const std::string& from, const std::string& to)
{
    if (rename(from.c_str(), to.c_str()) != 0)
        fail("cannot put back " + to);
}

// Trashes the file, times it, and takes it back out of the trash for the next round.
double timeTrash(const std::string& path, const std::string& trash, const std::string& name)
{
    const double time = timeRequest(FO_DELETE, path, {});
    renameBack(trash + "/files/" + name, path);
    unlink((trash + "/info/" + name + ".trashinfo").c_str());
    return time;
}

dev_t deviceOf(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        fail("cannot read " + path);
    return st.st_dev;
}

std::string makeTemporaryFolder(const std::string& inside)
{
    char* absolute = realpath(inside.c_str(), nullptr);
    if (!absolute)
        fail("no folder " + inside);
    std::string pattern = std::string(absolute) + "/velmo-bench-XXXXXX";
    std::free(absolute);
    if (!mkdtemp(pattern.data()))
        fail("cannot make a folder in " + inside);
    madeFolders.push_back(pattern);
    return pattern;
}

} // namespace

int main(int argc, char** argv)
{
    std::string diskFolder = ".";
    std::string otherFolder = "/dev/shm";
    std::size_t megabytes = 1024;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--disk")
            diskFolder = argv[i + 1];
        else if (option == "--other")
            otherFolder = argv[i + 1];
        else if (option == "--size-mb")
            megabytes = std::strtoul(argv[i + 1], nullptr, 10);
        else if (option == "--rounds")
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else
            fail(
                "usage: fileops_bench [--disk FOLDER] [--other FOLDER] [--size-mb N] [--rounds N]");
    }

    const std::string disk = makeTemporaryFolder(diskFolder);
    const std::string other = makeTemporaryFolder(otherFolder);
    // The home trash on the disk under test, so that trashing there is a rename.
    setenv("HOME", (disk + "/home").c_str(), 1);
    setenv("XDG_DATA_HOME", (disk + "/home/.local/share").c_str(), 1);
    const std::string trash = disk + "/home/.local/share/Trash";
    mkdir((disk + "/home").c_str(), 0700);
    mkdir((disk + "/sub").c_str(), 0755);
    if (deviceOf(disk) == deviceOf(other))
        std::printf("attention : %s et %s sont sur le même système de fichiers\n", disk.c_str(),
                    other.c_str());

    const std::string big = disk + "/big.bin";
    const std::string small = disk + "/small.bin";
    std::printf("écriture de %zu Mio dans %s...\n", megabytes, disk.c_str());
    writeFile(big, megabytes << 20);
    writeFile(small, 1024);

    // Renames take microseconds: many rounds after a settled disk and one round not counted.
    sync();
    const int renameRounds = 10 * rounds;
    timeTrash(big, trash, "big.bin");
    timeTrash(small, trash, "small.bin");

    // (a) Trash: a rename whatever the size.
    std::vector<double> bigTrash;
    std::vector<double> smallTrash;
    for (int round = 0; round < renameRounds; ++round) {
        bigTrash.push_back(timeTrash(big, trash, "big.bin"));
        smallTrash.push_back(timeTrash(small, trash, "small.bin"));
    }
    const double trashRatio = median(bigTrash) / median(smallTrash);

    // (b) Move within one file system: a rename too.
    std::vector<double> bigMove;
    std::vector<double> smallMove;
    for (int round = 0; round < renameRounds; ++round) {
        bigMove.push_back(timeRequest(FO_MOVE, big, disk + "/sub/big.bin"));
        renameBack(disk + "/sub/big.bin", big);
        smallMove.push_back(timeRequest(FO_MOVE, small, disk + "/sub/small.bin"));
        renameBack(disk + "/sub/small.bin", small);
    }

    // (c) Copy and move across file systems, against cp on the same file, turn about.
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> ourMoves;
    const std::string copyTarget = other + "/big.bin";
    const std::string cpTarget = other + "/cp.bin";
    for (int round = 0; round < rounds; ++round) {
        theirs.push_back(timeCp(big, cpTarget));
        unlink(cpTarget.c_str());
        ours.push_back(timeRequest(FO_COPY, big, copyTarget));
        unlink(copyTarget.c_str());
    }
    // A move also removes the source, which cp does not: "cp then rm" is timed beside it.
    std::vector<double> byHand;
    for (int round = 0; round < rounds; ++round) {
        ourMoves.push_back(timeRequest(FO_MOVE, big, copyTarget));
        // The source back on the disk and settled there for the next round (not timed).
        timeCp(copyTarget, big);
        unlink(copyTarget.c_str());
        sync();
        const auto start = Clock::now();
        timeCp(big, cpTarget);
        unlink(big.c_str());
        byHand.push_back(seconds(Clock::now() - start));
        timeCp(cpTarget, big);
        unlink(cpTarget.c_str());
        sync();
    }
    const double copyRatio = median(theirs) / median(ours);
    const double moveRatio = median(theirs) / median(ourMoves);

    std::printf("\n(a) corbeille, %zu Mio / 1 Kio : %.2f (objectif < 1,5) — %.3f ms / %.3f ms\n",
                megabytes, trashRatio, median(bigTrash) * 1e3, median(smallTrash) * 1e3);
    std::printf("(b) déplacement de %zu Mio sur un même système de fichiers : %.3f ms "
                "(1 Kio : %.3f ms, rapport %.2f)\n",
                megabytes, median(bigMove) * 1e3, median(smallMove) * 1e3,
                median(bigMove) / median(smallMove));
    std::printf("(c) copie de %zu Mio vers %s : %.3f s, cp : %.3f s, débit rapporté à cp : %.2f "
                "(objectif >= 0,9)\n",
                megabytes, otherFolder.c_str(), median(ours), median(theirs), copyRatio);
    std::printf("    déplacement de %zu Mio vers %s : %.3f s, débit rapporté à cp : %.2f "
                "(objectif >= 0,9)\n",
                megabytes, otherFolder.c_str(), median(ourMoves), moveRatio);
    std::printf("    (« cp » puis suppression de la source : %.3f s, débit rapporté : %.2f)\n",
                median(byHand), median(byHand) / median(ourMoves));

    removeTree(disk);
    removeTree(other);
    return 0;
}
