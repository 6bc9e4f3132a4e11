// Module-level state of output navigation: the last run, the editors' file names and the
// console title put aside while the plug-in shows its own.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/TCommandOptions.h"
#include "config/TStringList.h"

/// The last run of a command, whichever editor ran it. After a visible run and after release
/// there are no lines; a captured run that printed nothing still has its (one empty) line.
/// The run folder is the current directory the command ran in: the folder that relative file
/// names in its output start from.
class OutputStore {
public:
    /// Replaces whatever was held; takes ownership of lines and options.
    void StoreOutput(std::unique_ptr<TStringList> lines, std::int32_t editorId, std::string commandLine,
                     std::unique_ptr<TCommandOptions> options, std::string runFolder);
    /// Drops lines and options, empties the command line and the run folder and sets the
    /// identifier to 0.
    void ReleaseOutput();

    const TStringList *Lines() const { return lines_.get(); }
    std::int32_t EditorId() const { return editorId_; }
    const std::string &CommandLine() const { return commandLine_; }
    const TCommandOptions *Options() const { return options_.get(); }
    const std::string &RunFolder() const { return runFolder_; }

private:
    std::unique_ptr<TStringList> lines_;
    std::int32_t editorId_ = 0;
    std::string commandLine_;
    std::unique_ptr<TCommandOptions> options_;
    std::string runFolder_;
};

/// The file name of every editor the host has reported, by editor identifier. The table exists
/// only while it has entries.
class EditorFileTable {
public:
    /// Replaces the name recorded for `editorId`, or records a new entry.
    void SetEditorFile(std::int32_t editorId, std::string fileName);
    /// Forgets `editorId`; nothing happens when it was never recorded.
    void RemoveEditorFile(std::int32_t editorId);
    /// The recorded name, or the empty string.
    std::string EditorFile(std::int32_t editorId) const;
    /// Number of recorded editors (0 when the table does not exist).
    std::size_t Count() const { return table_ ? table_->size() : 0; }
    bool Exists() const { return table_.has_value(); }

private:
    std::optional<std::vector<std::pair<std::int32_t, std::string>>> table_;
};

/// One slot for a console title put aside; filled by a save, emptied by the next restore.
class ConsoleTitleSaver {
public:
    /// Reads the console title (at most 511 characters) into the slot, replacing any held title.
    /// Returns whether the title could be read; when it could not, the slot is left empty.
    bool SaveConsoleTitle();
    /// Sets the console title to the held one and empties the slot; false when nothing is held
    /// or setting failed.
    bool RestoreConsoleTitle();
    bool Holds() const { return saved_.has_value(); }

private:
    std::optional<std::string> saved_;
};

/// The single instances, touched only from the host's thread.
OutputStore &TheOutputStore();
EditorFileTable &TheEditorFileTable();
ConsoleTitleSaver &TheConsoleTitleSaver();
