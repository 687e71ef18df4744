// Colour resolution against the Qt palette and fontconfig substitutes for Windows fonts.
#include "SciSupport.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <fontconfig/fontconfig.h>

namespace {

// Where each system colour comes from on this platform. The fallback serves when no
// application (and so no palette) exists; the desktop has no palette role at all.
struct SystemColorSource {
    std::uint32_t Index;
    bool FromPalette;
    QPalette::ColorRole Role;
    std::uint32_t FallbackRGB;  // 0xRRGGBB
};

constexpr SystemColorSource kSystemColors[] = {
    {COLOR_BACKGROUND, false, QPalette::NoRole, 0x3A6EA5},
    {COLOR_WINDOW, true, QPalette::Base, 0xFFFFFF},
    {COLOR_WINDOWTEXT, true, QPalette::WindowText, 0x000000},
    {COLOR_HIGHLIGHT, true, QPalette::Highlight, 0x0078D7},
    {COLOR_HIGHLIGHTTEXT, true, QPalette::HighlightedText, 0xFFFFFF},
    {COLOR_BTNFACE, true, QPalette::Button, 0xF0F0F0},
};

std::uint32_t ResolveSystemColor(std::uint32_t index) {
    for (const SystemColorSource& source : kSystemColors) {
        if (source.Index != index) continue;
        if (source.FromPalette && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            const QColor c = QGuiApplication::palette().color(QPalette::Active, source.Role);
            return HexRGB((std::uint32_t(c.red()) << 16) | (c.green() << 8) | c.blue());
        }
        return HexRGB(source.FallbackRGB);
    }
    return 0;
}

// Windows font names of the stored forms and the fontconfig pattern that stands in.
struct FontStandIn {
    const char* WindowsName;
    const char* Pattern;
};

constexpr FontStandIn kFontStandIns[] = {
    {"Fixedsys", "monospace"},
    {"Comic Sans MS", "sans-serif"},
    {"宋体", ":lang=zh-cn"},
};

QString FontconfigFamily(const char* pattern) {
    QString family;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!query) return family;
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, query, &result)) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = QString::fromUtf8(reinterpret_cast<const char*>(name));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    return family;
}

// clang-format off
constexpr TSciIdent kCodePages[] = {
    {1, "cpDefault"},       {0, "cpAnsi"},          {65001, "cpUTF8"},     {186, "cpBaltic"},
    {136, "cpChineseBig5"}, {238, "cpEastEurope"},  {134, "cpGB2312"},     {161, "cpGreek"},
    {129, "cpHangul"},      {77, "cpMac"},          {255, "cpOEM"},        {204, "cpRussian"},
    {1251, "cpCyrillic"},   {128, "cpShiftJIS"},    {2, "cpSymbol"},       {162, "cpTurkish"},
    {130, "cpJohab"},       {177, "cpHebrew"},      {178, "cpArabic"},     {163, "cpVietnamese"},
    {222, "cpThai"},        {1000, "cp8859_15"},
};
// clang-format on

}  // namespace

const std::span<const TSciIdent> kSciCodePageIdents(kCodePages);

std::optional<int> SciIdentToValue(std::span<const TSciIdent> table, const QString& name) {
    for (const TSciIdent& ident : table)
        if (name.compare(QLatin1String(ident.Name), Qt::CaseInsensitive) == 0) return ident.Value;
    return std::nullopt;
}

QString SciValueToIdent(std::span<const TSciIdent> table, int value) {
    for (const TSciIdent& ident : table)
        if (ident.Value == value) return QString::fromLatin1(ident.Name);
    return {};
}

std::uint32_t ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return ResolveSystemColor(color & 0xFF);
    return color & 0xFFFFFF;
}

void InstallSciFontSubstitutes() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (const FontStandIn& standIn : kFontStandIns) {
        const QString family = FontconfigFamily(standIn.Pattern);
        if (!family.isEmpty()) QFont::insertSubstitution(QString::fromUtf8(standIn.WindowsName), family);
    }
}

QString ResolvedFontFamily(const QString& family) { return QFontInfo(QFont(family)).family(); }
