// Opening the firmware package appended to quelnet and building the (PL, V401f)
// DataFlash image, against the plainest program doing the same job
// (PlainImage.h: map the file, find the magic, check the header, read the
// directory, check both checksums, inflate, compact HTML pages, place):
//   - BM_OpenPackageAndBuildImage vs BM_PlainOpenAndBuildImage: in process;
//   - BM_QuelnetctlPackageImage vs BM_PlainImageProgram: `quelnetctl package
//     image` against plain_image, both spawned the same way (posix_spawn and
//     waitpid) and writing the image to a file; wall-clock, the work is in the
//     child. Before timing, both programs' images must equal the in-process one.
// Goals: at most 1.3x each.
//   bench_firmware --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//                  --benchmark_report_aggregates_only=true
#include "PlainImage.h"

#include "core/firmware/ImageBuilder.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace quelnet;

namespace {

constexpr int FreeOfPlV401f = 154302;

void BM_OpenPackageAndBuildImage(benchmark::State& state) {
    DataFlashImage image;
    for (auto _ : state) {
        PackageReader reader = PackageReader::OfFile(QUELNET_EXE);
        int free = 0;
        if (!BuildDataFlashImage(reader, image, "PL", "V401f", free) || free != FreeOfPlV401f)
            state.SkipWithError("the image was not built");
        benchmark::DoNotOptimize(image.Bytes().constData());
    }
}
BENCHMARK(BM_OpenPackageAndBuildImage)->Unit(benchmark::kMillisecond);

void BM_PlainOpenAndBuildImage(benchmark::State& state) {
    std::vector<unsigned char> image(plain::ImageSize);
    for (auto _ : state) {
        long free = 0;
        if (!plain::BuildImage(QUELNET_EXE, "PL", "V401f", image.data(), free) || free != FreeOfPlV401f)
            state.SkipWithError("the image was not built");
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_PlainOpenAndBuildImage)->Unit(benchmark::kMillisecond);

// Runs argv to its end with stdout and stderr on /dev/null; true on exit code 0.
bool Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> QuelnetctlImage(const std::string& output) {
    return {QUELNETCTL_EXE, "package", "image", "--package", QUELNET_EXE, "--lang", "PL", "--firmware",
            "V4.0.1f",      "--output", output};
}

std::vector<std::string> PlainImage(const std::string& output) {
    return {PLAIN_IMAGE_EXE, QUELNET_EXE, "PL", "V401f", output};
}

// The program's image equals the one built in process.
bool WritesTheImage(const std::vector<std::string>& args, const QString& output) {
    PackageReader reader = PackageReader::OfFile(QUELNET_EXE);
    DataFlashImage image;
    int free = 0;
    QFile file(output);
    return Run(args) && BuildDataFlashImage(reader, image, "PL", "V401f", free) &&
           file.open(QIODevice::ReadOnly) && file.readAll() == image.Bytes();
}

template <typename Args> void RunProgram(benchmark::State& state, Args args) {
    QTemporaryDir dir;
    const QString output = dir.filePath("image.bin");
    const std::vector<std::string> argv = args(output.toStdString());
    if (!WritesTheImage(argv, output))
        state.SkipWithError("the program did not write the image");
    for (auto _ : state)
        if (!Run(argv))
            state.SkipWithError("the program failed");
}

void BM_QuelnetctlPackageImage(benchmark::State& state) {
    RunProgram(state, QuelnetctlImage);
}
BENCHMARK(BM_QuelnetctlPackageImage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainImageProgram(benchmark::State& state) {
    RunProgram(state, PlainImage);
}
BENCHMARK(BM_PlainImageProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
