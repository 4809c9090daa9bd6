#include "HostCalls.h"

#include "vantreel/vantreel.h"

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// The public classes are called through SFINAE-friendly lambdas: a method the
// class of this build does not have (or takes other arguments) leaves its
// button disabled with the reason, instead of breaking the tool's build.
namespace vantreel::cli {
namespace {

// (Helpers a build without some of the classes leaves unused are marked so.)

[[maybe_unused]] std::string ShowResult(const std::string& text) {
    return '"' + text + '"';
}

[[maybe_unused]] std::string ShowResult(bool value) {
    return value ? "true" : "false";
}

[[maybe_unused]] std::string ShowResult(const std::optional<std::vector<std::string>>& list) {
    if (!list) {
        return "no collection";
    }
    std::string text = "[";
    for (const std::string& item : *list) {
        text += (text.size() > 1 ? ", \"" : "\"") + item + '"';
    }
    return text + "]";
}

template <typename First, typename Second>
[[maybe_unused]] std::string ShowResult(const std::pair<First, Second>& pair) {
    return ShowResult(pair.first) + ", then " + ShowResult(pair.second);
}

template <typename Class, typename Call>
HostCall MakeCall(const char* className, const char* method, std::string arguments, Call call) {
    HostCall entry{className, method, method, std::move(arguments), {}, {}};
    if constexpr (std::is_invocable_v<Call, Class&, const HostCallSettings&>) {
        entry.run = [call](const HostCallSettings& settings) -> std::string {
            Class object;
            using Result = std::invoke_result_t<Call, Class&, const HostCallSettings&>;
            if constexpr (std::is_void_v<Result>) {
                call(object, settings);
                return "(returned)";
            } else {
                return ShowResult(call(object, settings));
            }
        };
    } else {
        entry.unavailable = std::string(className) + " of this build has no " + method +
                            entry.arguments + " as the demo host calls it";
    }
    return entry;
}

// The first of several spellings the class of this build has, on the button `button`.
[[maybe_unused]] HostCall FirstAvailable(const char* button, std::vector<HostCall> candidates) {
    HostCall chosen = candidates.front();
    for (HostCall& candidate : candidates) {
        if (candidate.unavailable.empty()) {
            chosen = candidate;
            break;
        }
    }
    chosen.button = button;
    return chosen;
}

[[maybe_unused]] HostCall NotBuilt(const char* className, const char* method,
                                   std::string arguments) {
    return {className,
            method,
            method,
            std::move(arguments),
            std::string(className) + " is not part of this build yet",
            {}};
}

}  // namespace

// EXPRESSION uses `object` (a fresh instance) and `s` (the settings).
#define VANTREEL_HOST_CALL(CLASS, METHOD, ARGUMENTS, ...)                                       \
    MakeCall<vantreel::CLASS>(                                                                  \
        #CLASS, #METHOD, ARGUMENTS,                                                             \
        [](auto& object, [[maybe_unused]] const HostCallSettings& s) -> decltype(__VA_ARGS__) { \
            return __VA_ARGS__;                                                                 \
        })

const std::vector<HostCall>& HostCalls() {
    static const std::vector<HostCall> calls = [] {
        std::vector<HostCall> list;
#if __has_include("vantreel/PartSelection.h")
        list.push_back(VANTREEL_HOST_CALL(PartSelection, PartOpen, "(\"Open a part program\")",
                                          object.PartOpen("Open a part program")));
        list.push_back(VANTREEL_HOST_CALL(PartSelection, PartSaveAs, "(\"Save the part as\")",
                                          object.PartSaveAs("Save the part as")));
        list.push_back(VANTREEL_HOST_CALL(PartSelection, PartDirectory, "(\"Choose a folder\")",
                                          object.PartDirectory("Choose a folder")));
        list.push_back(VANTREEL_HOST_CALL(
            PartSelection, BuildExportList, "(\"Double-click the parts to export\")",
            object.BuildExportList("Double-click the parts to export")));
#else
        for (const char* method : {"PartOpen", "PartSaveAs", "PartDirectory", "BuildExportList"}) {
            list.push_back(NotBuilt("PartSelection", method, "(PROMPT)"));
        }
#endif
#if __has_include("vantreel/PartInformation.h")
        list.push_back(VANTREEL_HOST_CALL(
            PartInformation, ShowInformation,
            "(STATION/repository/Plates/PLATE_4711, Users\\anna, Machines\\Bridge1, LANGUAGE, "
            "TOUCH)",
            object.ShowInformation(s.station + "/repository/Plates/PLATE_4711", "Users\\anna",
                                   "Machines\\Bridge1", s.language, s.touchScreen)));
#else
        list.push_back(NotBuilt("PartInformation", "ShowInformation",
                                "(PART, USERKEY, MACHINEKEY, LANGUAGE, TOUCH)"));
#endif
#if __has_include("vantreel/Logon.h")
        list.push_back(VANTREEL_HOST_CALL(
            Logon, Login, "() with LastUserName anna; then CurrentUser",
            (object.SetLastUserName("anna"), object.SetLangID(s.language),
             std::pair<bool, std::string>(object.Login(), object.CurrentUser()))));
#else
        list.push_back(NotBuilt("Logon", "Login", "()"));
#endif
#if __has_include("vantreel/MachineSelection.h")
        list.push_back(VANTREEL_HOST_CALL(MachineSelection, SelectMachine, "(LANGUAGE)",
                                          object.SelectMachine(s.language)));
#else
        list.push_back(NotBuilt("MachineSelection", "SelectMachine", "(LANGUAGE)"));
#endif
#if __has_include("vantreel/Export.h")
        // A member cannot share its class's name in C++, so the export call has
        // its own; the spellings tried are those a host would look for.
        list.push_back(FirstAvailable(
            "Export", {
                          VANTREEL_HOST_CALL(Export, ExportParts, "(LANGUAGE)",
                                             object.ExportParts(s.language, std::nullopt)),
                          VANTREEL_HOST_CALL(Export, ExportPart, "(LANGUAGE)",
                                             object.ExportPart(s.language, std::nullopt)),
                          VANTREEL_HOST_CALL(Export, DoExport, "(LANGUAGE)",
                                             object.DoExport(s.language, std::nullopt)),
                      }));
        list.push_back(VANTREEL_HOST_CALL(Export, Import, "(LANGUAGE)",
                                          object.Import(s.language, std::nullopt)));
        list.push_back(VANTREEL_HOST_CALL(
            Export, ImportLegacy, "(STATION/legacy/PARTS.LST, STATION/repository/Imported, true)",
            object.ImportLegacy(s.station + "/legacy/PARTS.LST", s.station + "/repository/Imported",
                                true)));
#else
        list.push_back(NotBuilt("Export", "Export", "(LANGUAGE)"));
        list.push_back(NotBuilt("Export", "Import", "(LANGUAGE)"));
        list.push_back(NotBuilt("Export", "ImportLegacy", "(LISTFILE, TARGET, UPGRADE)"));
#endif
        return list;
    }();
    return calls;
}

}  // namespace vantreel::cli
