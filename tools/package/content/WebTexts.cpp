#include "WebTexts.h"

#include "core/base/CodePage.h"
#include "core/firmware/HtmlCompaction.h"

#include <functional>

namespace quelnet::content {

namespace {

struct Words {
    const char* charset;
    const char* titles[8];
    const char* intro;
    const char* name;
    const char* state;
    const char* rowKinds[4];
    const char* userTitle;
    const char* userText;
    const char* headComment[2];
    const char* spare;
};

const Words kPolish = {
    "windows-1250",
    {"Stan wejść", "Wyjścia cyfrowe", "Wejścia analogowe", "Wyjścia analogowe", "Ustawienia sieci",
     "Zegar i harmonogram", "Zdarzenia i powiadomienia", "Informacje o sterowniku"},
    "Wartości odświeżają się po ponownym wczytaniu strony. Kliknięcie nazwy przełącza wyjście.",
    "Nazwa",
    "Stan",
    {"Wejście", "Wyjście", "Wejście analogowe", "Licznik"},
    "Strona użytkownika",
    "Tę stronę można zastąpić własną za pomocą narzędzia „Zasoby quelnet-a”.",
    {"Pola w znakach % wypełnia sterownik przy wysyłaniu strony.", "Nie zmieniać nazw pól."},
    "rezerwa",
};

const Words kLithuanian = {
    "windows-1257",
    {"Įėjimų būsena", "Skaitmeniniai išėjimai", "Analoginiai įėjimai", "Analoginiai išėjimai",
     "Tinklo nustatymai", "Laikrodis ir tvarkaraštis", "Įvykiai ir pranešimai", "Informacija apie valdiklį"},
    "Reikšmės atnaujinamos iš naujo įkėlus puslapį. Paspaudus pavadinimą išėjimas perjungiamas.",
    "Pavadinimas",
    "Būsena",
    {"Įėjimas", "Išėjimas", "Analoginis įėjimas", "Skaitiklis"},
    "Naudotojo puslapis",
    "Šį puslapį galima pakeisti savo puslapiu.",
    {"Laukus tarp ženklų % užpildo valdiklis siųsdamas puslapį.", "Laukų pavadinimų nekeisti."},
    "rezervas",
};

// Polish pages are in Windows-1250; Lithuanian letters are not, so those pages
// are ASCII with character references.
QByteArray Encode(const QString& text, bool ascii) {
    if (!ascii)
        return ToAnsi(text);
    QByteArray out;
    for (QChar c : text)
        out += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode()))
                                  : "&#" + QByteArray::number(c.unicode()) + ";";
    return out;
}

QString Head(const PageOptions& options, const Words& w, const QString& title) {
    QString head =
        QStringLiteral(
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html>\r\n"
            "  <head>\r\n    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\">\r\n"
            "    <!--\r\n      QuelNet: %2\r\n      %3\r\n      %4\r\n    -->\r\n"
            "    <title>QuelNet - %2</title>\r\n")
            .arg(QLatin1String(w.charset), title, QString::fromUtf8(w.headComment[0]),
                 QString::fromUtf8(w.headComment[1]));
    if (!options.styleSheet.isEmpty())
        head += QStringLiteral("    <link rel=\"stylesheet\" type=\"text/css\" href=\"%1\">\r\n")
                    .arg(options.styleSheet);
    return head + QStringLiteral("  </head>\r\n");
}

QString Body(const PageOptions& options, const Words& w, const QString& title, int rows) {
    QString body = QStringLiteral("  <body>\r\n    <div class=\"menu\">\r\n");
    for (const QString& link : options.links)
        body +=
            QStringLiteral("      <a href=\"%1\">%2</a>\r\n").arg(link, link.section(QLatin1Char('.'), 0, 0));
    body += QStringLiteral("    </div>\r\n    <h1>%1</h1>\r\n    <p>\r\n      %2\r\n    </p>\r\n")
                .arg(title, QString::fromUtf8(options.userPage ? w.userText : w.intro));
    if (options.userPage)
        return body;
    body +=
        QStringLiteral(
            "    <!-- tabela -->\r\n    <table class=\"stan\">\r\n      <tr><th>%1</th><th>%2</th></tr>\r\n")
            .arg(QString::fromUtf8(w.name), QString::fromUtf8(w.state));
    const QString kind = QString::fromUtf8(w.rowKinds[options.topic % 4]);
    for (int r = 1; r <= rows; ++r)
        body += QStringLiteral("      <tr class=\"r%1\">\r\n        <td>%2 %3</td>\r\n        "
                               "<td>%V%4%</td>\r\n      </tr>\r\n")
                    .arg(r % 2)
                    .arg(kind)
                    .arg(r)
                    .arg(r, 3, 10, QLatin1Char('0'));
    return body + QStringLiteral("    </table>\r\n");
}

