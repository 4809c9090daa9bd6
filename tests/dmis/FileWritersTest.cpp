#include "ParseHelpers.h"

#include "common/FileKinds.h"

#include "dmis/DmisFile.h"
#include "dmis/basic/BasicWriter.h"
#include "dmis/stream/Datastream.h"
#include "shared/MessageBox.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        char pattern[] = "/tmp/vantreel-writers-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

constexpr const char* kSource = "$$ a part\nUNITS/MM\nGOHOME\nENDFIL\n";

// A writer of the DMIS engine: it writes path and says whether it refused.
struct Writer {
    const char* name;
    const char* file;
    std::string expected;
    std::function<bool(const std::string& path)> write;
};

TEST_F(ParserTest, EveryModelAndModuleWriterReplacesOnlyARegularFile) {
    CProgram program;
    ASSERT_TRUE(ParseDmisText(kSource, "t", program).ok);
    TempFolder reference;
    WriteBasicModules(program, reference.Path().string());
    const std::string module = ContentsOf(reference.File("ModMain.bas"));
    // A stream holding one embedded file, to be extracted.
    const std::string embedded = reference.File("embedded.txt");
    std::ofstream(embedded) << "new";
    const std::string bundle = reference.File("bundle.bin");
    {
        Datastream stream;
        stream.WriteOpen(bundle);
        stream.WriteFile(embedded);
        stream.WriteClose();
    }
    const MessageBoxHandler previous =
        SetMessageBoxHandler([](const std::string&, int32_t, const std::string&) { return vbYes; });
    const Writer writers[] = {
        {"Datastream::WriteOpen", "target", std::string("\xD2\x04\0\0", 4),
         [](const std::string& path) {
             return ErrorNumber([&] {
                        Datastream stream;
                        stream.WriteOpen(path);
                        stream.WriteLong(1234);
                        stream.WriteClose();
                    }) != 0;
         }},
        {"Datastream::ReadFile", "target", "new",
         [&](const std::string& path) {
             return ErrorNumber([&] {
                        Datastream stream;
                        stream.ReadOpen(bundle);
                        stream.ReadFile(path);
                    }) != 0;
         }},
        {"WriteBasicModules", "ModMain.bas", module,
         [&](const std::string& path) {
             const fs::path folder = fs::path(path).parent_path();
             const bool refused = ErrorNumber([&] { WriteBasicModules(program, folder); }) != 0;
             fs::remove(folder / "ModSupport.bas");  // the other module, not under test here
             return refused;
         }},
    };
    for (const Writer& writer : writers) {
        for (const FileKind kind : kAllFileKinds) {
            TempFolder folder;
            const std::string path = folder.File(writer.file);
            if (!MakeFileKind(path, kind)) {
                continue;
            }
            const int entries = CountEntries(folder.Path());
            const bool refused = writer.write(path);
            ExpectWrittenOrRefused(path, kind, refused, writer.expected, entries, writer.name);
        }
    }
    SetMessageBoxHandler(previous);
}

TEST(ModelStreamInput, OnlyARegularFileIsLoaded) {
    TempFolder folder;
    const std::string fifo = folder.File("model.fifo");
    ASSERT_TRUE(MakeFileKind(fifo, FileKind::Fifo));
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", "/dev/zero: it is a character device, not a regular file"},
        {fifo, fifo + ": it is a FIFO, not a regular file"},  // must not block
        {folder.Path().string(),
         folder.Path().string() + ": it is a directory, not a regular file"},
    };
    for (const auto& [path, message] : cases) {
        std::string description;
        EXPECT_EQ(ErrorNumber(
                      [&] {
                          Datastream stream;
                          stream.ReadOpen(path);
                      },
                      &description),
                  75);
        EXPECT_EQ(description, message);
    }
}

TEST_F(ParserTest, AModuleThatCannotBeWrittenSaysWhyAndLeavesNothing) {
    CProgram program;
    ASSERT_TRUE(ParseDmisText(kSource, "t", program).ok);
    TempFolder reference;
    WriteBasicModules(program, reference.Path().string());
    const auto moduleSize = static_cast<rlim_t>(fs::file_size(reference.File("ModMain.bas")));
    // Files may not grow past a limit: the scratch file of Sub Main fails
    // under the first, the module (Sub Main with its header) under the second.
    for (const rlim_t limit : {rlim_t{16}, moduleSize - 8}) {
        TempFolder folder;
        std::ofstream(folder.File("ModMain.bas")) << "old";
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
        std::string description;
        const int number =
            ErrorNumber([&] { WriteBasicModules(program, folder.Path().string()); }, &description);
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(number, 75) << limit;
        EXPECT_NE(description.find("File too large"), std::string::npos) << description;
        EXPECT_EQ(ContentsOf(folder.File("ModMain.bas")), "old");
        EXPECT_EQ(CountEntries(folder.Path()), 1);
    }
}

}  // namespace
}  // namespace vantreel::test
