// quelnet-fuzz-seeds DIR: writes the seed corpora of the fuzz targets, one
// folder per target, from the project's own builders (frames, replies, the
// simulator's pages, the package writer, the package's web pages, the panel
// file writer). The corpora in the repository were made by it.
#include "core/firmware/HtmlCompaction.h"
#include "core/firmware/PackageFormat.h"
#include "core/panel/ElementModel.h"
#include "core/panel/PanelFile.h"
#include "core/protocol/Frames.h"
#include "sim/SimController.h"
#include "sim/SimStatusPage.h"
#include "tools/package/PackageWriter.h"
#include "tools/package/content/WebTexts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace quelnet;

namespace {

QString g_root;

// Files are named by their content, so that writing the seeds again adds nothing.
void Seed(const QString& target, const QByteArray& bytes) {
    QDir().mkpath(g_root + "/" + target);
    const QString name = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(16);
    QFile f(g_root + "/" + target + "/" + name);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void PanelFileSeeds() {
    ElementRecords records;
    std::vector<PanelElementPlace> elements;
    for (int kind = KindButton; kind <= KindTrack; ++kind) {
        const int slot = records.Append(kind);
        records.SetEnabled(kind, slot, true);
        elements.push_back({kind, slot, QRect(8 * kind, 16, 40, 24)});
    }
    const PanelWindowPlace window{10, 20, 700, 382, 0};
    Seed("panel_file", FormatPanelFile(window, elements, records));
    Seed("panel_file", FormatPanelFile(window, {}, records));
    QFile demo(QStringLiteral(QUELNET_SOURCE_DIR "/assets/demo/quelnet_scr.cnf.in"));
    if (demo.open(QIODevice::ReadOnly))
        Seed("panel_file", demo.readAll().replace("@DEMO@", "/demo").replace("\n", "\r\n"));
}

void ReplySeeds() {
    using namespace proto;
    const QByteArray name = CircuitNameBytes(QStringLiteral("IN1"));
    sim::SimController engine;
    Seed("link_replies", BuildLongReply(0x08, 1) + BuildLongReply(0x08, 0));
    Seed("link_replies", BuildLongReply(0x42, 1, name) + BuildLongReply(0x43, 0, name));
    Seed("link_replies", BuildLongReply(0x4A, 0, name + EncodeAnalog(12.5f)));
    Seed("link_replies", BuildLongReply(0xB0, 0, PageAddress(6) + QByteArray(PageSize, 'c')));
    Seed("link_replies", BuildLongReply(0xB1, 0, PageAddress(6)) + BuildLongReply(0xBE, 1));
    Seed("link_replies", engine.LongIdentifyReply());
    Seed("link_replies", engine.ShortIdentifyReply());
}

void FrameSeeds() {
    using namespace proto;
    const QByteArray name = CircuitNameBytes(QStringLiteral("OUT1"));
    const QByteArray pick = QByteArray(1, '\0');
    const QList<QByteArray> frames = {
        BuildLongFrame(CmdSetDigital, "3958", 1, name),
        BuildLongFrame(CmdGetDigital, "3958", 0, CircuitNameBytes(QStringLiteral("IN1"))),
        BuildLongFrame(CmdSetAnalog, "3958", 0,
                       CircuitNameBytes(QStringLiteral("AOUT1")) + EncodeAnalog(3.5f)),
        BuildLongFrame(CmdGetAnalog, "3958", 0, CircuitNameBytes(QStringLiteral("AN1"))),
        BuildLongFrame(CmdReadPage, "3958", 0, PageAddress(6)),
        BuildLongFrame(CmdWritePage, "3958", 0, PageAddress(0x29) + QByteArray(PageSize, 'w')),
        BuildLongFrame(CmdIdentify, "3958", 0),
        BuildLongFrame(CmdPrepareRead, "3958", 0),
        BuildShortFrame(ShortIdentify),
        BuildShortFrame(ShortWritePage, 0x500, QByteArray(PageSize, 's')),
        BuildShortFrame(ShortPrepareConfig),
    };
    QByteArray all = pick;
    for (const QByteArray& f : frames) {
        Seed("sim_frames", pick + f);
        all += f;
    }
    Seed("sim_frames", all);
    Seed("sim_frames", QByteArray(1, '\x01') + BuildLongFrame(CmdWritePage, "3958", 0, PageAddress(5)));
    Seed("sim_frames", pick + BuildShortFrame(ShortStartUpdate));
}

void StatusPageSeeds() {
    sim::SimConfig config;
    config.generation = sim::Generation::Old;
    Seed("status_page", sim::StatusPage(config));
    Seed("status_page", sim::LoginPage(config, true));
    config.language = QStringLiteral("LT");
    Seed("status_page", sim::StatusPage(config));
}

QList<QByteArray> HtmlPages() {
    QList<QByteArray> pages;
    for (const char* lang : {"PL", "LT"}) {
        content::PageOptions options;
        options.lang = QString::fromLatin1(lang);
        options.topic = 1;
        options.styleSheet = QStringLiteral("style.css");
        options.links = {QStringLiteral("index.html"), QStringLiteral("u1.html")};
        pages.append(content::HtmlPage(options, 1500));
    }
    return pages;
}

void PackageSeeds() {
    std::vector<package::PackageFile> files = {
        {QStringLiteral("PL"), package::Version401f, QStringLiteral("index.html"), HtmlPages().value(0)},
        {QStringLiteral("  "), package::Version401f, QStringLiteral("prog.bin"), QByteArray(300, '\x5A')},
        {QStringLiteral("LT"), package::Version214, QStringLiteral("s1.gif"), QByteArray("GIF89a\1\0\1\0")},
    };
    const QByteArray pkg = package::WritePackage(files);
    Seed("package_reader", QByteArray(1, '\0') +
                               QByteArray("\x7f"
                                          "ELF program bytes") +
                               pkg);
    const quint32 dirLength = quint32(uchar(pkg[16])) | quint32(uchar(pkg[17])) << 8;
    Seed("package_reader", QByteArray(1, '\1') + pkg.mid(package::HeaderSize, int(dirLength)));
    const QByteArray text = HtmlPages().value(1);
    QByteArray stream = QByteArray(1, '\2');
    stream.append(char((text.size() >> 8) & 0xFF)).append(char(text.size() & 0xFF));
    Seed("package_reader", stream + qCompress(text).mid(4));
}

void HtmlSeeds() {
    for (const QByteArray& page : HtmlPages()) {
        Seed("html_compaction", page);
        Seed("html_compaction", CompactHtml(page));
    }
    Seed("html_compaction", "<!DOCTYPE html>\r\n<p>\r\n<!-- a\r\nb -->\r\n  <b>x</b>\n\r");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quelnet-fuzz-seeds DIR\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    PanelFileSeeds();
    ReplySeeds();
    FrameSeeds();
    StatusPageSeeds();
    PackageSeeds();
    HtmlSeeds();
    return 0;
}
