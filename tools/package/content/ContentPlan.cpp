#include "ContentPlan.h"

#include "BinaryFiles.h"
#include "Pictures.h"
#include "WebTexts.h"
#include "core/firmware/DataFlashImage.h"
#include "core/firmware/HtmlCompaction.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/ProgramImage.h"

namespace quelnet::content {

namespace {

using package::PackageFile;

constexpr int ConfigSize = 8192;
constexpr int BlockSize = 256; // errsys.bin, errnet.bin, errlnk.bin
constexpr qint64 WebStart = DataFlashImage::FirstFileOffset + ConfigSize + 3 * BlockSize + program::CopySize;

// Planned sizes of the web files (HTML after compaction), by number within their kind.
int V214PageSize(int i, bool lt) {
    return 1700 + i * 1733 % 5000 + (lt ? i * 37 % 160 : 0);
}
int V214GifSize(int i) {
    return 200 + i * 811 % 3300;
}
constexpr int V214JpegSize[2] = {9350, 6120};
int V214UserPageSize(int k, bool lt) {
    return k == 1 ? (lt ? 910 : 880) : (lt ? 0x3C6 : 0x3A4);
}
int V401fPageSize(int i) {
    return 2400 + i * 1379 % 3600;
}
constexpr int V401fCssSize[2] = {4870, 1930};
int V401fGifSize(int i) {
    return 330 + i * 577 % 3700;
}
int V401fTextSize(int i) {
    return 90 + i * 211 % 700;
}
int V401fUserPageSize(int k) {
    return 610 + 37 * k;
}
int V401fUserGifSize(int k) {
    return 350 + 61 * k;
}

qint64 RoundUp(qint64 v) {
    return (v + 255) / 256 * 256;
}
QString Two(int i) {
    return QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
}
QStringList Names(const QString& prefix, int count, const QString& suffix) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(prefix + Two(i) + suffix);
    return names;
}

class Group {
public:
    Group(std::vector<PackageFile>& files, QString lang, QString version, QString* error)
        : m_files(files), m_lang(std::move(lang)), m_version(std::move(version)), m_error(error) {}

