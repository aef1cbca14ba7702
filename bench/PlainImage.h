#pragma once
// The plainest program that builds a DataFlash image from the firmware package
// appended to an executable, without Qt: map the file, find the first full
// match of the magic, check the header's lengths against the file, read the
// directory bytes (contiguous streams adding up to the data length), and for
// every file of the group check the compressed stream's checksum, inflate it
// straight into the image, check the size and the inflated checksum, compact
// HTML pages and write the slot. Both checksums are the package's CRC: zlib's
// crc32 without its two complements. The benchmarks' baselines use it in
// process and as a program of its own (plain_image).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace plain {

constexpr size_t ImageSize = 0x80000;
constexpr size_t FirstFile = 0x600;
constexpr size_t SlotCount = 192;

inline uint32_t PackageCrc(const unsigned char* p, size_t n) {
    return uint32_t(crc32(0xFFFFFFFFul, p, uInt(n)) ^ 0xFFFFFFFFul);
}

inline uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// "$" and 1..16 hex digits.
inline bool Hex(const char* p, const char* end, int64_t& value) {
    if (p == end || *p != '$' || end - p > 17 || end - p < 2)
        return false;
    uint64_t v = 0;
    for (++p; p < end; ++p) {
        const char c = *p;
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0)
            return false;
        v = v << 4 | uint64_t(d);
    }
    value = int64_t(v);
    return true;
}

inline bool IsHtml(const unsigned char* p, size_t n) {
    static const char doctype[] = "<!doctype html";
    if (n < sizeof doctype - 1)
        return false;
    for (size_t i = 0; i < sizeof doctype - 1; ++i) {
        unsigned char c = p[i];
        if (c >= 'A' && c <= 'Z')
            c = (unsigned char)(c - 'A' + 'a');
        if (c != (unsigned char)doctype[i])
            return false;
    }
    return true;
}

inline bool Contains(const unsigned char* p, size_t n, const char* what) {
    return memmem(p, n, what, strlen(what)) != nullptr;
}

// Lines trimmed and joined; comment lines keep their breaks.
inline void Compact(const unsigned char* p, size_t n, std::vector<unsigned char>& out) {
    out.clear();
    bool inComment = false;
    const auto add = [&](const void* s, size_t k) {
        out.insert(out.end(), static_cast<const unsigned char*>(s), static_cast<const unsigned char*>(s) + k);
    };
    size_t i = 0;
    while (i < n) {
        size_t e = i;
        while (e < n && p[e] != '\r' && p[e] != '\n')
            ++e;
        size_t b = i, t = e;
        while (b < t && p[b] <= 0x20)
            ++b;
        while (t > b && p[t - 1] <= 0x20)
            --t;
        const unsigned char* line = p + b;
        const size_t len = t - b;
        if (Contains(line, len, "<!--")) {
            add("\r\n", 2);
            add(line, len);
            add("\r\n", 2);
            if (!Contains(line, len, "-->"))
                inComment = true;
        } else if (Contains(line, len, "-->")) {
            add(line, len);
            add("\r\n", 2);
            inComment = false;
        } else if (inComment) {
            add(line, len);
            add("\r\n", 2);
        } else {
            add(line, len);
        }
        if (e < n && p[e] == '\r' && e + 1 < n && p[e + 1] == '\n')
            ++e;
        i = e + 1;
    }
}

