#include "cli/Interrupt.h"

#include "core/link/TcpLink.h"

#include <atomic>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace quelnet::cli {

namespace {

constexpr int GraceMs = 3000;

std::atomic<bool> g_interrupted{false};
int g_wake[2] = {-1, -1}; // the handler writes, the serving thread reads

extern "C" void OnSignal(int) {
    if (g_interrupted.exchange(true))
        _exit(ExitInterrupted); // the second one: at once
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
}

void Serve() {
    char byte = 0;
    while (::read(g_wake[0], &byte, 1) < 0) {
    }
    TcpLink::AbortAll();
    ::usleep(GraceMs * 1000);
    _exit(ExitInterrupted);
}

} // namespace

void HandleInterrupts() {
    if (::pipe(g_wake) != 0)
        return;
    std::thread(Serve).detach();
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return g_interrupted.load();
}

} // namespace quelnet::cli
