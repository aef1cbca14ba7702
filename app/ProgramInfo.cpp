#include "app/ProgramInfo.h"

#include "core/base/ProgramVersion.h"

namespace quelnet {

namespace {

// help2man turns this text into the manual page quelnet(1) (docs/man): the
// first line is the usage, lines ending in a colon start sections.
const char* const HelpText =
    "Użycie: quelnet [PRZEŁĄCZNIK]\n"
    "Wirtualny panel sterowania sterowników Quelnet i ich okna serwisowe.\n"
    "\n"
    "Przełączniki (tylko pierwszy argument, zapisany dokładnie tak jak tutaj):\n"
    "  (brak)       panel w trybie pracy: odpytuje sterowniki i przełącza wyjścia\n"
    "  -k           edytor panelu z przybornikiem\n"
    "  -u           aktualizacja oprogramowania sterownika\n"
    "  -u -dravin   aktualizacja w trybie serwisowym: także sterowniki poniżej\n"
    "               wersji 4, z wyborem języka\n"
    "  -r           strony WWW i grafiki użytkownika w pamięci DataFlash\n"
    "  -b           kopia zapasowa ustawień sterownika\n"
    "  -x           rozszerzenia (puste okno na przyszłe dodatki)\n"
    "  --help       pokazuje ten opis i kończy pracę\n"
    "  --version    pokazuje wersję programu i kończy pracę\n"
    "\n"
    "Każdy inny pierwszy argument uruchamia panel w trybie pracy. Opcje Qt\n"
    "(np. -style, -platform) można podać po przełączniku.\n";

} // namespace

std::optional<QString> ProgramInfoText(const QStringList& arguments) {
    const QString first = arguments.size() > 1 ? arguments.at(1) : QString();
    if (first == QLatin1String("--help"))
        return QString::fromUtf8(HelpText);
    if (first == QLatin1String("--version"))
        return QStringLiteral("quelnet %1\n").arg(QLatin1String(ProgramVersion));
    return std::nullopt;
}

} // namespace quelnet
