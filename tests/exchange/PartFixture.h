#pragma once

#include "common/Files.h"
#include "common/TestRegistry.h"
#include "components/FileSystemPart.h"
#include "shared/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace vantreel::test {

namespace fs = std::filesystem;

// Bytes no text conversion would leave alone: every byte value, CR, LF, NUL.
inline std::string Binary(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, '\0');
    for (char& c : text) {
        c = static_cast<char>(random() & 0xff);
    }
    return text;
}

// Every regular file below root, by relative path, with its bytes.
inline std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        files[relative] = entry.is_directory() ? std::string("<folder>") : ReadFile(entry.path());
    }
    return files;
}

// A part repository and a place outside it, on a temporary directory.
class PartsTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        root_ = directory_.Path() / "repository";
        outside_ = directory_.Path() / "outside";
        fs::create_directories(root_);
        fs::create_directories(outside_);
        Set("Common", "RepositoryRoot", root_.string());
    }

    // A part with sources, a program, fixture data, an empty folder, binary
    // data and its information file.
    fs::path MakePart(const std::string& name, const fs::path& where = {}) {
        const fs::path dir = (where.empty() ? root_ : where) / name;
        WriteFile(dir / (name + ".vbp"), "Type=Exe\r\nName=\"" + name + "\"\r\n");
        WriteFile(dir / "ModMain.bas", "Attribute VB_NAME = \"modMain\"\r\nSub Main()\r\n");
        WriteFile(dir / "ModSupport.bas", "Attribute VB_NAME = \"modSupport\"\r\n");
        WriteFile(dir / (name + ".exe"), "MZ" + Binary(3000, 7));
        WriteFile(dir / "Fixture" / "clamp.fix", "clamp 1\n");
        WriteFile(dir / "data" / "points.bin", Binary(70000, 11));
        WriteFile(dir / "run.skp", "1\r\n2\r\n");
        WritePrivateIni(dir / FileSystemPart::kInformationFile);
        fs::create_directories(dir / "empty");
        return dir;
    }

    static void WritePrivateIni(const fs::path& file) {
        WriteIniString(file.string(), "Part", "WriteProtect", "true");
        WriteIniString(file.string(), "Part", "SerialNumber", "SN-17");
        WriteIniString(file.string(), "Report", "ReportFile", "result");
    }

    std::unique_ptr<FileSystemPart> Open(const fs::path& dir) {
        auto part = std::make_unique<FileSystemPart>();
        std::string path = dir.string();
        part->OpenProject(path);
        return part;
    }

    fs::path root_;
    fs::path outside_;
};

}  // namespace vantreel::test