// Builds the image of (lang, version) from the package in the file at path;
// image holds ImageSize bytes. Returns false on any fault; free as placed.
inline bool BuildImage(const char* path, const char* lang, const char* version, unsigned char* image,
                       long& free) {
    free = 0;
    const bool v401f = strcmp(version, "V401f") == 0;
    if (!v401f && strcmp(version, "V214") != 0)
        return false;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size <= 0 || st.st_size > (32 << 20)) {
        close(fd);
        return false;
    }
    const size_t size = size_t(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED)
        return false;
    const auto* file = static_cast<const unsigned char*>(map);
    bool ok = false;
    const auto* magic = static_cast<const unsigned char*>(memmem(file, size, "PordexInsDataMgX", 16));
    if (magic && size_t(magic - file) + 24 <= size) {
        const uint64_t d = Le32(magic + 16), n = Le32(magic + 20);
        const uint64_t at = uint64_t(magic - file);
        if (at + 24 + d + n == size) {
            const char* dir = reinterpret_cast<const char*>(magic + 24);
            const unsigned char* data = magic + 24 + d;
            memset(image, 0, ImageSize);
            std::vector<unsigned char> page;
            const size_t langLen = strlen(lang), versionLen = strlen(version);
            int64_t packedTotal = 0;
            size_t slot = 0, offset = FirstFile;
            ok = true;
            for (const char* line = dir; ok && line < dir + d;) {
                const char* end = static_cast<const char*>(memchr(line, '\r', size_t(dir + d - line)));
                if (!end) {
                    ok = false;
                    break;
                }
                const char* f[9];
                f[0] = line;
                int k = 1;
                for (const char* p = line; p < end && k < 9; ++p)
                    if (*p == '|')
                        f[k++] = p + 1;
                int64_t off, len, packed, dataCrc, packedCrc;
                if (k < 9 || !Hex(f[3], f[4] - 1, off) || !Hex(f[4], f[5] - 1, len) ||
                    !Hex(f[5], f[6] - 1, packed) || !Hex(f[6], f[7] - 1, dataCrc) ||
                    !Hex(f[7], f[8] - 1, packedCrc) || off != packedTotal || packed < 0) {
                    ok = false;
                    break;
                }
                packedTotal += packed;
                const std::string_view name(f[8], size_t(end - f[8]));
                line = end + 1;
                if (size_t(f[2] - 1 - f[1]) != langLen || memcmp(f[1], lang, langLen) != 0 ||
                    size_t(f[3] - 1 - f[2]) != versionLen || memcmp(f[2], version, versionLen) != 0 ||
                    name.find("IP_QueL") != std::string_view::npos)
                    continue;
                const unsigned char* stream = data + off;
                if (uint64_t(off + packed) > n || PackageCrc(stream, size_t(packed)) != uint32_t(packedCrc)) {
                    ok = false;
                    break;
                }
                if (len == 0)
                    continue;
                if (slot >= SlotCount || offset + size_t(len) > ImageSize) {
                    ok = false;
                    break;
                }
                unsigned char* dst = image + offset;
                uLongf out = uLongf(len);
                uLong in = uLong(packed);
                if (uncompress2(dst, &out, stream, &in) != Z_OK || out != uLongf(len) ||
                    PackageCrc(dst, size_t(len)) != uint32_t(dataCrc)) {
                    ok = false;
                    break;
                }
                size_t placed = size_t(len);
                if (IsHtml(dst, placed)) {
                    Compact(dst, placed, page);
                    if (offset + page.size() > ImageSize) {
                        ok = false;
                        break;
                    }
                    memcpy(dst, page.data(), page.size());
                    memset(dst + page.size(), 0, placed > page.size() ? placed - page.size() : 0);
                    placed = page.size();
                }
                unsigned char* s = image + slot * 8;
                for (int b = 0; b < 3; ++b) {
                    s[1 + b] = (unsigned char)(offset >> (16 - 8 * b));
                    s[5 + b] = (unsigned char)(placed >> (16 - 8 * b));
                }
                ++slot;
                free = long(ImageSize) - long(offset + placed);
                offset += placed;
                if (!v401f)
                    offset = (offset + 255) / 256 * 256;
            }
            ok = ok && slot > 0 && packedTotal == int64_t(n);
        }
    }
    munmap(map, size);
    return ok;
}

// Writes bytes to path as a whole: a temporary file beside it, its data synced,
// renamed over it.
inline bool WriteFile(const char* path, const unsigned char* bytes, size_t n) {
    const std::string temp = std::string(path) + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    for (size_t done = 0; ok && done < n;) {
        const ssize_t w = write(fd, bytes + done, n - done);
        ok = w > 0;
        done += ok ? size_t(w) : 0;
    }
    ok = fdatasync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), path) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

} // namespace plain
