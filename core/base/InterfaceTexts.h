#pragma once
// Interface texts and the two lenient number readers used for everything the
// user types or the panel file holds.
//
// Each text is a TLangText with three slots: 0 Polish (the one the program
// shows), 1 unused, 2 Italian (optional, never shown). Read a text with Pl().
// The texts designed into the windows themselves are not in this table.

#include <QLocale>
#include <QString>
#include <cstdint>

namespace quelnet {

struct TLangText {
    const char* Slot[3]; // UTF-8
};

// The Polish slot of an entry.
inline QString Pl(const TLangText& t) {
    return QString::fromUtf8(t.Slot[0]);
}

// Lenient integer reader: blanks, sign, decimal digits or hex digits after
// "$", "x", "X", "0x", "0X"; stops at the first character that does not fit.
// Never fails; callers keep the low bits their field can hold. Values beyond
// the 64-bit range wrap.
std::int64_t TextToInt64(const QString& text);

// Real reader under the user's locale (decimal separator): blanks (spaces
// only), sign, digits with at most one separator, exponent. 0 when the text
// does not convert, and when the number is beyond the range of the result.
long double TextToFloat(const QString& text);

// TextToFloat for a single-precision field: 0 as well when the number is
// beyond the range of single precision, so that no infinity reaches a record.
float TextToSingle(const QString& text);
// A computed value for a single-precision field, by the same rule.
float SingleOrZero(long double value);

// The locale the readers and the panel file use. Read once at start from the
// user's settings; tests set it explicitly.
const QLocale& UserLocale();
void SetUserLocale(const QLocale& locale);

namespace lt {
// clang-format off
// Device link
inline constexpr TLangText ConnectFailedLog     {{"Błąd : nie można nawiązać połączenia ze QuelNet-em.", "", "Errore : impossibile connettersi al QuelNet."}};
inline constexpr TLangText BadConnParam         {{"Niewłaściwy parametr połączenia ze QuelNet-em", "", "Parametro di connessione al QuelNet non valido"}};
inline constexpr TLangText CannotConnect        {{"Nie można nawiązać połączenia ze QuelNet-em", "", "Impossibile connettersi al QuelNet"}};
inline constexpr TLangText ProgrammingFlash     {{"Programowanie DataFlash-a ...", "", "Programmazione DataFlash ..."}};
inline constexpr TLangText ProgrammingFlashOk   {{"Programowanie DataFlash-a OK.", "", "Programmazione DataFlash OK."}};
inline constexpr TLangText RetryPage            {{"Błąd ponawiam stronę 0x", "", "Errore, ripeto la pagina 0x"}};
inline constexpr TLangText PageLoadError        {{"Błąd ładowania strony 0x", "", "Errore di caricamento della pagina 0x"}};
inline constexpr TLangText Updating             {{"Aktualizuję ...", "", "Aggiornamento ..."}};
inline constexpr TLangText UpdateOk             {{"Aktualizacja OK.", "", "Aggiornamento OK."}};
inline constexpr TLangText UpdateFinishedOk     {{"Aktualizacja zakończona OK.", "", "Aggiornamento terminato OK."}};
inline constexpr TLangText PrepareConfigError   {{"Błąd przygotowywania konfiguracji.", "", "Errore di preparazione della configurazione."}};
inline constexpr TLangText RestartQuelnet       {{"Restart QuelNet-a.", "", "Riavvio del QuelNet."}};
inline constexpr TLangText ResetQuelnet         {{"Reset QuelNet-a.", "", "Reset del QuelNet."}};
inline constexpr TLangText RestartAtUpdateEnd   {{"Restart QuelNet-a na koniec aktualizacji.", "", "Riavvio del QuelNet alla fine dell'aggiornamento."}};
inline constexpr TLangText WaitingReconnect     {{"Oczekiwanie na ponowne połączenie ...", "", "Attesa della riconnessione ..."}};
inline constexpr TLangText Reconnecting         {{"Ponowne łączenie ...", "", "Riconnessione ..."}};
inline constexpr TLangText ReconnectOk          {{"Ponowne łączenie OK.", "", "Riconnessione OK."}};
inline constexpr TLangText ClearingTexts        {{"Zerowanie tekstów ...", "", "Azzeramento dei testi ..."}};
inline constexpr TLangText ClearingTextsOk      {{"Zerowanie tekstów OK.", "", "Azzeramento dei testi OK."}};
inline constexpr TLangText TakeOverConfig       {{"Przepisywanie konfiguracji ...", "", "Trascrizione della configurazione ..."}};
inline constexpr TLangText TakeOverConfigOk     {{"Przepisywanie konfiguracji OK.", "", "Trascrizione della configurazione OK."}};
inline constexpr TLangText ReadingConfig        {{"Odczyt konfiguracji ...", "", "Lettura della configurazione ..."}};
inline constexpr TLangText ReadingConfigOk      {{"Odczyt konfiguracji OK.", "", "Lettura della configurazione OK."}};
inline constexpr TLangText WritingConfig        {{"Zapis konfiguracji ...", "", "Scrittura della configurazione ..."}};
inline constexpr TLangText WritingConfigOk      {{"Zapis konfiguracji OK.", "", "Scrittura della configurazione OK."}};
inline constexpr TLangText ReadingTexts         {{"Odczyt tekstów ...", "", "Lettura dei testi ..."}};
inline constexpr TLangText ReadingTextsOk       {{"Odczyt tekstów OK.", "", "Lettura dei testi OK."}};
inline constexpr TLangText WritingTexts         {{"Zapis tekstów ...", "", "Scrittura dei testi ..."}};
inline constexpr TLangText WritingTextsOk       {{"Zapis tekstów OK.", "", "Scrittura dei testi OK."}};
inline constexpr TLangText ReadVariablesError   {{"Błąd odczytu zmiennych.", "", "Errore di lettura delle variabili."}};
inline constexpr TLangText ReadConfigError      {{"Błąd odczytu konfiguracji.", "", "Errore di lettura della configurazione."}};
inline constexpr TLangText TakeOverConfigError  {{"Błąd przepisywania konfiguracji QuelNet-a.", "", "Errore di trascrizione della configurazione del QuelNet."}};
inline constexpr TLangText NoDigitalCircuit     {{"Brak wskazanego obwodu cyfrowego „", "", "Manca il circuito digitale „"}};
inline constexpr TLangText NoAnalogCircuit      {{"Brak wskazanego obwodu analogowego „", "", "Manca il circuito analogico „"}};
inline constexpr TLangText InQuelnet            {{"” w QuelNet-ie.", "", "” nel QuelNet."}};
inline constexpr TLangText NoAcknowledge        {{"Brak potwierdzenia ze strony QuelNet-a", "", "Nessuna conferma dal QuelNet"}};

// Firmware update and user resources
inline constexpr TLangText LoadingProgram       {{"Ładowanie programu ...", "", "Caricamento del programma ..."}};
inline constexpr TLangText LoadingProgramOk     {{"Ładowanie programu OK.", "", "Caricamento del programma OK."}};
inline constexpr TLangText LoadProgramError     {{"Błąd : nie można załadować programu.", "", "Errore : impossibile caricare il programma."}};
inline constexpr TLangText LoadingFlash         {{"Ładowanie zawartości DataFlash ...", "", "Caricamento del contenuto DataFlash ..."}};
inline constexpr TLangText LoadingFlashOk       {{"Ładowanie zawartości DataFlash OK.", "", "Caricamento del contenuto DataFlash OK."}};
inline constexpr TLangText FlashProgramError    {{"Błąd programowania DataFlash.", "", "Errore di programmazione DataFlash."}};
inline constexpr TLangText FlashProcessError    {{"Błąd przetwarzania zawartość DataFlash.", "", "Errore di elaborazione del contenuto DataFlash."}};

// Common to all windows
inline constexpr TLangText HelpOpened           {{"Pomoc udostępniona w przeglądarce.", "", "Guida aperta nel browser."}};
// The help button's hint and the title of the box that says the page is open
inline constexpr TLangText HelpButtonHint       {{"Pomoc (F1)", "", "Guida (F1)"}};
inline constexpr TLangText HelpTitle            {{"Quelnet", "", "Quelnet"}};

// Resources and settings tools; message-box titles
inline constexpr TLangText LoadingResources     {{"Ładowanie zasobów ...", "", "Caricamento delle risorse ..."}};
inline constexpr TLangText ResourcesLoaded      {{"Zasoby zostały załadowane.", "", "Le risorse sono state caricate."}};
inline constexpr TLangText TitleInformation     {{"Informacja", "", "Informazione"}};
inline constexpr TLangText TitleError           {{"Błąd", "", "Errore"}};
inline constexpr TLangText TitleWarning         {{"Ostrzeżenie", "", "Avvertimento"}};
inline constexpr TLangText TitleQuestion        {{"Pytanie", "", "Domanda"}};
inline constexpr TLangText NoProgramJumper      {{"Brak zwory zezwalającej na programowanie.", "", "Manca il ponticello che abilita la programmazione."}};
inline constexpr TLangText NoVersion4           {{"Nie wykryto QuelNet-a wersji 4.x.x.", "", "QuelNet versione 4.x.x non rilevato."}};
inline constexpr TLangText FreeSpace            {{"Wolna przestrzeń :", "", "Spazio libero :"}};
// The user's files leave no room in the DataFlash image
inline constexpr TLangText FilesDoNotFit        {{"Wybrane pliki nie mieszczą się w pamięci DataFlash QuelNet-a.", "", "I file scelti non entrano nella memoria DataFlash del QuelNet."}};
inline constexpr TLangText NoReadJumper         {{"Brak zwory zezwalającej na odczyt konfiguracji.", "", "Manca il ponticello che abilita la lettura della configurazione."}};
inline constexpr TLangText SaveConfigTitle      {{"Zapis konfiguracji QuelNet-a.", "", "Salvataggio della configurazione del QuelNet."}};
inline constexpr TLangText ConfigFileFilter     {{"Ustawienia QuelNet-a|*.QNC", "", "Impostazioni QuelNet|*.QNC"}};
inline constexpr TLangText ReplaceFileQuestion  {{"Czy zastąpić istniejący plik ?", "", "Sostituire il file esistente ?"}};
inline constexpr TLangText CannotCreateFile     {{"Nie mogę utworzyć pliku.", "", "Impossibile creare il file."}};
inline constexpr TLangText CannotWriteFile      {{"Nie mogę zapisać pliku.", "", "Impossibile scrivere il file."}};
inline constexpr TLangText SaveTextsTitle       {{"Zapis tekstów QuelNet-a.", "", "Salvataggio dei testi del QuelNet."}};
inline constexpr TLangText TextFileFilter       {{"Teksty QuelNet-a|*.QNT", "", "Testi QuelNet|*.QNT"}};
inline constexpr TLangText NoWriteJumper        {{"Brak zwory zezwalającej na zapis konfiguracji.", "", "Manca il ponticello che abilita la scrittura della configurazione."}};
inline constexpr TLangText LoadConfigTitle      {{"Odczyt konfiguracji QuelNet-a.", "", "Lettura della configurazione del QuelNet."}};
inline constexpr TLangText FileMissing          {{"Plik nie istnieje.", "", "Il file non esiste."}};
inline constexpr TLangText CannotReadFile       {{"Nie mogę odczytać pliku.", "", "Impossibile leggere il file."}};
inline constexpr TLangText CannotOpenFile       {{"Nie mogę otworzyć pliku.", "", "Impossibile aprire il file."}};
inline constexpr TLangText LoadTextsTitle       {{"Odczyt tekstów QuelNet-a.", "", "Lettura dei testi del QuelNet."}};
inline constexpr TLangText OverwriteNetQuestion {{"Czy nadpisać ustawienia sieciowe i hasła QuelNet-a ?", "", "Sovrascrivere le impostazioni di rete e le password del QuelNet ?"}};
inline constexpr TLangText SettingsToProgram    {{"Zostaną wprogramowane następujące ustawienia.", "", ""}};
inline constexpr TLangText MacLabel             {{"MAC:", "", "MAC:"}};
inline constexpr TLangText IpLabel              {{"IP:", "", "IP:"}};
inline constexpr TLangText MaskLabel            {{"Maska:", "", "Maschera:"}};
inline constexpr TLangText PasswordLabel        {{"Hasło:", "", "Password:"}};
inline constexpr TLangText OverwriteQuestion    {{"Czy nadpisać ustawienia ?", "", "Sovrascrivere le impostazioni ?"}};
// In the summary above when the file's control password differs from the one in use
inline constexpr TLangText ControlPasswordChanges {{"Hasło sterowania QuelNet-a zmieni się na hasło zapisane w pliku: panel i okna będą się z nim łączyć tylko z tym hasłem.", "", "La password di controllo del QuelNet diventerà quella salvata nel file: il pannello e le finestre si collegheranno solo con questa password."}};

// Toolbox: choice texts
inline constexpr TLangText ModeOff              {{"Wyłącz", "", "Spegni"}};
inline constexpr TLangText ModeOn               {{"Włącz", "", "Accendi"}};
inline constexpr TLangText ModeToggle           {{"Przełącz", "", "Commuta"}};
inline constexpr TLangText ConnInput            {{"Do wejścia elementu", "", "All'ingresso dell'elemento"}};
inline constexpr TLangText ConnOutput           {{"Do wyjścia elementu", "", "All'uscita dell'elemento"}};
inline constexpr TLangText OrientHorizontal     {{"Pozioma", "", "Orizzontale"}};
inline constexpr TLangText OrientVertical       {{"Pionowa", "", "Verticale"}};
inline constexpr TLangText No                   {{"Nie", "", "No"}};
inline constexpr TLangText Yes                  {{"Tak", "", "Sì"}};
// Toolbox: palette names (index = element kind)
inline constexpr TLangText PaletteButton        {{"Przycisk sterujący", "", "Pulsante di comando"}};
inline constexpr TLangText PaletteDSign         {{"Wskaźnik cyfrowy", "", "Indicatore digitale"}};
inline constexpr TLangText PaletteASign         {{"Wskaźnik analogowy", "", "Indicatore analogico"}};
inline constexpr TLangText PaletteText          {{"Etykieta tekstowa", "", "Etichetta di testo"}};
inline constexpr TLangText PaletteTrack         {{"Zadajnik analogowy", "", "Regolatore analogico"}};
// Toolbox: sheet headings
inline constexpr TLangText EditingButton        {{"Edytujesz - Przycisk sterujący", "", "Stai modificando - Pulsante di comando"}};
inline constexpr TLangText EditingDSign         {{"Edytujesz - Wskaźnik cyfrowy", "", "Stai modificando - Indicatore digitale"}};
inline constexpr TLangText EditingASign         {{"Edytujesz - Wskaźnik analogowy", "", "Stai modificando - Indicatore analogico"}};
inline constexpr TLangText EditingText          {{"Edytujesz - Etykieta tekstowa", "", "Stai modificando - Etichetta di testo"}};
inline constexpr TLangText EditingTrack         {{"Edytujesz - Zadajnik analogowy", "", "Stai modificando - Regolatore analogico"}};
inline constexpr TLangText PickElement          {{"Wskaż element do edycji", "", "Indica l'elemento da modificare"}};
// Toolbox: row names
inline constexpr TLangText RowHost              {{"Połączenie - adres", "", "Connessione - indirizzo"}};
inline constexpr TLangText RowPort              {{"Połączenie – port", "", "Connessione – porta"}};
inline constexpr TLangText RowPass              {{"Połączenie – hasło", "", "Connessione – password"}};
inline constexpr TLangText RowOutDCir           {{"Kliknięcie - połączenie z obwodem cyfrowy", "", "Clic - collegamento al circuito digitale"}};
inline constexpr TLangText RowOutMode           {{"Kliknięcie - sposób działania", "", "Clic - modo di funzionamento"}};
inline constexpr TLangText RowInDCir            {{"Stan - połączenie z obwodem cyfrowym", "", "Stato - collegamento al circuito digitale"}};
inline constexpr TLangText RowInConn            {{"Stan - punkt podłączenia do obwodu", "", "Stato - punto di collegamento al circuito"}};
inline constexpr TLangText RowImgL              {{"Stan - obrazek 0 ( nieaktywny )", "", "Stato - immagine 0 ( inattivo )"}};
inline constexpr TLangText RowImgH              {{"Stan - obrazek 1 ( aktywny )", "", "Stato - immagine 1 ( attivo )"}};
inline constexpr TLangText RowRefresh           {{"Stan - odświeżanie elementu ( ms )", "", "Stato - aggiornamento dell'elemento ( ms )"}};
inline constexpr TLangText RowCaption           {{"Opis przycisku", "", "Descrizione del pulsante"}};
inline constexpr TLangText RowInACir            {{"Stan - połączenie z obwodem analogowym", "", "Stato - collegamento al circuito analogico"}};
inline constexpr TLangText RowImgD              {{"Stan - obrazek domyślny", "", "Stato - immagine predefinita"}};
inline constexpr TLangText RowLevel             {{"Stan - poziom wyzwolenia", "", "Stato - livello di attivazione"}};
inline constexpr TLangText RowLevelImg          {{"Stan - obrazek dla poziomu", "", "Stato - immagine per il livello"}};
inline constexpr TLangText RowText              {{"Tekst", "", "Testo"}};
inline constexpr TLangText RowFontName          {{"Czcionka - nazwa", "", "Carattere - nome"}};
inline constexpr TLangText RowFontSize          {{"Czcionka - rozmiar", "", "Carattere - dimensione"}};
inline constexpr TLangText RowFontColor         {{"Czcionka - kolor", "", "Carattere - colore"}};
inline constexpr TLangText RowFontBold          {{"Czcionka - pogrubienie", "", "Carattere - grassetto"}};
inline constexpr TLangText RowFontItalic        {{"Czcionka - pochylenie", "", "Carattere - corsivo"}};
inline constexpr TLangText RowFontUnder         {{"Czcionka – podkreślenie", "", "Carattere – sottolineato"}};
inline constexpr TLangText RowFontStrike        {{"Czcionka – przekreślenie", "", "Carattere – barrato"}};
inline constexpr TLangText RowTrackACir         {{"Suwak - połączenie z obwodem analogowym", "", "Cursore - collegamento al circuito analogico"}};
inline constexpr TLangText RowTrackOrient       {{"Suwak - orientacja", "", "Cursore - orientamento"}};
inline constexpr TLangText RowTrackReverse      {{"Suwak - odwrócenie", "", "Cursore - inversione"}};
inline constexpr TLangText RowTrackSteps        {{"Suwak - ilość kroków suwaka", "", "Cursore - numero di passi"}};
inline constexpr TLangText RowTrackStart        {{"Suwak - wartość początkowa", "", "Cursore - valore iniziale"}};
inline constexpr TLangText RowTrackStep         {{"Suwak - równowartość kroku", "", "Cursore - valore del passo"}};
inline constexpr TLangText RowTrackStop         {{"Suwak - wartość końcowa", "", "Cursore - valore finale"}};

// Firmware update tool
inline constexpr TLangText ReadyForUpdate       {{"QuelNet jest gotowy do aktualizacji.", "", "Il QuelNet è pronto per l'aggiornamento."}};
inline constexpr TLangText Searching            {{"Wyszukuję QuelNet-a ...", "", "Ricerca del QuelNet ..."}};
inline constexpr TLangText Detected             {{"Wykryto QuelNet-a", "", "QuelNet rilevato"}};
inline constexpr TLangText VersionLabel         {{"Wersja :", "", "Versione :"}};
inline constexpr TLangText HardwareLabel        {{"Sprzęt :", "", "Hardware :"}};
inline constexpr TLangText BuildLabel           {{"Wykonanie :", "", "Esecuzione :"}};
inline constexpr TLangText NumberLabel          {{"Numer :", "", "Numero :"}};
inline constexpr TLangText LanguageLabel        {{"Język :", "", "Lingua :"}};
inline constexpr TLangText CannotUpdateVersion  {{"Program nie może dokonać aktualizacji QuelNet-a w wersji „", "", "Il programma non può aggiornare il QuelNet nella versione „"}};
inline constexpr TLangText UseOlderTool         {{"”. Należy użyć programu \"Quelnet V3.1.4\" i zaktualizować QuelNet-a do wersji V2.1.4 i następnie ponowić aktualizację do kolejnej wersji.", "", "”. Usare il programma \"Quelnet V3.1.4\" e aggiornare il QuelNet alla versione V2.1.4, poi ripetere l'aggiornamento alla versione successiva."}};
inline constexpr TLangText CannotDetect         {{"Nie można wykryć QuelNet-a.", "", "Impossibile rilevare il QuelNet."}};
inline constexpr TLangText VerifyAddress        {{"Proszę zweryfikować adres QuelNet-a, ustawienia sieciowe komputera itp.", "", "Verificare l'indirizzo del QuelNet, le impostazioni di rete del computer ecc."}};
inline constexpr TLangText ChooseLanguage       {{"Proszę wybrać wersję językową.", "", "Scegliere la versione linguistica."}};
inline constexpr TLangText UpdateLosesConfig    {{"Aktualizacja QuelNet-a do wersji 4.x.x spowoduje utratę konfiguracji i przywrócenie ustawień fabrycznych. QuelNet w wersji 4.x.x nie obsługuje formatu zapisu konfiguracji z wcześniejszych wersji. Czy kontynuować ?", "", "L'aggiornamento del QuelNet alla versione 4.x.x causerà la perdita della configurazione e il ripristino delle impostazioni di fabbrica. Il QuelNet versione 4.x.x non supporta il formato di configurazione delle versioni precedenti. Continuare ?"}};
inline constexpr TLangText SameVersionQuestion  {{"Próbujesz załadować aktualnie zainstalowaną wersję programu. Czy kontynuować ?", "", "Stai caricando la versione del programma attualmente installata. Continuare ?"}};
inline constexpr TLangText CannotUpdateOld      {{"Nie można przeprowadzić aktualizacji z wersji V2.1.3", "", "Impossibile aggiornare dalla versione V2.1.3"}};
// Status line after a failed programming
inline constexpr TLangText UpdateFailed         {{"Aktualizacja nie powiodła się.", "", "Aggiornamento non riuscito."}};
// The update start was written but the controller did not restart: it never took it
inline constexpr TLangText UpdateStartNotTaken  {{"Błąd : QuelNet nie rozpoczął aktualizacji (nie wykryto jego restartu).", "", "Errore : il QuelNet non ha avviato l'aggiornamento (riavvio non rilevato)."}};
// Status line: the program is installed, but the texts could not be cleared after the restart
inline constexpr TLangText UpdateFinishedWithErrors {{"Aktualizacja zakończona z błędami – teksty nie zostały wyczyszczone.", "", "Aggiornamento terminato con errori – i testi non sono stati azzerati."}};

// Panel window
inline constexpr TLangText FinishEditBeforeClose {{"Proszę zakończyć edycję elementu przed zamknięciem edytora.", "", "Terminare la modifica dell'elemento prima di chiudere l'editor."}};
// The panel could not be saved on closing: the path and the reason follow, then the question
inline constexpr TLangText PanelNotSaved        {{"Nie mogę zapisać panelu do pliku:", "", "Impossibile salvare il pannello nel file:"}};
inline constexpr TLangText CloseWithoutSaving   {{"Czy zamknąć edytor bez zapisania zmian ?", "", "Chiudere l'editor senza salvare le modifiche ?"}};
// A panel file beyond the program's limits (core/panel/PanelLimits.h): the path follows, then the reason
inline constexpr TLangText PanelRefused         {{"Panel nie został wczytany, plik pozostaje bez zmian:", "", "Il pannello non è stato caricato, il file resta invariato:"}};
inline constexpr TLangText PanelFileTooLarge    {{"Plik ma %1 bajtów, a program przyjmuje najwyżej %2.", "", "Il file ha %1 byte, il programma ne accetta al massimo %2."}};
inline constexpr TLangText PanelTooManyLines    {{"Plik ma %1 wierszy, a program przyjmuje najwyżej %2.", "", "Il file ha %1 righe, il programma ne accetta al massimo %2."}};
inline constexpr TLangText PanelTooManyElements {{"Panel ma %1 elementów, a program przyjmuje najwyżej %2.", "", "Il pannello ha %1 elementi, il programma ne accetta al massimo %2."}};
inline constexpr TLangText PanelFileUnreadable  {{"Pliku panelu nie udało się odczytać.", "", "Impossibile leggere il file del pannello."}};
inline constexpr TLangText PanelFileDamaged     {{"Plik panelu jest uszkodzony.", "", "Il file del pannello è danneggiato."}};
// Closing the editor over a panel file that could not be read: the backup's path follows
inline constexpr TLangText PanelOldKept         {{"Poprzednia zawartość pliku panelu została zachowana w pliku:", "", "Il contenuto precedente del file del pannello è stato conservato nel file:"}};
// Closing the editor with nothing placed over a panel file that could not be read: the path follows
inline constexpr TLangText PanelLeftUntouched   {{"Panel jest pusty, plik panelu pozostaje bez zmian:", "", "Il pannello è vuoto, il file del pannello resta invariato:"}};
// Editor status bar when the panel file lives in the user's configuration folder: the path follows
inline constexpr TLangText PanelFileIn          {{"Plik panelu: ", "", "File del pannello: "}};
inline constexpr TLangText EditCaption          {{"Wirtualny Quelnet 4.0.1f - Edycja", "", "Quelnet virtuale 4.0.1f - Modifica"}};
inline constexpr TLangText RunCaption           {{"Wirtualny Quelnet 4.0.1f", "", "Quelnet virtuale 4.0.1f"}};
// clang-format on
} // namespace lt

} // namespace quelnet
