#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// A "drive" of the drive selection: a mounted file system.
struct Drive {
    std::string RootPath;  // its mount point, "/media/usb"
    std::string Label;     // the volume's name; may be empty
};

// The drive selection dialog's state: the choice between the default part
// repository (option 0) and the root of a drive (option 1), and its result:
// "" (cancelled), "*" (the repository) or the drive's root path.
struct DriveSelectState {
    std::vector<Drive> Drives;
    int CurrentDrive = 0;  // the drive the list shows
    int Option = 0;
    bool DriveListEnabled = false;
    std::string Result;
};

// Loading: the repository chosen, so the result starts as "*".
void LoadDriveSelect(DriveSelectState& state);
// A click on option index (0 or 1; others do nothing).
void ChooseDriveOption(DriveSelectState& state, int index);
// The drive list now shows drive index.
void ChangeDrive(DriveSelectState& state, int index);
void CancelDriveSelect(DriveSelectState& state);

// Whether a mounted file system is one an operator would keep parts on:
// not a kernel, memory or package file system, nor a system mount point.
bool IsUserDrive(std::string_view rootPath, std::string_view fileSystemType);

// The line the drive list shows: the mount point, and its label in brackets.
std::string DriveLine(const Drive& drive);

// The drives in the order listed: "/" first, then by mount point.
void SortDrives(std::vector<Drive>& drives);

}  // namespace vantreel
