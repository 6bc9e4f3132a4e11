// Carries out script steps on the host: user actions, queued answers and expectations.
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "host/Driver.h"
#include "host/Host.h"
#include "host/Script.h"
#include "host/Transcript.h"

namespace farhost {

struct RunnerSettings {
    std::string scriptName;    // shown in messages ("open.far")
    std::string scriptFolder;  // where relative names in the script start
    std::string modulePath;    // from the command line; wins over the script's "module" step
    std::string language = "English";
};

class ScriptRunner {
public:
    ScriptRunner(Host &host, ScriptDriver &driver, Transcript &transcript, std::ostream &errors,
                 RunnerSettings settings);

    /// Carries out one step; false (with a message on the error stream) when it failed.
    bool Run(const Step &step);
    /// Loads the module when no step has needed it yet; false when loading failed.
    bool EnsureModule();
    /// The end of the script: answers left unused fail it.
    bool Finish();
    /// The steps a script may use, one line each, for --help and the interactive "help".
    static std::string Summary();

private:
    using Handler = std::function<bool(const Step &)>;
    struct Verb {
        Handler handler;
        bool needsModule;
    };

    bool Failed(const Step &step, const std::string &why);
    /// The editors and the current one's lines around the cursor, for a person (error stream).
    void ShowEditors();
    bool CheckFailures(const Step &step);
    bool Expect(const Step &step);
    bool Answer(const Step &step);
    std::string Resolve(const std::string &name) const;
    Editor *CurrentEditor(const Step &step);
    bool TextMatches(const std::string &actual, const std::string &expected) const;

    Host &host_;
    ScriptDriver &driver_;
    Transcript &transcript_;
    std::ostream &errors_;
    RunnerSettings settings_;
    std::map<std::string, Verb> verbs_;
    bool moduleTried_ = false;
    bool moduleLoaded_ = false;
};

}  // namespace farhost
