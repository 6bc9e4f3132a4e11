#include "navigate/OutputStore.h"

#include <algorithm>

#include "platform/Platform.h"

namespace {
// The title is read into a 512-byte buffer with room for 511 characters and the terminator.
constexpr std::size_t kTitleCapacity = 511;
}  // namespace

void OutputStore::StoreOutput(std::unique_ptr<TStringList> lines, std::int32_t editorId,
                              std::string commandLine, std::unique_ptr<TCommandOptions> options,
                              std::string runFolder) {
    lines_ = std::move(lines);
    editorId_ = editorId;
    commandLine_ = std::move(commandLine);
    options_ = std::move(options);
    runFolder_ = std::move(runFolder);
}

void OutputStore::ReleaseOutput() {
    lines_.reset();
    options_.reset();
    commandLine_.clear();
    commandLine_.shrink_to_fit();
    runFolder_.clear();
    runFolder_.shrink_to_fit();
    editorId_ = 0;
}

void EditorFileTable::SetEditorFile(std::int32_t editorId, std::string fileName) {
    if (!table_) table_.emplace();
    for (auto &entry : *table_) {
        if (entry.first == editorId) {
            entry.second = std::move(fileName);
            return;
        }
    }
    table_->emplace_back(editorId, std::move(fileName));
}

void EditorFileTable::RemoveEditorFile(std::int32_t editorId) {
    if (!table_) return;
    auto found = std::find_if(table_->begin(), table_->end(),
                              [editorId](const auto &entry) { return entry.first == editorId; });
    if (found != table_->end()) table_->erase(found);
    if (table_->empty()) table_.reset();
}

std::string EditorFileTable::EditorFile(std::int32_t editorId) const {
    if (!table_) return std::string();
    for (const auto &entry : *table_)
        if (entry.first == editorId) return entry.second;
    return std::string();
}

bool ConsoleTitleSaver::SaveConsoleTitle() {
    std::optional<std::string> title = platform::Current().ReadConsoleTitle(kTitleCapacity);
    saved_ = std::move(title);
    return saved_.has_value();
}

bool ConsoleTitleSaver::RestoreConsoleTitle() {
    if (!saved_) return false;
    std::string title = std::move(*saved_);
    saved_.reset();
    return platform::Current().WriteConsoleTitle(title);
}

OutputStore &TheOutputStore() {
    static OutputStore store;
    return store;
}

EditorFileTable &TheEditorFileTable() {
    static EditorFileTable table;
    return table;
}

ConsoleTitleSaver &TheConsoleTitleSaver() {
    static ConsoleTitleSaver saver;
    return saver;
}
