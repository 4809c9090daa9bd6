#pragma once

#include "partinfo/PartInfoSettings.h"

#include <string>

namespace vantreel {

// A part's information file: reading its settings with their defaults, the
// database labels from the registry and the skip files of the part's
// directory, and writing them back.
class PartInfoFile {
  public:
    PartInfoFile(std::string informationFile, std::string partDirectory);

    const std::string& Path() const noexcept { return file_; }

    // Sections "Part" and "Report" in reading order, defaults applied; the
    // printer checked against the installed ones.
    void ReadSettings(PartInfoSettings& settings, const PrinterList& printers) const;
    // The machine's labels (<machineKey>\DatabaseLabels), the user's defaults
    // (<userKey>\DatabaseRelations) and the values of the file. A missing key
    // gives no labels or empty defaults.
    void ReadDatabaseLabels(PartInfoSettings& settings, const std::string& userKey,
                            const std::string& machineKey) const;
    // Section "Skip" and the "*.skp" files of the part's directory.
    void ReadSkip(PartInfoSettings& settings) const;

    // Writes the database labels, "Report", "Part" and "Skip" in that order,
    // all at once: the file is replaced by a copy holding every change, so it
    // is either as it was or fully saved. Keys not written stay as they are.
    // Raises error 75 naming the file and the reason when it cannot.
    void Write(const PartInfoSettings& settings, const PrinterList& printers) const;
    // Writes "WriteProtect" of "Part" at once; false when it could not.
    bool WriteWriteProtect(bool writeProtect) const;

    // Why the file cannot serve as an information file ("" when it can, or
    // when it does not exist yet): not a regular file, not readable, not text.
    std::string Problem() const;

    // The text a database label's value is written as: "" for a value that
    // is empty or the user's default.
    static std::string LabelValueToWrite(const PartInfoSettings& settings,
                                         const DatabaseLabelSlot& slot);
    // Whether a label text can name a key of the file (no "=", no line break,
    // not starting with ";" or "[", not blank).
    static bool IsStorableLabel(const std::string& label);
    // The skip-file path written for a file name of the part's directory.
    std::string SkipFilePath(const std::string& name) const;

  private:
    std::string file_;
    std::string directory_;
};

// Value encodings of the file.
bool ReadBooleanText(const std::string& text);
int16_t ReadIntegerText(const std::string& text, int16_t defaultValue);
int32_t ReadLongText(const std::string& text, int32_t defaultValue);
// The text after the last "\" or "/".
std::string FileNamePart(const std::string& path);
// The text up to and including the last "\" or "/"; "" when there is none.
std::string DirectoryPart(const std::string& path);

}  // namespace vantreel
