#include "partselect/DriveSelectLogic.h"

#include <algorithm>
#include <array>

namespace vantreel {

void LoadDriveSelect(DriveSelectState& state) {
    state.Result.clear();
    ChooseDriveOption(state, 0);
}

void ChooseDriveOption(DriveSelectState& state, int index) {
    if (index == 0) {
        state.Option = 0;
        state.DriveListEnabled = false;
        state.Result = "*";
    } else if (index == 1) {
        state.Option = 1;
        state.DriveListEnabled = true;
        ChangeDrive(state, state.CurrentDrive);
    }
}

void ChangeDrive(DriveSelectState& state, int index) {
    if (index < 0 || index >= static_cast<int>(state.Drives.size())) {
        return;
    }
    state.CurrentDrive = index;
    if (state.Option == 1) {
        state.Result = state.Drives[static_cast<std::size_t>(index)].RootPath;
    }
}

void CancelDriveSelect(DriveSelectState& state) {
    state.Result.clear();
}

bool IsUserDrive(std::string_view rootPath, std::string_view fileSystemType) {
    static constexpr std::array<std::string_view, 22> kSystemTypes{
        "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",
        "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",     "nsfs",        "overlay",  "proc",     "pstore",  "ramfs",
        "securityfs", "squashfs",    "sysfs",    "tracefs"};
    if (std::find(kSystemTypes.begin(), kSystemTypes.end(), fileSystemType) != kSystemTypes.end()) {
        return rootPath == "/";  // a container's root is still where its files are
    }
    if (fileSystemType == "tmpfs") {
        return false;
    }
    static constexpr std::array<std::string_view, 6> kSystemPlaces{"/proc", "/sys",  "/dev",
                                                                   "/run",  "/snap", "/boot"};
    for (std::string_view place : kSystemPlaces) {
        if (rootPath == place || (rootPath.starts_with(place) && rootPath.size() > place.size() &&
                                  rootPath[place.size()] == '/')) {
            return false;
        }
    }
    return !rootPath.empty();
}

std::string DriveLine(const Drive& drive) {
    return drive.Label.empty() ? drive.RootPath : drive.RootPath + "  [" + drive.Label + "]";
}

void SortDrives(std::vector<Drive>& drives) {
    std::stable_sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) {
        if ((a.RootPath == "/") != (b.RootPath == "/")) {
            return a.RootPath == "/";
        }
        return a.RootPath < b.RootPath;
    });
}

}  // namespace vantreel
