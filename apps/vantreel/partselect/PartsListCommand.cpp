// vantreel parts list: the part selection dialog's listing of a folder of the
// part repository, one entry a line, for administrators and scripts.

#include "CommandRegistry.h"

#include "partselect/PartListing.h"
#include "partselect/PartSelectState.h"
#include "shared/Configuration.h"
#include "shared/MessageBox.h"
#include "shared/Text.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace vantreel::cli {
namespace {

constexpr const char* kUsage =
    "[FOLDER] [--require-source] [--require-executable] [--suppress-lorimet] [--directories] "
    "[--details]  list a folder of the part repository (FOLDER relative to its root) as "
    "KIND<TAB>NAME<TAB>FULLPATH[<TAB>DATE], KIND F (folder), P (part) or D (legacy DMIS file)";

// The library's messages go to the command's error stream while it runs.
class MessagesTo {
  public:
    explicit MessagesTo(std::ostream& err)
        : previous_(SetMessageBoxHandler(
              [&err](const std::string& text, int32_t, const std::string&) -> int32_t {
                  err << "ERROR: " << text << '\n';
                  return vbOK;
              })) {}
    ~MessagesTo() { SetMessageBoxHandler(previous_); }
    MessagesTo(const MessagesTo&) = delete;
    MessagesTo& operator=(const MessagesTo&) = delete;

  private:
    MessageBoxHandler previous_;
};

// Whether a folder given relative to the repository root steps up ("..")
// anywhere, and so may lie outside it.
bool LeavesTheRepository(const std::string& folder) {
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        const std::string_view step(folder.data() + start, end - start);
        if (step == "..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

int RunPartsList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    PartSelectState state;
    std::string folder;
    bool folderGiven = false;
    for (const std::string& arg : args) {
        if (arg == "--require-source") {
            state.RequireSource = true;
        } else if (arg == "--require-executable") {
            state.RequireExecutable = true;
        } else if (arg == "--suppress-lorimet") {
            state.SuppressLorimet = true;
        } else if (arg == "--directories") {
            state.DirectoryMode = true;
        } else if (arg == "--details") {
            state.ListMode = false;
        } else if (arg.starts_with("--") || folderGiven) {
            err << "usage: vantreel parts list " << kUsage << '\n';
            return 2;
        } else {
            folder = std::string(Trim(arg, "/"));
            folderGiven = true;
        }
    }
    if (LeavesTheRepository(folder)) {
        err << "ERROR: the folder '" << folder << "' is not inside the part repository\n";
        return 2;
    }

    MessagesTo messages(err);
    std::string path;
    if (!folder.empty()) {
        try {
            // "Gauges/./Bores" names the same folder as "Gauges/Bores".
            path = std::filesystem::path(JoinPath(GetRepositoryRoot(""), folder))
                       .lexically_normal()
                       .string();
        } catch (const Error& error) {
            err << "ERROR: " << error.Description() << '\n';
            return 1;
        }
    }
    if (!ResetView(state, path)) {
        return 1;
    }
    for (const ListEntry& entry : state.Items) {
        out << entry.Kind() << '\t' << entry.Text << '\t' << entry.FullPath();
        if (!state.ListMode && entry.Kind() == 'P') {
            out << '\t' << entry.DateText;
        }
        out << '\n';
    }
    out.flush();
    return out ? 0 : 1;
}

const CommandRegistration kPartsList({"parts list", kUsage, RunPartsList,
                                      "vantreel parts list Gauges --details"});

}  // namespace
}  // namespace vantreel::cli
