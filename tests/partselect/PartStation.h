#pragma once

#include "common/MessageLog.h"
#include "common/TestRegistry.h"

#include "components/ComponentFactory.h"
#include "components/FileSystemFolder.h"
#include "partselect/PartListing.h"
#include "partselect/PartSelectLogic.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vantreel::test {

namespace fs = std::filesystem;

// A station on a temporary directory: a registry whose repository root is
// <tmp>/parts, helpers that make folders, parts and files there, and a
// message log that records every message.
class PartStation : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        InitResources();
        int32_t english = 1033;
        SetLanguage(english);
        root_ = directory_.Path() / "parts";
        fs::create_directories(root_);
        Set("Common", "RepositoryRoot", root_.string());
        RegEntry registry;
        registry.CreateKey("Users");
        RegisterPartFolder("Ulmaret.Folder", [] { return std::make_unique<FileSystemFolder>(); });
    }
    void TearDown() override {
        RegisterPartFolder("Ulmaret.Folder", [] { return std::make_unique<FileSystemFolder>(); });
        RegistryTest::TearDown();
    }

    // A part: a directory holding <name>.vbp (the project may be named
    // otherwise than its directory).
    std::string MakePart(const std::string& relative, const std::string& project = {}) {
        const fs::path directory = root_ / relative;
        fs::create_directories(directory);
        const std::string name = project.empty() ? directory.filename().string() : project;
        std::ofstream(directory / (name + ".vbp")) << "Type=Exe\r\n";
        return directory.string();
    }
    std::string MakeFolder(const std::string& relative) {
        fs::create_directories(root_ / relative);
        return (root_ / relative).string();
    }
    std::string MakeFile(const std::string& relative, const std::string& text = "ENDFIL\n") {
        std::ofstream(root_ / relative) << text;
        return (root_ / relative).string();
    }
    std::string Root() const { return root_.string(); }

    // The texts of the list, as the operator reads it: "F Name", "P Name", "D Name".
    static std::vector<std::string> Listed(const PartSelectState& state) {
        std::vector<std::string> listed;
        for (const ListEntry& entry : state.Items) {
            listed.push_back(std::string(1, entry.Kind()) + " " + entry.Text);
        }
        return listed;
    }
    static int IndexOf(const PartSelectState& state, const std::string& text) {
        for (std::size_t i = 0; i < state.Items.size(); ++i) {
            if (state.Items[i].Text == text) {
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << text << " is not listed";
        return -1;
    }

    // A state loaded as a host call loads the dialog.
    void Load(PartSelectState& state) {
        ASSERT_TRUE(LoadDialog(state)) << (messages_.empty() ? "" : messages_.back().text);
        ActivateDialog(state);
    }

    fs::path root_;
    MessageLog log_;
    std::vector<ShownMessage>& messages_ = log_.shown;
};

}  // namespace vantreel::test
