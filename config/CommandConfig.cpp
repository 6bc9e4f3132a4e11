#include "config/CommandConfig.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "config/Dirs.h"
#include "config/TextRules.h"
#include "platform/Platform.h"

namespace {

bool IsDirectiveName(const std::string &name) { return !name.empty() && name[0] == '#'; }

// Sets the field that `directive` (upper-cased) names; names that match none change nothing.
void ApplyDirective(TCommandOptions &target, const std::string &directive, const std::string &value) {
    if (directive == "#SAVE") target.Save = IsTrueValue(value);
    else if (directive == "#TOMENU") target.ToMenu = IsTrueValue(value);
    else if (directive == "#REGEXP") target.RegExp = value;
    else if (directive == "#LINEMATCH") target.LineMatch = ParseConfigInteger(value);
    else if (directive == "#COLUMNMATCH") target.ColumnMatch = ParseConfigInteger(value);
    else if (directive == "#FILEMATCH") target.FileMatch = ParseConfigInteger(value);
    else if (directive == "#CDFILEDIR") target.CdFileDir = IsTrueValue(value);
    else if (directive == "#AUTOJUMP") target.AutoJump = IsTrueValue(value);
    else if (directive == "#AUTOEXIT") target.AutoExit = IsTrueValue(value);
    else if (directive == "#ASK") target.Ask = value;
}

// Loads and parses the file at `path` when one exists there; an empty list otherwise.
std::unique_ptr<TStringList> ReadCommandFile(TCommandOptions &base, const std::string &path) {
    auto list = std::make_unique<TStringList>();
    platform::Platform &system = platform::Current();
    if (!system.FileExists(path)) return list;
    std::string bytes;
    if (!system.ReadWholeFile(path, bytes)) throw std::runtime_error("Cannot open file " + path);
    list->LoadFromBytes(bytes);
    ParseCommandList(base, *list);
    return list;
}

}  // namespace

bool IsTrueValue(const std::string &value) { return UpperAscii(value) == "TRUE"; }

std::int32_t ParseConfigInteger(const std::string &text) { return ParseInteger32(text, SignedHex::Allowed); }

void ParseCommandList(TCommandOptions &base, TStringList &list) {
    // The commands are gathered into a new list rather than deleting each directive in place:
    // deleting from the middle moves every later entry, which made a file of many thousands of
    // lines take minutes to read.
    TStringList commands;
    TCommandOptions *target = &base;
    for (std::size_t index = 0; index < list.Count(); ++index) {
        std::string name = UpperAscii(list.Name(index));
        if (!IsDirectiveName(name)) {
            // Each command starts from the base as it stands now, not from the command above.
            commands.Append(list.Text(index), base.Clone());
            target = commands.Object(commands.Count() - 1);
            continue;
        }
        ApplyDirective(*target, name, list.Value(index));
    }
    list = std::move(commands);
}

CommandLists ReadConfiguration(TCommandOptions &base, const std::string &editorFileName) {
    CommandLists lists;
    lists.common = ReadCommandFile(base, TypesFile("AllFiles.ini"));

    std::string extension = FileExtension(editorFileName);
    std::string fileName = (extension.empty() ? extension : extension.substr(1)) + ".ini";
    std::string candidate = JoinPath(PathDirOrCurrent(editorFileName), fileName);
    if (!platform::Current().FileExists(candidate)) candidate = TypesFile(fileName);
    lists.extension = ReadCommandFile(base, candidate);
    return lists;
}
