// The plainest client doing the writes of a firmware update, for the
// whole-job benchmark: no toolkit, blocking sockets, loopback only.
// Usage: plain_update PORT IMAGE PREPARE CLEAR_FIRST CLEAR_END RESTART_WAIT_MS
//   - 2,048 short page writes (D5 A1 00 A2 A1 A0 + 256 bytes) of IMAGE, each
//     answered by its 6-byte echo;
//   - with PREPARE=1 the short configuration preparation (D5 AE), answered "OK";
//   - the short update start (D5 AD), then the restart evidence: the
//     controller closes the link;
//   - with CLEAR_FIRST < CLEAR_END: the restart wait, a new connection (tried
//     again while the controller is still restarting) and zero pages written over that range.
// Exit status 0 when every step went as expected.
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

enum { PageSize = 256, Pages = 2048, Header = 6 };

static int Open(unsigned short port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

static bool SendAll(int fd, const unsigned char* p, size_t n) {
    while (n > 0) {
        const ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
    }
    return true;
}

static bool ReceiveAll(int fd, unsigned char* p, size_t n) {
    while (n > 0) {
        const ssize_t r = recv(fd, p, n, 0);
        if (r <= 0)
            return false;
        p += r;
        n -= size_t(r);
    }
    return true;
}

static bool WritePage(int fd, int page, const unsigned char* bytes) {
    unsigned char frame[Header + PageSize], echo[Header];
    const unsigned address = unsigned(page) * PageSize;
    frame[0] = 0xD5;
    frame[1] = 0xA1;
    frame[2] = 0;
    frame[3] = static_cast<unsigned char>(address >> 16);
    frame[4] = static_cast<unsigned char>(address >> 8);
    frame[5] = static_cast<unsigned char>(address);
    memcpy(frame + Header, bytes, PageSize);
    return SendAll(fd, frame, sizeof frame) && ReceiveAll(fd, echo, Header) &&
           memcmp(echo, frame, Header) == 0;
}

static bool Short(int fd, unsigned char command) {
    const unsigned char frame[Header] = {0xD5, command, 0, 0, 0, 0};
    return SendAll(fd, frame, Header);
}

int main(int argc, char** argv) {
    static unsigned char image[Pages * PageSize];
    static const unsigned char zeros[PageSize] = {};
    if (argc != 7)
        return 2;
    const unsigned short port = static_cast<unsigned short>(std::atoi(argv[1]));
    FILE* f = fopen(argv[2], "rb");
    if (!f || fread(image, 1, sizeof image, f) != sizeof image)
        return 2;
    fclose(f);
    const int prepare = atoi(argv[3]), clearFirst = atoi(argv[4]), clearEnd = atoi(argv[5]);

    int fd = Open(port);
    bool ok = fd >= 0;
    for (int p = 0; ok && p < Pages; ++p)
        ok = WritePage(fd, p, image + p * PageSize);
    if (ok && prepare) {
        unsigned char reply[2];
        ok = Short(fd, 0xAE) && ReceiveAll(fd, reply, 2) && memcmp(reply, "OK", 2) == 0;
    }
    if (ok) {
        unsigned char c;
        ok = Short(fd, 0xAD) && recv(fd, &c, 1, 0) == 0; // closed: the controller restarts
    }
    if (fd >= 0)
        close(fd);
    if (!ok || clearFirst >= clearEnd)
        return ok ? 0 : 1;

    usleep(useconds_t(std::atoi(argv[6])) * 1000);
    while ((fd = Open(port)) < 0)
        usleep(100);
    for (int p = clearFirst; ok && p < clearEnd; ++p)
        ok = WritePage(fd, p, zeros);
    close(fd);
    return ok ? 0 : 1;
}
