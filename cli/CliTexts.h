#pragma once
// The command-line tool's own texts, in Polish like the rest of the program.
// Texts that the windows already show come from the interface text table
// (core/base/InterfaceTexts.h); these are the ones only the tool needs. "%1",
// "%2" ... are filled with QString::arg.

#include <QString>

namespace quelnet::cli {

inline QString Tx(const char* utf8) {
    return QString::fromUtf8(utf8);
}

namespace txt {
// clang-format off
// Tool help
inline constexpr const char* ToolTitle          = "quelnetctl – obsługa QuelNet-ów z wiersza poleceń.";
inline constexpr const char* Usage              = "Użycie: quelnetctl COMMAND [ARGUMENTS] [OPTIONS]";
inline constexpr const char* CommandUsage       = "Użycie: quelnetctl %1 %2 [OPTIONS]";
inline constexpr const char* CommandsHeading    = "Polecenia:";
inline constexpr const char* OptionsHeading     = "Opcje:";
inline constexpr const char* CommonHeading      = "Opcje wspólne:";
inline constexpr const char* ToolOptionsHeading = "Opcje programu:";
inline constexpr const char* HelpHint           = "Opis polecenia i jego opcji: quelnetctl COMMAND --help";
inline constexpr const char* IncompleteCommand  = "Niepełne polecenie „%1”: %2.";
inline constexpr const char* HostHelp           = "HOST[:PORT] to adres QuelNet-a i jego port TCP (domyślnie 7080).";
inline constexpr const char* PasswordHelp       = "Hasło sterowania: --password, zmienna QUELNET_PASSWORD albo --password-file; domyślnie fabryczne 3958.";
inline constexpr const char* ExitHelp           = "Kod wyjścia: 0 powodzenie, 1 błąd, 2 niewłaściwe wywołanie, 3 odmowa, 130 przerwanie (Ctrl+C).";
inline constexpr const char* ToolVersion        = "quelnetctl %1";

// Options
inline constexpr const char* OptHelp            = "pokazuje opis";
inline constexpr const char* OptVersion         = "pokazuje wersję programu";
inline constexpr const char* OptJson            = "wynik w formacie JSON na standardowym wyjściu";
inline constexpr const char* OptYes             = "odpowiada „tak” na pytania (bez terminala pytanie bez tej opcji to odmowa)";
inline constexpr const char* OptPassword        = "hasło sterowania QuelNet-a";
inline constexpr const char* OptPasswordFile    = "plik z hasłem sterowania (pierwszy wiersz)";
inline constexpr const char* OptTimeout         = "czas oczekiwania na połączenie i odpowiedź w ms (domyślnie 5000)";
inline constexpr const char* OptHosts           = "lista QuelNet-ów: jeden HOST[:PORT] w wierszu (# rozpoczyna komentarz)";
inline constexpr const char* OptJobs            = "liczba równoczesnych połączeń przy --hosts (domyślnie 4)";

// Usage errors
inline constexpr const char* ErrorPrefix        = "quelnetctl: %1";
inline constexpr const char* NoCommand          = "Brak polecenia.";
inline constexpr const char* InterruptedText    = "Przerwano; połączenia z QuelNet-ami zostały zamknięte.";
inline constexpr const char* OutputFailed       = "Nie mogę pisać na standardowe wyjście: %1.";
inline constexpr const char* UnknownCommand     = "Nieznane polecenie „%1”.";
inline constexpr const char* UnknownOption      = "Nieznana opcja „%1”.";
inline constexpr const char* OptionNotHere      = "Opcja „%1” nie dotyczy polecenia „%2”.";
inline constexpr const char* OptionNeedsValue   = "Opcja „%1” wymaga wartości.";
inline constexpr const char* OptionTakesNoValue = "Opcja „%1” nie przyjmuje wartości.";
inline constexpr const char* BadNumber          = "Opcja „%1” wymaga liczby od %2 do %3.";
inline constexpr const char* MissingHost        = "Brak adresu QuelNet-a (HOST[:PORT]).";
inline constexpr const char* MissingHostOrList  = "Brak adresu QuelNet-a (HOST[:PORT]) albo opcji --hosts.";
inline constexpr const char* BadHost            = "Niewłaściwy adres QuelNet-a „%1” (HOST[:PORT], port od 1 do 65535).";
inline constexpr const char* ExtraArgument      = "Nadmiarowy argument „%1”.";
inline constexpr const char* PasswordTwice      = "Hasło podaje się przez --password albo --password-file, nie oba.";
inline constexpr const char* PasswordFileError  = "Nie mogę odczytać pliku z hasłem „%1”.";
inline constexpr const char* HostsFileError     = "Nie mogę odczytać listy QuelNet-ów „%1”.";
inline constexpr const char* HostsFileLine      = "%1, wiersz %2: niewłaściwy adres „%3”.";
inline constexpr const char* HostsFileEmpty     = "Lista QuelNet-ów „%1” jest pusta.";

// Questions asked on the terminal
inline constexpr const char* YesNoPrompt        = "%1 [t/n] ";
inline constexpr const char* YesAnswers         = "t,tak,y,yes";
inline constexpr const char* RefusedNoTerminal  = "Odmowa: pytanie wymaga terminala albo opcji --yes.";
inline constexpr const char* RefusedByUser      = "Odmowa.";

// Batches
inline constexpr const char* BatchOk            = "OK";
inline constexpr const char* BatchFailed        = "BŁĄD";
inline constexpr const char* BatchRefused       = "ODMOWA";
inline constexpr const char* BatchLine          = "%1  %2  %3";
inline constexpr const char* BatchProgress      = "[%1/%2] %3 %4";
inline constexpr const char* BatchSummary       = "Powiodło się %1 z %2.";
inline constexpr const char* StepNotFinished    = "Nie ukończono kroku: %1.";

// Identification
inline constexpr const char* OptHttpPort        = "port HTTP najstarszych QuelNet-ów (domyślnie 80)";
inline constexpr const char* OptConfigPassword  = "hasło konfiguracji najstarszych QuelNet-ów (domyślnie kpnv)";
inline constexpr const char* IdentifySummary    = "rozpoznaje QuelNet-a: nowa, pośrednia i najstarsza generacja";
inline constexpr const char* GenerationLabel    = "Generacja :";
inline constexpr const char* GenerationNew      = "nowa (4.x)";
inline constexpr const char* GenerationMid      = "pośrednia (krótkie ramki)";
inline constexpr const char* GenerationOld      = "najstarsza (strona WWW)";
inline constexpr const char* JumperLabel        = "Zwora programowania :";
inline constexpr const char* JumperFitted       = "założona";
inline constexpr const char* JumperMissing      = "brak";
inline constexpr const char* PasswordRefused    = "QuelNet wersji 4.x.x odpowiada, ale nie na ramkę z hasłem (niewłaściwe hasło?).";

// Circuits
inline constexpr const char* OptPoint           = "punkt podłączenia obwodu: in (wejście, domyślnie) albo out (wyjście)";
inline constexpr const char* BadPoint           = "Opcja --point przyjmuje in albo out.";
inline constexpr const char* MissingCircuit     = "Brak nazwy obwodu.";
inline constexpr const char* CircuitTooLong     = "Nazwa obwodu „%1” ma więcej niż 8 znaków.";
inline constexpr const char* NoSuchCircuit      = "Brak wskazanego obwodu cyfrowego ani analogowego „%1” w QuelNet-ie.";
inline constexpr const char* StateOn            = "włączony";
inline constexpr const char* StateOff           = "wyłączony";
inline constexpr const char* GetSummary         = "odczytuje obwody cyfrowe i analogowe";
inline constexpr const char* SetSummary         = "ustawia wyjście: on, off, toggle (cyfrowe) albo liczba (analogowe)";
inline constexpr const char* BadSetValue        = "Niewłaściwa wartość „%1”: on, off, toggle albo liczba.";
inline constexpr const char* SetDone            = "%1: ustawiono %2.";
inline constexpr const char* WatchSummary       = "śledzi obwody w tabeli odświeżanej co --interval ms";
inline constexpr const char* OptInterval        = "odstęp między odczytami w ms (domyślnie 1000)";
inline constexpr const char* OptCount           = "liczba odczytów (domyślnie do Ctrl+C)";
inline constexpr const char* ColumnCircuit      = "Obwód";
inline constexpr const char* ColumnValue        = "Wartość";
inline constexpr const char* ColumnAge          = "Wiek";
inline constexpr const char* ColumnState        = "Stan";
inline constexpr const char* Fresh              = "aktualna";
inline constexpr const char* Stale              = "NIEAKTUALNA";
inline constexpr const char* NeverRead          = "–";

// Settings backup and restore
inline constexpr const char* BackupSummary      = "zapisuje konfigurację i teksty QuelNet-a do plików";
inline constexpr const char* RestoreSummary     = "ładuje konfigurację i teksty do QuelNet-a i sprawdza je odczytem";
inline constexpr const char* OptConfigFile      = "plik konfiguracji (Conf.QNC, 8192 bajty)";
inline constexpr const char* OptTextsFile       = "plik tekstów (Text.QNT, 32768 bajtów)";
inline constexpr const char* OptNetwork         = "nadpisuje również ustawienia sieciowe i hasła (QuelNet zostanie zrestartowany)";
inline constexpr const char* OptShowPassword    = "pokazuje hasło konfiguracji w podsumowaniu --network (domyślnie ********)";
inline constexpr const char* OptRestartWait     = "czas oczekiwania na QuelNet-a po restarcie w ms (domyślnie 30000)";
inline constexpr const char* NeedAreaFile       = "Podaj --config, --texts albo oba.";
inline constexpr const char* NeedHostInName     = "Przy --hosts nazwy plików muszą zawierać {host}.";
inline constexpr const char* BackupHostsDetails = "Z --hosts nazwy plików --config i --texts muszą zawierać {host}: każdy QuelNet\nzapisuje do własnych plików, {host} zastępuje HOST_PORT (np. {host}.QNC).";
inline constexpr const char* NetworkNeedsConfig = "Opcja --network dotyczy pliku konfiguracji (--config).";
inline constexpr const char* FileSaved          = "Zapisano plik %1.";
inline constexpr const char* FileNotReplaced    = "Plik %1 nie został zastąpiony.";
inline constexpr const char* ReplaceNamedFile   = "%1: %2";
inline constexpr const char* Verifying          = "Odczyt kontrolny ...";
inline constexpr const char* VerifyOk           = "Odczyt kontrolny OK.";
inline constexpr const char* VerifyFailed       = "Odczyt kontrolny nie powiódł się.";
inline constexpr const char* VerifyDifference   = "Odczyt kontrolny: %1 różni się od zapisanego od bajtu 0x%2 (strona 0x%3).";
inline constexpr const char* ConfigArea         = "obszar konfiguracji";
inline constexpr const char* TextArea           = "obszar tekstów";
inline constexpr const char* NoReconnect        = "QuelNet nie odpowiada po restarcie (adres IP w pliku konfiguracji: %1).";
inline constexpr const char* RestoreDone        = "Ustawienia zostały załadowane i sprawdzone.";

// Panel file check
inline constexpr const char* PanelCheckSummary  = "sprawdza plik panelu (domyślnie quelnet_scr.cnf obok programu)";
inline constexpr const char* OptOnline          = "rozpoznaje każdy QuelNet panelu i odczytuje raz każdy obwód";
inline constexpr const char* ElementAt          = "wiersz %1: %2 (%3, %4, %5×%6)";
inline constexpr const char* BlockAt            = "wiersz %1: blok „%2”";
inline constexpr const char* ProblemLine        = "%1: %2";
inline constexpr const char* NoCircuitBound     = "brak połączenia z obwodem";
inline constexpr const char* NoAddress          = "brak adresu albo portu QuelNet-a";
inline constexpr const char* NameTooLong        = "nazwa obwodu „%1” ma więcej niż 8 znaków";
inline constexpr const char* LevelNeverShown    = "obrazek poziomu %1 (%2) nigdy nie zostanie pokazany: poziom %3 (%4) nie jest od niego wyższy";
inline constexpr const char* LevelNoPicture     = "poziom %1 (%2) nie ma obrazka: dla wartości tego poziomu element nic nie pokaże";
inline constexpr const char* PictureEmpty       = "„%1”: brak obrazka";
inline constexpr const char* PictureMissing     = "„%1”: plik „%2” nie istnieje";
inline constexpr const char* PictureUnreadable  = "„%1”: nie mogę odczytać pliku „%2”";
inline constexpr const char* PictureBadFormat   = "„%1”: plik „%2” nie jest obrazkiem BMP, PNG, ICO, GIF ani JPEG";
inline constexpr const char* BlockCreatesNothing= "blok nie tworzy elementu (niepełne położenie x_px, x_py, x_pw, x_ph, dwa typy w jednym bloku albo brak „}”)";
inline constexpr const char* SlotShared         = "blok zajmuje to samo miejsce w tablicy elementów co blok z wiersza %1 i przejmuje jego ustawienia";
inline constexpr const char* SameRectangle      = "element tego samego rodzaju w tym samym miejscu co element z wiersza %1";
inline constexpr const char* NotIdentified      = "QuelNet %1 nie został rozpoznany jako wersja 4.x.x";
inline constexpr const char* PanelSummary       = "Elementów: %1, problemów: %2.";
inline constexpr const char* PanelFileUnreadable= "Nie mogę odczytać pliku panelu „%1”.";
inline constexpr const char* NotAPanelFile      = "„%1” nie jest plikiem panelu: nie ma w nim żadnego bloku panelu („x_tp=”).";
inline constexpr const char* PanelFileWarning   = "„%1”: %2";

// Firmware package
inline constexpr const char* OptPackage         = "plik z pakietem oprogramowania (domyślnie program quelnet obok quelnetctl)";
inline constexpr const char* PackageMissing     = "Nie mogę odczytać pakietu oprogramowania z pliku „%1”.";
inline constexpr const char* PackageSummary     = "pakiet oprogramowania: list (grupy i pliki), extract (jeden plik), image (obraz DataFlash)";
inline constexpr const char* PackageNeedsAction = "Podaj list, extract NAME albo image.";
inline constexpr const char* PackageGroup       = "Grupa %1 %2: plików %3";
inline constexpr const char* PackageFileLine    = "  %1  %2 B";
inline constexpr const char* PackageNoFile      = "Pakiet nie zawiera poprawnego pliku „%1” (%2 %3).";
inline constexpr const char* PackageNeedOutput  = "Podaj --output FILE.";
inline constexpr const char* PackageNeedGroup   = "Podaj --lang i --firmware.";
inline constexpr const char* PackageExtracted   = "Zapisano plik %1 (%2 B, sumy kontrolne zgodne).";
inline constexpr const char* PackageImageSaved  = "Zapisano obraz DataFlash %1 (%2 B, wolne %3 B).";
inline constexpr const char* CannotWrite        = "Nie mogę zapisać pliku „%1”.";
inline constexpr const char* OptOutput          = "plik wynikowy";
inline constexpr const char* OptLang            = "język (np. PL)";
inline constexpr const char* OptPkgVersion      = "wersja oprogramowania: V4.0.1f albo V2.1.4 (także V401f, V214)";
inline constexpr const char* BadFirmware        = "Opcja --firmware przyjmuje V4.0.1f albo V2.1.4 (także V401f, V214).";
inline constexpr const char* OptPage            = "strona użytkownika K (1-8) z pliku; można powtarzać";
inline constexpr const char* OptGraphic         = "grafika użytkownika K (1-8) z pliku; można powtarzać";
inline constexpr const char* BadResource        = "Opcja „%1” wymaga K=FILE z K od 1 do 8: „%2”.";
inline constexpr const char* ResourceMissing    = "Nie mogę odczytać pliku „%1”.";
inline constexpr const char* ImageNotBuilt      = "Nie można zbudować obrazu DataFlash dla %1 %2.";

// Firmware update
inline constexpr const char* UpdateSummary      = "aktualizuje oprogramowanie QuelNet-a (V4.0.1f albo V2.1.4)";
inline constexpr const char* OptTo              = "wersja docelowa: V4.0.1f albo V2.1.4 (także V401f, V214)";
inline constexpr const char* OptUpdateLang      = "język oprogramowania: z --service dowolny z pakietu, bez niej tylko język QuelNet-a (domyślny)";
inline constexpr const char* OptService         = "tryb serwisowy: również QuelNet-y w wersji poniżej 4";
inline constexpr const char* OptDryRun          = "pokazuje, co zostałoby zapisane, niczego nie zmieniając";
inline constexpr const char* OptBackupDir       = "katalog na kopię ustawień (domyślnie bieżący; tworzony, gdy go brak)";
inline constexpr const char* OptNoBackup        = "bez kopii konfiguracji i tekstów przed zapisem";
inline constexpr const char* BadTarget          = "Opcja --to przyjmuje V4.0.1f albo V2.1.4 (także V401f, V214).";
inline constexpr const char* BadFactory         = "Niewłaściwy adres „%1” (HOST[:PORT]).";
inline constexpr const char* NoSuchLanguage     = "Pakiet nie ma języka „%1” dla %2 (dostępne: %3).";
inline constexpr const char* LangNeedsService   = "Język oprogramowania (--lang) można wybrać tylko w trybie serwisowym (--service).";
inline constexpr const char* UpdateRefused      = "Aktualizacja nie została wykonana.";
inline constexpr const char* StatusPageOnly     = "QuelNet %1 odpowiada tylko stroną stanu; tego programu nie można zaktualizować.";
inline constexpr const char* BackupSaved        = "Kopia ustawień zapisana w katalogu %1.";
inline constexpr const char* BackupSkipped      = "Kopia ustawień pominięta: QuelNet %1 nie udostępnia konfiguracji.";
inline constexpr const char* BackupFailed       = "Nie można odczytać ustawień do kopii; do QuelNet-a nic nie zostało zapisane (--no-backup pomija kopię).";
inline constexpr const char* BackupNotWritten   = "Nie można zapisać kopii ustawień w „%1”; do QuelNet-a nic nie zostało zapisane.";
inline constexpr const char* BackupNotAsked     = "Kopia ustawień pominięta (--no-backup).";
inline constexpr const char* BackupDirNotFolder = "„%1” nie jest katalogiem (--backup-dir).";
inline constexpr const char* ConfirmController  = "Aktualizacja QuelNet-a %1 (numer %2)";
inline constexpr const char* ConfirmVersion     = "Wersja: %1 → %2, język %3";
inline constexpr const char* ConfirmTexts       = "Teksty zapisane w QuelNet-cie zostaną wyczyszczone.";
inline constexpr const char* ConfirmBackup      = "Kopia konfiguracji i tekstów: %1";
inline constexpr const char* ConfirmQuestion    = "Czy kontynuować ?";
inline constexpr const char* DryProgram         = "Program: %1 (%2 B, zapieczętowany, kopia pod adresem 0x%3)";
inline constexpr const char* DryImage           = "Obraz DataFlash: %1 %2, %3 B, stron %4, wolne %5 B";
inline constexpr const char* DryTime            = "Szacowany czas: około %1 s";
inline constexpr const char* DryNothing         = "Próba: nic nie zostało zapisane.";
inline constexpr const char* DryConfig          = "Konfiguracja po aktualizacji: %1";
inline constexpr const char* ConfigReset        = "ustawienia fabryczne (ponowne połączenie z %1)";
inline constexpr const char* ConfigKept         = "zachowana";
inline constexpr const char* NotFinished        = "Program został wysłany, ale QuelNet nie odpowiedział po restarcie albo teksty nie zostały wyczyszczone; aktualizacja nie jest zakończona.";
inline constexpr const char* Updated            = "Zaktualizowano do %1 (%2).";

// User resources
inline constexpr const char* ResourcesSummary   = "instaluje strony i grafiki użytkownika w QuelNet-cie 4.x i sprawdza je odczytem";
inline constexpr const char* ReadBackOk         = "Odczyt kontrolny: stron %1 zgodnych z obrazem.";
inline constexpr const char* ReadBackDiffers    = "Odczyt kontrolny: strona 0x%1 różni się od obrazu.";
inline constexpr const char* ReadBackFailed     = "Odczyt kontrolny: nie można odczytać strony 0x%1.";
inline constexpr const char* DryResources       = "Obraz DataFlash: %1 B, stron %2; stron użytkownika %3, grafik %4.";
// clang-format on
} // namespace txt

} // namespace quelnet::cli
