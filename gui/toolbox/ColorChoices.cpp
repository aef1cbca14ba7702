#include "gui/toolbox/ColorChoices.h"

namespace quelnet {

TColor TColorFromRgb(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

namespace {

// System colour indices of the desktop's colour table.
enum SysIndex : TColor {
    SysScrollBar = 0,
    SysBackground = 1,
    SysActiveCaption = 2,
    SysInactiveCaption = 3,
    SysMenu = 4,
    SysWindow = 5,
    SysWindowFrame = 6,
    SysMenuText = 7,
    SysWindowText = 8,
    SysCaptionText = 9,
    SysActiveBorder = 10,
    SysInactiveBorder = 11,
    SysAppWorkSpace = 12,
    SysHighlight = 13,
    SysHighlightText = 14,
    SysBtnFace = 15,
    SysBtnShadow = 16,
    SysGrayText = 17,
    SysBtnText = 18,
    SysInactiveCaptionText = 19,
    SysBtnHighlight = 20,
    Sys3DDkShadow = 21,
    Sys3DLight = 22,
    SysInfoText = 23,
    SysInfoBk = 24,
    SysHotLight = 26,
    SysGradientActiveCaption = 27,
    SysGradientInactiveCaption = 28,
    SysMenuHighlight = 29,
    SysMenuBar = 30,
};

std::vector<NamedColor> makeChoices() {
    const auto rgb = [](int r, int g, int b) { return TColorFromRgb(r, g, b); };
    const auto sys = [](TColor i) { return SystemColorFlag | i; };
    return {
        // standard
        {QStringLiteral("Czarny"), rgb(0, 0, 0)},
        {QStringLiteral("Kasztanowy"), rgb(128, 0, 0)},
        {QStringLiteral("Zielony"), rgb(0, 128, 0)},
        {QStringLiteral("Oliwkowy"), rgb(128, 128, 0)},
        {QStringLiteral("Granatowy"), rgb(0, 0, 128)},
        {QStringLiteral("Purpurowy"), rgb(128, 0, 128)},
        {QStringLiteral("Morski"), rgb(0, 128, 128)},
        {QStringLiteral("Szary"), rgb(128, 128, 128)},
        {QStringLiteral("Srebrny"), rgb(192, 192, 192)},
        {QStringLiteral("Czerwony"), rgb(255, 0, 0)},
        {QStringLiteral("Limonkowy"), rgb(0, 255, 0)},
        {QStringLiteral("Żółty"), rgb(255, 255, 0)},
        {QStringLiteral("Niebieski"), rgb(0, 0, 255)},
        {QStringLiteral("Fuksja"), rgb(255, 0, 255)},
        {QStringLiteral("Akwamaryna"), rgb(0, 255, 255)},
        {QStringLiteral("Biały"), rgb(255, 255, 255)},
        // extended
        {QStringLiteral("Miętowy"), rgb(192, 220, 192)},
        {QStringLiteral("Błękitny"), rgb(166, 202, 240)},
        {QStringLiteral("Kremowy"), rgb(255, 251, 240)},
        {QStringLiteral("Średnioszary"), rgb(160, 160, 164)},
        // system
        {QStringLiteral("Pasek przewijania"), sys(SysScrollBar)},
        {QStringLiteral("Pulpit"), sys(SysBackground)},
        {QStringLiteral("Aktywny tytuł"), sys(SysActiveCaption)},
        {QStringLiteral("Nieaktywny tytuł"), sys(SysInactiveCaption)},
        {QStringLiteral("Menu"), sys(SysMenu)},
        {QStringLiteral("Okno"), sys(SysWindow)},
        {QStringLiteral("Ramka okna"), sys(SysWindowFrame)},
        {QStringLiteral("Tekst menu"), sys(SysMenuText)},
        {QStringLiteral("Tekst okna"), sys(SysWindowText)},
        {QStringLiteral("Tekst tytułu"), sys(SysCaptionText)},
        {QStringLiteral("Aktywna krawędź"), sys(SysActiveBorder)},
        {QStringLiteral("Nieaktywna krawędź"), sys(SysInactiveBorder)},
        {QStringLiteral("Obszar roboczy"), sys(SysAppWorkSpace)},
        {QStringLiteral("Zaznaczenie"), sys(SysHighlight)},
        {QStringLiteral("Tekst zaznaczenia"), sys(SysHighlightText)},
        {QStringLiteral("Powierzchnia przycisku"), sys(SysBtnFace)},
        {QStringLiteral("Cień przycisku"), sys(SysBtnShadow)},
        {QStringLiteral("Tekst wyszarzony"), sys(SysGrayText)},
        {QStringLiteral("Tekst przycisku"), sys(SysBtnText)},
        {QStringLiteral("Tekst nieaktywnego tytułu"), sys(SysInactiveCaptionText)},
        {QStringLiteral("Podświetlenie przycisku"), sys(SysBtnHighlight)},
        {QStringLiteral("Ciemny cień 3D"), sys(Sys3DDkShadow)},
        {QStringLiteral("Jasny 3D"), sys(Sys3DLight)},
        {QStringLiteral("Tekst podpowiedzi"), sys(SysInfoText)},
        {QStringLiteral("Tło podpowiedzi"), sys(SysInfoBk)},
        {QStringLiteral("Odnośnik"), sys(SysHotLight)},
        {QStringLiteral("Gradient aktywnego tytułu"), sys(SysGradientActiveCaption)},
        {QStringLiteral("Gradient nieaktywnego tytułu"), sys(SysGradientInactiveCaption)},
        {QStringLiteral("Podświetlenie menu"), sys(SysMenuHighlight)},
        {QStringLiteral("Pasek menu"), sys(SysMenuBar)},
    };
}

} // namespace

const std::vector<NamedColor>& ColorChoices() {
    static const std::vector<NamedColor> choices = makeChoices();
    return choices;
}

} // namespace quelnet