// The largest n (0...limit) for which size(n) <= target; -1 when even 0 does not fit.
int LargestCount(int limit, int target, const std::function<int(int)>& size) {
    int n = -1;
    while (n < limit && size(n + 1) <= target)
        ++n;
    return n;
}

} // namespace

QByteArray HtmlPage(const PageOptions& options, int compactedSize) {
    const bool lt = options.lang == QLatin1String("LT");
    const Words& w = lt ? kLithuanian : kPolish;
    const QString title = options.userPage
                              ? QString::fromUtf8(w.userTitle) + QStringLiteral(" %1").arg(options.topic)
                              : QString::fromUtf8(w.titles[options.topic % 8]);
    const auto page = [&](int rows, int filler) {
        const QString spare =
            QStringLiteral("    <!-- %1 %2 -->\r\n").arg(QLatin1String(w.spare), QString(filler, u'.'));
        return Encode(Head(options, w, title) + Body(options, w, title, rows) + spare +
                          QStringLiteral("  </body>\r\n</html>\r\n"),
                      lt);
    };
    const int rows =
        LargestCount(2000, compactedSize, [&](int n) { return int(CompactHtml(page(n, 0)).size()); });
    if (rows < 0)
        return {};
    return page(rows, compactedSize - int(CompactHtml(page(rows, 0)).size()));
}

QByteArray StyleSheet(int variant, int size) {
    const QByteArray base = QByteArray("/* QuelNet - arkusz stylów ") + QByteArray::number(variant) +
                            " */\r\n" +
                            "body { font-family: Verdana, Arial, sans-serif; font-size: 12px; margin: 0; "
                            "background: #F4F6F8; }\r\n"
                            "h1 { font-size: 16px; color: #20406A; margin: 8px 12px; }\r\n"
                            "p { margin: 4px 12px; }\r\n"
                            ".menu { background: #20406A; padding: 4px 8px; }\r\n"
                            ".menu a { color: #FFFFFF; text-decoration: none; margin-right: 10px; }\r\n"
                            "table.stan { border-collapse: collapse; margin: 8px 12px; }\r\n"
                            "table.stan th { background: #D0DCE8; text-align: left; padding: 2px 8px; }\r\n";
    const auto sheet = [&](int rules, int filler) {
        QByteArray css = ToAnsi(QString::fromUtf8(base));
        for (int r = 0; r < rules; ++r)
            css += ".v" + QByteArray::number(r) + " { color: #" +
                   QByteArray::number(0x102030 + (r * 0x0B1705 + variant * 0x3311) % 0xD0D0D0, 16).toUpper() +
                   "; padding: 2px " + QByteArray::number(4 + r % 6) + "px; }\r\n";
        return css + "/* " + QByteArray(filler, '.') + " */\r\n";
    };
    const int rules = LargestCount(5000, size, [&](int n) { return int(sheet(n, 0).size()); });
    if (rules < 0)
        return {};
    return sheet(rules, size - int(sheet(rules, 0).size()));
}

QByteArray TextFile(int variant, int size) {
    static const char* const kLines[] = {"Wejście cyfrowe", "Wyjście cyfrowe", "Wejście analogowe", "Alarm",
                                         "Zasilanie",       "Temperatura",     "Drzwi otwarte",     "Pompa"};
    const auto text = [&](int lines, int filler) {
        QByteArray out;
        for (int i = 0; i < lines; ++i)
            out += ToAnsi(QStringLiteral("T%1=%2 %3\r\n")
                              .arg(i + 1, 2, 10, QLatin1Char('0'))
                              .arg(QString::fromUtf8(kLines[(i + variant) % 8]))
                              .arg(i / 8 + 1));
        return out + (filler > 0 ? "#" + QByteArray(filler - 1, ' ') : QByteArray());
    };
    const int lines = LargestCount(1000, size, [&](int n) { return int(text(n, 0).size()); });
    if (lines < 0)
        return {};
    return text(lines, size - int(text(lines, 0).size()));
}

} // namespace quelnet::content