    void Add(const QString& name, const QByteArray& data, int plannedSize = -1) {
        if (data.isEmpty())
            *m_error += QStringLiteral("%1 %2 %3 cannot be made\n").arg(m_lang, m_version, name);
        if (plannedSize >= 0 && data.size() != plannedSize && !IsHtmlPage(data))
            *m_error += QStringLiteral("%1 %2 %3 has %4 bytes, not %5\n")
                            .arg(m_lang, m_version, name)
                            .arg(data.size())
                            .arg(plannedSize);
        m_files.push_back({m_lang, m_version, name, data});
    }
    void AddSystemFiles(const QByteArray& prog) {
        Add(QStringLiteral("cnfdef.bin"), DefaultConfiguration());
        for (const char* name : {"errsys.bin", "errnet.bin", "errlnk.bin"})
            Add(QLatin1String(name), QByteArray(BlockSize, '\0'));
        Add(QStringLiteral("prog.bin"), prog);
    }
    void AddPage(const QString& name, const PageOptions& options, int size) {
        Add(name, HtmlPage(options, size));
    }

private:
    std::vector<PackageFile>& m_files;
    QString m_lang, m_version;
    QString* m_error;
};

void AddV214(std::vector<PackageFile>& files, const QString& lang, quint32 lastEnd, QString* error) {
    const bool lt = lang == QLatin1String("LT");
    Group g(files, lang, QLatin1String(package::Version214), error);
    g.Add(QStringLiteral("IP_QueL_A_%1.hex").arg(lang), ProgramImage(QStringLiteral("V2.1.4"), "A " + lang));
    g.Add(QStringLiteral("IP_QueL_C_%1.hex").arg(lang), ProgramImage(QStringLiteral("V2.1.4"), "C " + lang));
    g.AddSystemFiles(QByteArray(program::CopySize, char(0xFF)));
    // Page 00 takes what the other files leave before u2.html, which ends the group.
    const qint64 lastStart = lastEnd - V214UserPageSize(2, lt);
    qint64 others = RoundUp(V214UserPageSize(1, lt)) + RoundUp(V214JpegSize[0]) + RoundUp(V214JpegSize[1]);
    for (int i = 1; i < 30; ++i)
        others += RoundUp(V214PageSize(i, lt));
    for (int i = 0; i < 83; ++i)
        others += RoundUp(V214GifSize(i));
    const int firstPage = int(lastStart - WebStart - others) - 37;
    if (lastStart % 256 != 0 || RoundUp(firstPage) != lastStart - WebStart - others)
        *error += QStringLiteral("%1 V214: the planned sizes do not reach the last file's end\n").arg(lang);
    const QStringList pages = Names({}, 30, QStringLiteral(".html"));
    for (int i = 0; i < 30; ++i)
        g.AddPage(pages[i], {lang, i, {}, pages.mid(0, 6)}, i == 0 ? firstPage : V214PageSize(i, lt));
    for (int i = 0; i < 2; ++i)
        g.Add(Two(i) + QStringLiteral(".jpg"), PhotoJpeg(i, V214JpegSize[i]), V214JpegSize[i]);
    for (int i = 0; i < 83; ++i)
        g.Add(Two(i) + QStringLiteral(".gif"), IconGif(Icon(i % 4), i, V214GifSize(i)), V214GifSize(i));
    for (int k = 1; k <= 2; ++k)
        g.AddPage(QStringLiteral("u%1.html").arg(k), {lang, k, {}, {pages[0]}, true},
                  V214UserPageSize(k, lt));
}

void AddV401f(std::vector<PackageFile>& files, QString* error) {
    Group common(files, QLatin1String(package::CommonLang), QLatin1String(package::Version401f), error);
    common.Add(QStringLiteral("IP_QueL.hex"), ProgramImage(QStringLiteral("V4.0.1f"), {}));

    Group g(files, QStringLiteral("PL"), QLatin1String(package::Version401f), error);
    g.AddSystemFiles(QByteArray(program::CopySize, '\0'));
    // Page n00 takes what the other files leave; V401f files lie back to back.
    qint64 others = V401fCssSize[0] + V401fCssSize[1];
    for (int i = 1; i < 13; ++i)
        others += V401fPageSize(i);
    for (int i = 0; i < 73; ++i)
        others += V401fGifSize(i);
    for (int i = 0; i < 22; ++i)
        others += V401fTextSize(i);
    for (int k = 1; k <= 8; ++k)
        others += V401fUserPageSize(k) + V401fUserGifSize(k);
    const int firstPage = int(LastEndPlV401f - WebStart - others);
    const QStringList pages = Names(QStringLiteral("n"), 13, QStringLiteral(".html"));
    for (int i = 0; i < 13; ++i)
        g.AddPage(pages[i], {QStringLiteral("PL"), i, QStringLiteral("00.css"), pages.mid(0, 6)},
                  i == 0 ? firstPage : V401fPageSize(i));
    for (int i = 0; i < 2; ++i)
        g.Add(Two(i) + QStringLiteral(".css"), StyleSheet(i, V401fCssSize[i]), V401fCssSize[i]);
    for (int i = 0; i < 73; ++i)
        g.Add(Two(i) + QStringLiteral(".gif"), IconGif(Icon((i + 1) % 4), i + 7, V401fGifSize(i)),
              V401fGifSize(i));
    for (int i = 0; i < 22; ++i)
        g.Add(Two(i) + QStringLiteral(".txt"), TextFile(i, V401fTextSize(i)), V401fTextSize(i));
    for (int k = 1; k <= 8; ++k)
        g.AddPage(QStringLiteral("u%1.html").arg(k),
                  {QStringLiteral("PL"), k, QStringLiteral("00.css"), {pages[0]}, true},
                  V401fUserPageSize(k));
    for (int k = 1; k <= 8; ++k)
        g.Add(QStringLiteral("s%1.gif").arg(k), IconGif(Icon::Digit, k, V401fUserGifSize(k)),
              V401fUserGifSize(k));
}

} // namespace

bool BuildContent(std::vector<PackageFile>& files, QString* error) {
    error->clear();
    AddV214(files, QStringLiteral("PL"), LastEndPlV214, error);
    AddV214(files, QStringLiteral("LT"), LastEndLtV214, error);
    AddV401f(files, error);
    return error->isEmpty();
}

} // namespace quelnet::content
