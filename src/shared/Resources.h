#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vantreel {

class StringTable;

// Message texts by numeric ID in the current language. IDs are grouped by
// thousands; the table for a group is <CODE><GROUP>.rc (ENU110000.rc), found
// in the library's data directory or else in <Common\InstallDirectory>/Bin.
// The ID of a group base holds the group's text for a missing string.

// The three-letter code of a Windows language identifier; "ENU" for any
// identifier without one of its own.
std::string GetLanguageCode(int32_t lLangID);

// The code of the language family of a language code: the primary language
// whose tables a variant uses when it has none of its own ("DES" -> "DEU",
// "ENG" -> "ENU"); the code itself for a primary language or an unknown code.
std::string GetLanguageFamilyCode(std::string_view code);

// Forgets the loaded tables and enables lookups.
void InitResources();

// Selects the language. 0 means the configured default (Common\DefaultLanguage,
// else 1033) and is replaced by it in lLangID. Always true.
bool SetLanguage(int32_t& lLangID);

// The code of the selected language; "" before the first SetLanguage.
std::string CurrentLanguageCode();

// The table holding lID in the current language, loading it on first use;
// when the language has no table for the group, its family's table (a
// deliberate extension: a Swiss German station reads German, not "Error:
// Resource File Not Found"); nullptr when neither exists.
const StringTable* GetResourceLibrary(int32_t lID);
void FreeResourceLibraries();

// The text of lID; "Error: Resource File Not Found" without a table, the
// group's missing-string text (with the ID) when the table lacks lID.
std::string GetResString(int32_t lID);

// The text of lID with %k% replaced by inserts[k] for every insert given, in
// the order k = 0..9; placeholders without an insert stay as they are.
std::string FormatResStringWith(int32_t lID, std::span<const std::optional<std::string>> inserts);

// Insert values: text as it is, whole numbers in decimal.
inline std::string ResourceInsertText(std::string_view text) {
    return std::string(text);
}
template <class Number>
requires std::is_integral_v<Number> std::string ResourceInsertText(Number number) {
    return std::to_string(number);
}

template <class... Inserts>
std::string FormatResString(int32_t lID, const Inserts&... inserts) {
    static_assert(sizeof...(Inserts) <= 10, "at most ten inserts");
    const std::vector<std::optional<std::string>> texts{
        std::optional<std::string>(ResourceInsertText(inserts))...};
    return FormatResStringWith(lID, texts);
}

// Every occurrence of find replaced by replace, left to right.
std::string ReplaceAll(std::string_view sText, std::string_view sFind, std::string_view sReplace);

// "@N" gives string N; a single character stays; any other text comes back in
// square brackets, marking text that is not from the string tables.
std::string ResolveText(std::string_view sText);

// The base name of the help file every dialog of the library shares
// (<CODE>VT.chm): the two letters under which the main application's help
// is installed.
inline constexpr std::string_view kHelpBaseName = "VT";

// Makes the best existing help file of the language (then English; .chm
// before .hlp; the data directory before the bin directory) the help file.
// False, with the help file unchanged, when none exists.
bool SetHelpFile(int32_t lLangID, std::string_view sBaseName);
bool IsHtmlHelp();
std::string HelpFile();

// Where the library's own data (string tables, help files) lives:
// $VANTREEL_DATA_DIR, else share/vantreel of the installation this code was
// loaded from, else the resources of the source tree the build was configured
// from.
std::string LibraryDirectory();

}  // namespace vantreel
