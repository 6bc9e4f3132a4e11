// Every captured command of the shipped command files, run through the real ParseErrorLine over
// every line of the real tool output it reads, against the corpus's table of expected positions.
// The corpus is the shared one plus the repository's own (tests/tool-output). Formats with no
// output in either (MSVC, Windows paths) are checked on sample lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "dist/ShippedConfig.h"
#include "navigate/ParseErrorLine.h"

namespace {

using shipped::ConfigSet;

enum Sets { WindowsSet = 1, LinuxSet = 2, BothSets = 3 };

bool InSets(int sets, ConfigSet set) { return (sets & (set == ConfigSet::Windows ? WindowsSet : LinuxSet)) != 0; }

/// Which expected rows a command promises to read.
enum class Rows {
    All,         // every position of the tool's output
    ErrorsOnly,  // only rows of kind "error" (the jump-to-first-error commands); others yield nothing
    SomeFrames,  // a traceback jump: some rows, exactly, and no other line; the first jump is listed
};

/// Where the first jump of a traceback jump (Rows::SomeFrames) lands in an output: the line of
/// the innermost frame in the user's code that its expression can tell.
struct FirstJump {
    const char *title;
    const char *output;
    int lineIndex;  // -1: the command jumps nowhere in that output
};

const std::vector<FirstJump> kFirstJumps = {
    // Frames of the JDK carry their module ("java.base/"); the first frame without one is the
    // user's. The outer exception's frames come before those of its cause.
    {"Run, capture output (jump to first error)", "java/trace.txt", 1},
    {"Run, capture output (jump to first error)", "java/source_launcher.txt", -1},
    // OCaml: the first frame whose function is not one of the Stdlib module's.
    {"Run, capture output (jump to first error)", "ocaml/backtrace.txt", 2},
    // Elixir: a compile or syntax error's own line; else the first frame without an
    // "(app version)" prefix, the innermost one in the user's code.
    {"Run, capture output (jump to first error)", "elixir/runtime.txt", 1},
    {"Run, capture output (jump to first error)", "elixir/syntax.txt", 0},
    {"Run, capture output (jump to first error)", "elixir/compile.txt", 5},
    {"Run, capture output (jump to first error)", "elixir/color.txt", 5},
};

int ListedFirstJump(const std::string &title, const std::string &output) {
    for (const FirstJump &jump : kFirstJumps) {
        if (title == jump.title && output == jump.output) return jump.lineIndex;
    }
    ADD_FAILURE() << "no first jump listed for \"" << title << "\" on " << output;
    return -2;
}

/// A captured command and the corpus output it reads. An output entry "tool/" stands for every
/// case of that tool; "-tool/case.txt" takes one case out again.
struct CorpusReading {
    int sets;
    std::vector<const char *> files;
    const char *title;
    std::vector<const char *> outputs;
    Rows rows = Rows::All;
};

const std::vector<const char *> kCFiles = {"c.ini"};
const std::vector<const char *> kCppFiles = {"cpp.ini", "cc.ini", "cxx.ini"};
const std::vector<const char *> kCppHeaders = {"hpp.ini", "hh.ini", "hxx.ini"};
const std::vector<const char *> kPascalFiles = {"pas.ini", "pp.ini", "dpr.ini", "lpr.ini"};
const std::vector<const char *> kFortranFiles = {"f90.ini", "f95.ini", "f03.ini", "f08.ini", "f.ini", "for.ini"};
const std::vector<const char *> kCobolFiles = {"cob.ini", "cbl.ini"};
const std::vector<const char *> kNodeFiles = {"js.ini", "mjs.ini", "cjs.ini"};
const std::vector<const char *> kCAndCppFiles = {"c.ini", "cpp.ini", "cc.ini", "cxx.ini"};
const std::vector<const char *> kRustOutput = {"rustc/", "cargo/"};
const std::vector<const char *> kRustShortOutput = {"rustc/short.txt", "rustc/short_color.txt", "rustc/short_warnings.txt",
                                                    "cargo/short.txt", "cargo/short_color.txt"};
const std::vector<const char *> kGoBuildOutput = {"go/build.txt", "go/syntax.txt", "go/tabs.txt", "go/longline.txt",
                                                  "go/subpackage.txt"};
const std::vector<const char *> kShellCheckGcc = {"shellcheck/gcc.txt", "shellcheck/source.txt", "shellcheck/tabs.txt",
                                                  "shellcheck/gcc_color.txt"};
const std::vector<const char *> kEslintLines = {"eslint/unix.txt", "eslint/compact.txt", "eslint/syntax_unix.txt",
                                                "eslint/blank.txt", "eslint/blank_compact.txt"};
const std::vector<const char *> kPythonStyle = {"flake8/", "pycodestyle/"};
const std::vector<const char *> kElixirFiles = {"ex.ini", "exs.ini"};
const std::vector<const char *> kVerilogFiles = {"v.ini", "sv.ini"};
const std::vector<const char *> kYamlFiles = {"yaml.ini", "yml.ini"};
const std::vector<const char *> kClangOutput = {"clang/", "-clang/format_msvc.txt"};

const std::vector<CorpusReading> kCorpusReadings = {
    {BothSets, {"AllFiles.ini"}, "Build with make", {"make/"}},
    {BothSets, kCFiles, "Compile with GCC", {"gcc/"}},
    {BothSets, kCFiles, "Compile with GCC (jump to first error)", {"gcc/"}, Rows::ErrorsOnly},
    {BothSets, kCFiles, "Build with GCC", {"gcc/"}},
    {BothSets, kCFiles, "Compile with Clang", kClangOutput},
    {WindowsSet, kCFiles, "Compile with MSVC", {"clang/format_msvc.txt"}},
    {WindowsSet, kCFiles, "Build with MSVC", {"clang/format_msvc.txt"}},
    {BothSets, {"h.ini"}, "Check with GCC", {"gcc/"}},
    {BothSets, {"h.ini"}, "Check with Clang", kClangOutput},
    {BothSets, kCppFiles, "Compile with G++", {"g++/"}},
    {BothSets, kCppFiles, "Compile with G++ (jump to first error)", {"g++/"}, Rows::ErrorsOnly},
    {BothSets, kCppFiles, "Build with G++", {"g++/"}},
    {BothSets, kCppFiles, "Compile with Clang++", kClangOutput},
    {WindowsSet, kCppFiles, "Compile with MSVC", {"clang/format_msvc.txt"}},
    {WindowsSet, kCppFiles, "Build with MSVC", {"clang/format_msvc.txt"}},
    {BothSets, kCppHeaders, "Check with G++", {"g++/"}},
    {BothSets, kCppHeaders, "Check with Clang++", kClangOutput},
    {BothSets, kPascalFiles, "Compile with Free Pascal", {"fpc/", "-fpc/runtime.txt"}},
    {BothSets, kPascalFiles, "Run, capture output", {"fpc/runtime.txt"}},
    {LinuxSet, {"py.ini"}, "Run, capture traceback", {"python3/"}},
    {LinuxSet, {"py.ini"}, "Check syntax", {"python3/"}},
    {LinuxSet, {"py.ini"}, "Check with pyflakes", {"pyflakes/"}},
    {LinuxSet, {"py.ini"}, "Check with pylint", {"pylint/"}},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Run, capture traceback", {"python3/"}},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check syntax", {"python3/"}},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with pyflakes", {"pyflakes/"}},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with pylint", {"pylint/"}},
    {BothSets, {"pl.ini"}, "Run, capture output", {"perl/"}},
    {BothSets, {"pl.ini", "pm.ini"}, "Check syntax", {"perl/"}},
    {BothSets, {"rb.ini"}, "Run, capture output", {"ruby/"}},
    {BothSets, {"rb.ini"}, "Check syntax", {"ruby/"}},
    {BothSets, kNodeFiles, "Run, capture output", {"node/"}},
    {BothSets, kNodeFiles, "Check syntax", {"node/"}},
    {BothSets, {"java.ini"}, "Compile with javac", {"javac/", "java/"}},
    {BothSets, {"java.ini"}, "Run, capture output", {"javac/", "java/"}},
    {BothSets, {"go.ini"}, "Build package", {"go/"}},
    {BothSets, {"go.ini"}, "Vet package", {"go/"}},
    {BothSets, {"go.ini"}, "Test package", {"go/"}},
    {BothSets, {"go.ini"}, "Run, capture output", {"go/"}},
    {BothSets, {"rs.ini"}, "Compile with rustc", kRustOutput},
    {BothSets, {"rs.ini"}, "Run, capture output", kRustOutput},
    {BothSets, {"rs.ini"}, "Build with cargo", kRustOutput},
    {BothSets, {"rs.ini"}, "Check with clippy", kRustOutput},
    {BothSets, {"rs.ini"}, "Test with cargo", kRustOutput},
    {BothSets, {"rs.ini"}, "Run with cargo, capture output", kRustOutput},
    {BothSets, kFortranFiles, "Compile with gfortran", {"gfortran/", "-gfortran/runtime.txt"}},
    {BothSets, kFortranFiles, "Build with gfortran", {"gfortran/", "-gfortran/runtime.txt"}},
    {BothSets, kFortranFiles, "Run, capture output", {"gfortran/runtime.txt"}},
    {BothSets, {"adb.ini"}, "Build with gnatmake", {"gnatmake/", "-gnatmake/runtime.txt"}},
    {BothSets, {"adb.ini", "ads.ini"}, "Check with GNAT", {"gnatmake/", "-gnatmake/runtime.txt"}},
    {BothSets, {"adb.ini"}, "Run, capture output", {"gnatmake/runtime.txt"}},
    {BothSets, kCobolFiles, "Compile with cobc", {"cobc/", "-cobc/runtime.txt"}},
    {BothSets, kCobolFiles, "Build for debugging with cobc", {"cobc/", "-cobc/runtime.txt"}},
    {BothSets, kCobolFiles, "Run, capture output", {"cobc/runtime.txt"}},
    {BothSets, {"sh.ini"}, "Check with ShellCheck", kShellCheckGcc},
    {BothSets, {"sh.ini"}, "Check with ShellCheck (jump to first error)", kShellCheckGcc, Rows::ErrorsOnly},
    {BothSets, {"sh.ini"}, "Check with ShellCheck (full report)", {"shellcheck/tty.txt", "shellcheck/blank.txt", "shellcheck/color.txt"}},
    {BothSets, {"sh.ini"}, "Check syntax with bash", {"bash/"}},
    {BothSets, {"sh.ini"}, "Check syntax with bash (jump to first error)", {"bash/"}, Rows::ErrorsOnly},
    {BothSets, {"sh.ini"}, "Run with bash, capture output", {"bash/"}},
    {BothSets, {"lua.ini"}, "Run, capture output", {"lua/"}},
    {BothSets, {"lua.ini"}, "Check syntax", {"lua/"}},
    {BothSets, {"php.ini"}, "Run, capture output", {"php/"}},
    {BothSets, {"php.ini"}, "Check syntax", {"php/"}},
    {BothSets, {"tcl.ini"}, "Run, capture output", {"tclsh/"}},
    // Jump-to-first-error commands of the families above.
    {BothSets, {"AllFiles.ini"}, "Build with make (jump to first error)", {"make/"}, Rows::ErrorsOnly},
    {BothSets, kCFiles, "Compile with Clang (jump to first error)", kClangOutput, Rows::ErrorsOnly},
    {BothSets, kCppFiles, "Compile with Clang++ (jump to first error)", kClangOutput, Rows::ErrorsOnly},
    {WindowsSet, kCAndCppFiles, "Compile with MSVC (jump to first error)", {"clang/format_msvc.txt"}, Rows::ErrorsOnly},
    {BothSets, kPascalFiles, "Compile with Free Pascal (jump to first error)", {"fpc/", "-fpc/runtime.txt"}, Rows::ErrorsOnly},
    {BothSets, kFortranFiles, "Compile with gfortran (jump to first error)", {"gfortran/plain.txt", "gfortran/plain_color.txt"}, Rows::ErrorsOnly},
    {BothSets, {"adb.ini"}, "Build with gnatmake (jump to first error)", {"gnatmake/", "-gnatmake/runtime.txt"}, Rows::ErrorsOnly},
    {BothSets, kCobolFiles, "Compile with cobc (jump to first error)", {"cobc/", "-cobc/runtime.txt"}, Rows::ErrorsOnly},
    {BothSets, {"java.ini"}, "Compile with javac (jump to first error)", {"javac/"}, Rows::ErrorsOnly},
    {BothSets, {"java.ini"}, "Run, capture output (jump to first error)", {"java/"}, Rows::SomeFrames},
    {BothSets, {"go.ini"}, "Build package (jump to first error)", kGoBuildOutput, Rows::ErrorsOnly},
    {BothSets, {"rs.ini"}, "Compile with rustc (jump to first error)", kRustShortOutput, Rows::ErrorsOnly},
    {BothSets, {"rs.ini"}, "Build with cargo (jump to first error)", kRustShortOutput, Rows::ErrorsOnly},
    {BothSets, {"rs.ini"}, "Run, capture output (jump to first error)", {"rustc/panic.txt", "cargo/run_panic.txt"}, Rows::ErrorsOnly},
    {BothSets, {"rs.ini"}, "Test with cargo (jump to first error)", {"cargo/test.txt"}, Rows::ErrorsOnly},
    {BothSets, {"go.ini"}, "Test package (jump to first error)", {"go/test.txt"}, Rows::ErrorsOnly},
    {BothSets, {"rb.ini"}, "Run, capture output (jump to first error)", {"ruby/"}, Rows::ErrorsOnly},
    {BothSets, {"lua.ini"}, "Run, capture output (jump to first error)", {"lua/"}, Rows::ErrorsOnly},
    {BothSets, {"php.ini"}, "Run, capture output (jump to first error)", {"php/"}, Rows::ErrorsOnly},
    {BothSets, kNodeFiles, "Run, capture output (jump to first error)", {"node/"}, Rows::ErrorsOnly},
    {LinuxSet, {"py.ini"}, "Check with pylint (jump to first error)", {"pylint/"}, Rows::ErrorsOnly},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with pylint (jump to first error)", {"pylint/"}, Rows::ErrorsOnly},
    // Build systems.
    {BothSets, {"AllFiles.ini", "cmake.ini"}, "Configure with CMake", {"cmake/"}},
    {BothSets, {"AllFiles.ini", "cmake.ini"}, "Configure with CMake (jump to first error)", {"cmake/"}, Rows::ErrorsOnly},
    {BothSets, {"AllFiles.ini"}, "Build with Ninja", {"ninja/"}},
    {BothSets, {"AllFiles.ini"}, "Build with Ninja (jump to first error)", {"ninja/"}, Rows::ErrorsOnly},
    // Checkers of C and C++.
    {BothSets, kCAndCppFiles, "Check with cppcheck", {"cppcheck/"}},
    {BothSets, kCAndCppFiles, "Check with cppcheck (jump to first error)", {"cppcheck/"}, Rows::ErrorsOnly},
    {BothSets, kCAndCppFiles, "Check with clang-tidy", {"clang-tidy/"}},
    {BothSets, kCAndCppFiles, "Check with clang-tidy (jump to first error)", {"clang-tidy/"}, Rows::ErrorsOnly},
    // Python checkers.
    {LinuxSet, {"py.ini"}, "Check with mypy", {"mypy/"}},
    {LinuxSet, {"py.ini"}, "Check with mypy (jump to first error)", {"mypy/"}, Rows::ErrorsOnly},
    {LinuxSet, {"py.ini"}, "Check with flake8", kPythonStyle},
    {LinuxSet, {"py.ini"}, "Check with flake8 (jump to first error)", kPythonStyle, Rows::ErrorsOnly},
    {LinuxSet, {"py.ini"}, "Check style with pycodestyle", kPythonStyle},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with mypy", {"mypy/"}},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with mypy (jump to first error)", {"mypy/"}, Rows::ErrorsOnly},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with flake8", kPythonStyle},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check with flake8 (jump to first error)", kPythonStyle, Rows::ErrorsOnly},
    {WindowsSet, {"py.ini", "pyw.ini"}, "Check style with pycodestyle", kPythonStyle},
    // JavaScript and TypeScript.
    {BothSets, kNodeFiles, "Check with ESLint", kEslintLines},
    {BothSets, kNodeFiles, "Check with ESLint (jump to first error)", kEslintLines, Rows::ErrorsOnly},
    {BothSets, kNodeFiles, "Check with ESLint (compact)", kEslintLines},
    {BothSets, kNodeFiles, "Check with ESLint (stylish report)", {"eslint/stylish.txt", "eslint/color.txt"}},
    {BothSets, {"ts.ini"}, "Check with tsc", {"tsc/"}},
    {BothSets, {"ts.ini"}, "Check with tsc (jump to first error)", {"tsc/"}, Rows::ErrorsOnly},
    {BothSets, {"ts.ini"}, "Check project with tsc", {"tsc/"}},
    {BothSets, {"ts.ini"}, "Check project with tsc (jump to first error)", {"tsc/"}, Rows::ErrorsOnly},
    {BothSets, {"ts.ini"}, "Compile with tsc", {"tsc/"}},
    // C#: Mono's compiler here; the Microsoft compilers print the same lines.
    {LinuxSet, {"cs.ini"}, "Compile with mcs", {"mcs/"}},
    {LinuxSet, {"cs.ini"}, "Compile with mcs (jump to first error)", {"mcs/"}, Rows::ErrorsOnly},
    {WindowsSet, {"cs.ini"}, "Compile with csc", {"mcs/"}},
    {WindowsSet, {"cs.ini"}, "Compile with csc (jump to first error)", {"mcs/"}, Rows::ErrorsOnly},
    {WindowsSet, {"cs.ini"}, "Build with dotnet", {"mcs/"}},
    {WindowsSet, {"cs.ini"}, "Build with dotnet (jump to first error)", {"mcs/"}, Rows::ErrorsOnly},
    // awk.
    {BothSets, {"awk.ini"}, "Check with gawk --lint", {"gawk/"}},
    {BothSets, {"awk.ini"}, "Check with gawk --lint (jump to first error)", {"gawk/"}, Rows::ErrorsOnly},
    {BothSets, {"awk.ini"}, "Run with gawk, capture output", {"gawk/"}},
    {BothSets, {"ml.ini", "mli.ini"}, "Compile with ocamlc", {"ocaml/"}},
    {BothSets, {"ml.ini", "mli.ini"}, "Compile with ocamlc (jump to first error)", {"ocaml/errors_only.txt"}, Rows::ErrorsOnly},
    {BothSets, {"ml.ini"}, "Build with ocamlc", {"ocaml/"}},
    {BothSets, {"ml.ini"}, "Run, capture output", {"ocaml/"}},
    {BothSets, {"ml.ini"}, "Run, capture output (jump to first error)", {"ocaml/backtrace.txt"}, Rows::SomeFrames},
    {BothSets, {"erl.ini"}, "Compile with erlc", {"erlc/"}},
    {BothSets, {"erl.ini"}, "Compile with erlc (jump to first error)", {"erlc/"}, Rows::ErrorsOnly},
    {BothSets, kElixirFiles, "Compile with elixirc", {"elixir/"}},
    {BothSets, kElixirFiles, "Compile with elixirc (jump to first error)", {"elixir/"}, Rows::ErrorsOnly},
    {BothSets, kElixirFiles, "Run, capture output", {"elixir/"}},
    {BothSets, kElixirFiles, "Run, capture output (jump to first error)", {"elixir/"}, Rows::SomeFrames},
    {BothSets, {"d.ini"}, "Compile with GDC", {"gdc/"}},
    {BothSets, {"d.ini"}, "Compile with GDC (jump to first error)", {"gdc/"}, Rows::ErrorsOnly},
    {BothSets, {"d.ini"}, "Build with GDC", {"gdc/"}},
    {BothSets, {"d.ini"}, "Compile with LDC", {"ldc2/"}},
    {BothSets, {"d.ini"}, "Compile with LDC (jump to first error)", {"ldc2/"}, Rows::ErrorsOnly},
    {BothSets, {"nim.ini"}, "Compile with Nim", {"nim/"}},
    {BothSets, {"nim.ini"}, "Compile with Nim (jump to first error)", {"nim/"}, Rows::ErrorsOnly},
    {BothSets, {"nim.ini"}, "Run, capture output", {"nim/"}},
    {BothSets, {"asm.ini"}, "Assemble with NASM", {"nasm/"}},
    {BothSets, {"asm.ini"}, "Assemble with NASM (jump to first error)", {"nasm/"}, Rows::ErrorsOnly},
    {BothSets, kVerilogFiles, "Compile with Icarus Verilog", {"iverilog/"}},
    {BothSets, kVerilogFiles, "Compile with Icarus Verilog (jump to first error)", {"iverilog/"}, Rows::ErrorsOnly},
    {BothSets, kVerilogFiles, "Lint with Verilator", {"verilator/"}},
    {BothSets, kVerilogFiles, "Lint with Verilator (jump to first error)", {"verilator/"}, Rows::ErrorsOnly},
    {BothSets, {"tex.ini"}, "Compile with pdflatex", {"pdflatex/"}},
    {BothSets, {"tex.ini"}, "Compile with pdflatex (jump to first error)", {"pdflatex/"}, Rows::ErrorsOnly},
    {BothSets, {"tex.ini"}, "Check with ChkTeX", {"chktex/v0.txt"}},
    {BothSets, {"tex.ini"}, "Check with ChkTeX (full report)", {"chktex/default.txt"}},
    {BothSets, {"xml.ini"}, "Check with xmllint", {"xmllint/"}},
    {BothSets, {"xml.ini"}, "Check with xmllint (jump to first error)", {"xmllint/"}, Rows::ErrorsOnly},
    {BothSets, {"xml.ini"}, "Validate against the DTD with xmllint", {"xmllint/"}},
    {BothSets, {"xml.ini"}, "Validate against a schema with xmllint...", {"xmllint/"}},
    {BothSets, {"xml.ini"}, "Build with Maven (pom.xml)", {"mvn/"}},
    {BothSets, {"xml.ini"}, "Build with Maven (jump to first error)", {"mvn/"}, Rows::ErrorsOnly},
    {BothSets, kYamlFiles, "Check with yamllint", {"yamllint/parsable.txt"}},
    {BothSets, kYamlFiles, "Check with yamllint (jump to first error)", {"yamllint/parsable.txt"}, Rows::ErrorsOnly},
    {BothSets, kYamlFiles, "Check with yamllint (standard report)", {"yamllint/default.txt", "yamllint/colored.txt"}},
    {BothSets, {"rb.ini"}, "Check with RuboCop", {"rubocop/"}},
    {BothSets, {"rb.ini"}, "Check with RuboCop (jump to first error)", {"rubocop/"}, Rows::ErrorsOnly},
    {BothSets, {"pl.ini", "pm.ini"}, "Check with Perl::Critic", {"perlcritic/"}},
    {BothSets, {"lua.ini"}, "Check with luacheck", {"luacheck/"}},
    {BothSets, {"lua.ini"}, "Check with luacheck (jump to first error)", {"luacheck/plain.txt"}, Rows::ErrorsOnly},
    {BothSets, {"vala.ini"}, "Compile with valac", {"valac/"}},
    {BothSets, {"vala.ini"}, "Compile with valac (jump to first error)", {"valac/"}, Rows::ErrorsOnly},
    {BothSets, {"y.ini"}, "Generate with Bison", {"bison/"}},
    {BothSets, {"y.ini"}, "Generate with Bison (jump to first error)", {"bison/"}, Rows::ErrorsOnly},
    {BothSets, {"l.ini"}, "Generate with Flex", {"flex/"}},
    {BothSets, {"l.ini"}, "Generate with Flex (jump to first error)", {"flex/"}, Rows::ErrorsOnly},
    {BothSets, {"proto.ini"}, "Check with protoc", {"protoc/"}},
    {BothSets, {"proto.ini"}, "Check with protoc (jump to first error)", {"protoc/"}, Rows::ErrorsOnly},
};

/// Expected rows that a command reads differently from how the corpus lists them, each with the
/// reason; README-formats.md carries the same list for users.
struct KnownException {
    int sets;
    const char *title;
    const char *output;
    int lineIndex;
    const char *yieldedFile;  // the file name the command yields; nullptr: it yields no position
    const char *reason;
};

const char *const kLinkerReason =
    "the jump-to-first-error expression reads compiler error lines only; linker messages carry no "
    "\"error\" word after the position";
const char *const kFileUrlLinuxReason =
    "Node names ES modules by file:// URL; the expression drops \"file://\" so that the editor can "
    "open the path (an escaped blank stays %20)";
const char *const kFileUrlWindowsReason =
    "Node names ES modules by file:/// URL; the expression drops \"file:///\" so that a Windows "
    "path \"C:/...\" remains (an escaped blank stays %20)";

const std::vector<KnownException> kKnownExceptions = {
    {BothSets, "Compile with GCC (jump to first error)", "gcc/link.txt", 2, nullptr, kLinkerReason},
    {BothSets, "Compile with GCC (jump to first error)", "gcc/link.txt", 3, nullptr, kLinkerReason},
    {LinuxSet, "Run, capture output", "node/esm_blank.txt", 0, "/src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlLinuxReason},
    {LinuxSet, "Run, capture output", "node/esm_blank.txt", 5, "/src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlLinuxReason},
    {LinuxSet, "Run, capture output", "node/esm_blank.txt", 6, "/src/project/node/esm_blank/main.mjs", kFileUrlLinuxReason},
    {LinuxSet, "Check syntax", "node/esm_blank.txt", 0, "/src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlLinuxReason},
    {LinuxSet, "Check syntax", "node/esm_blank.txt", 5, "/src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlLinuxReason},
    {LinuxSet, "Check syntax", "node/esm_blank.txt", 6, "/src/project/node/esm_blank/main.mjs", kFileUrlLinuxReason},
    {WindowsSet, "Run, capture output", "node/esm_blank.txt", 0, "src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlWindowsReason},
    {WindowsSet, "Run, capture output", "node/esm_blank.txt", 5, "src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlWindowsReason},
    {WindowsSet, "Run, capture output", "node/esm_blank.txt", 6, "src/project/node/esm_blank/main.mjs", kFileUrlWindowsReason},
    {WindowsSet, "Check syntax", "node/esm_blank.txt", 0, "src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlWindowsReason},
    {WindowsSet, "Check syntax", "node/esm_blank.txt", 5, "src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlWindowsReason},
    {WindowsSet, "Check syntax", "node/esm_blank.txt", 6, "src/project/node/esm_blank/main.mjs", kFileUrlWindowsReason},
    {LinuxSet, "Run, capture output (jump to first error)", "node/esm_blank.txt", 0, "/src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlLinuxReason},
    {WindowsSet, "Run, capture output (jump to first error)", "node/esm_blank.txt", 0, "src/project/node/esm_blank/sub/my%20loader.mjs", kFileUrlWindowsReason},
};

const KnownException *FindException(ConfigSet set, const std::string &title, const std::string &output, int lineIndex) {
    for (const KnownException &exception : kKnownExceptions) {
        if (InSets(exception.sets, set) && title == exception.title && output == exception.output &&
            lineIndex == exception.lineIndex)
            return &exception;
    }
    return nullptr;
}

/// The output files that a reading names, in corpus order.
std::vector<std::string> ResolveOutputs(const std::vector<const char *> &entries) {
    std::vector<std::string> chosen;
    for (const std::string entry : entries) {
        if (entry.front() == '-') continue;
        for (const std::string &output : shipped::CorpusOutputs()) {
            const bool wanted = entry.back() == '/' ? output.rfind(entry, 0) == 0 : output == entry;
            if (wanted && std::find(chosen.begin(), chosen.end(), output) == chosen.end()) chosen.push_back(output);
        }
    }
    for (const std::string entry : entries) {
        if (entry.front() == '-') chosen.erase(std::remove(chosen.begin(), chosen.end(), entry.substr(1)), chosen.end());
    }
    return chosen;
}

/// One command of one file of one set, with what it reads: the unit of the parameterised test.
struct ReadingCase {
    ConfigSet set;
    std::string file;
    std::string title;
    std::vector<std::string> outputs;
    Rows rows;
};

void PrintTo(const ReadingCase &reading, std::ostream *out) {
    *out << shipped::SetName(reading.set) << "/" << reading.file << " \"" << reading.title << "\"";
}

std::vector<ReadingCase> AllReadingCases() {
    std::vector<ReadingCase> cases;
    for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
        for (const CorpusReading &reading : kCorpusReadings) {
            if (!InSets(reading.sets, set)) continue;
            for (const char *file : reading.files)
                cases.push_back({set, file, reading.title, ResolveOutputs(reading.outputs), reading.rows});
        }
    }
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<ReadingCase> &info) {
    std::string name = std::string(info.param.set == ConfigSet::Windows ? "dist_" : "examples_") +
                       info.param.file + "_" + info.param.title;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name + "_" + std::to_string(info.index);
}

std::string Describe(const std::string &output, std::size_t index, const std::string &line) {
    return output + " line " + std::to_string(index) + ": \"" + line + "\"";
}

class CorpusReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(CorpusReadingTest, YieldsExactlyTheExpectedPositions) {
    const ReadingCase &reading = GetParam();
    const shipped::ConfigFile config = shipped::LoadConfig(reading.set, reading.file);
    const shipped::Command *command = config.Find(reading.title);
    ASSERT_NE(command, nullptr) << reading.file << " has no single command \"" << reading.title << "\"";
    ASSERT_TRUE(command->options.ToMenu) << "a command that reads output must capture it";
    ASSERT_FALSE(reading.outputs.empty());

    int positions = 0;
    for (const std::string &output : reading.outputs) {
        const std::vector<std::string> lines = shipped::OutputLines(output);
        // The automatic jump takes the first line that yields a position; for a jump-to-first-
        // error command that must be the case's first error the command promises to read.
        int firstYield = -1;
        int firstError = -1;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int index = static_cast<int>(i);
            SCOPED_TRACE(Describe(output, i, lines[i]));
            ErrorPosition got;
            try {
                got = ParseErrorLine(lines[i], command->options);
            } catch (const std::exception &failure) {
                ADD_FAILURE() << "throws: " << failure.what();
                continue;
            }
            const shipped::ExpectedRow *row = shipped::FindExpected(output, index);
            const KnownException *exception = FindException(reading.set, reading.title, output, index);
            if (firstYield < 0 && got.line > 0) firstYield = index;
            if (firstError < 0 && row != nullptr && row->kind == "error" &&
                (exception == nullptr || exception->yieldedFile != nullptr))
                firstError = index;
            if (exception != nullptr) {
                ASSERT_NE(row, nullptr) << "a known exception for a line that names no position";
                if (exception->yieldedFile == nullptr) {
                    EXPECT_EQ(got.line, 0) << exception->reason;
                } else {
                    EXPECT_EQ(got.fileName, exception->yieldedFile) << exception->reason;
                    EXPECT_EQ(got.line, row->line);
                    EXPECT_EQ(got.column, row->ColumnNumber());
                }
                continue;
            }
            const bool read = row != nullptr && (reading.rows != Rows::ErrorsOnly || row->kind == "error");
            if (!read) {
                EXPECT_EQ(got.line, 0) << "a position where the corpus names none (got " << got.fileName << ":"
                                       << got.line << ":" << got.column << ")";
                continue;
            }
            if (reading.rows == Rows::SomeFrames && got.line == 0) continue;  // a frame it passes over
            EXPECT_EQ(got.fileName, row->file);
            EXPECT_EQ(got.line, row->line);
            EXPECT_EQ(got.column, row->ColumnNumber());
            ++positions;
        }
        if (reading.rows == Rows::SomeFrames) {
            EXPECT_EQ(firstYield, ListedFirstJump(reading.title, output)) << output;
        }
        if (reading.rows == Rows::ErrorsOnly) {
            EXPECT_EQ(firstYield, firstError) << output << ": the first jump lands on line " << firstYield
                                              << ", the first error is on line " << firstError;
        }
    }
    EXPECT_GT(positions, 0) << "the command reads no position at all from its outputs";
}

INSTANTIATE_TEST_SUITE_P(ShippedCommands, CorpusReadingTest, ::testing::ValuesIn(AllReadingCases()), CaseName);

TEST(CorpusCoverageTest, EveryCorpusCaseIsReadBySomeShippedCommand) {
    std::set<std::string> read;
    for (const ReadingCase &reading : AllReadingCases()) read.insert(reading.outputs.begin(), reading.outputs.end());
    for (const std::string &output : shipped::CorpusOutputs()) EXPECT_TRUE(read.count(output)) << output;
}

TEST(CorpusCoverageTest, EveryKnownExceptionNamesARowOfACommandThatReadsIt) {
    for (const KnownException &exception : kKnownExceptions) {
        SCOPED_TRACE(std::string(exception.title) + " " + exception.output + " " + std::to_string(exception.lineIndex));
        EXPECT_NE(shipped::FindExpected(exception.output, exception.lineIndex), nullptr);
        bool used = false;
        for (const ReadingCase &reading : AllReadingCases()) {
            used = used || (InSets(exception.sets, reading.set) && reading.title == exception.title &&
                            std::count(reading.outputs.begin(), reading.outputs.end(), exception.output) > 0);
        }
        EXPECT_TRUE(used) << "a stale exception";
    }
}

/// Sample lines for output the corpus does not hold: MSVC, tsc, Windows paths, and the lines of
/// captured commands that must never yield a position (listings, batch output).
struct SampleLine {
    int sets;
    std::vector<const char *> files;
    const char *title;
    const char *line;
    const char *file;
    int lineNumber;  // 0: the line names no position
    int column;
};

const std::vector<SampleLine> kSampleLines = {
    // MSVC cl, with and without /diagnostics:column.
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC", "main.c(13): error C2065: 'x': undeclared identifier", "main.c", 13, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC", "C:\\src\\main.c(5,28): warning C4013: 'helper' undefined; assuming extern returning int", "C:\\src\\main.c", 5, 28},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC", "C:\\Program Files (x86)\\Windows Kits\\10\\Include\\10.0.19041.0\\ucrt\\stdio.h(356): note: see declaration of 'printf'", "C:\\Program Files (x86)\\Windows Kits\\10\\Include\\10.0.19041.0\\ucrt\\stdio.h", 356, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC", "c:\\work\\sub dir\\util.h(7): fatal error C1083: Cannot open include file: 'missing.h': No such file or directory", "c:\\work\\sub dir\\util.h", 7, 0},
    {WindowsSet, {"cpp.ini"}, "Compile with MSVC", "main.cpp(21,7): error C2664: 'void f(int)': cannot convert argument 1 from 'const char [4]' to 'int'", "main.cpp", 21, 7},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Build with MSVC", "main.obj : error LNK2019: unresolved external symbol helper referenced in function main", "", 0, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Build with MSVC", "main.exe : fatal error LNK1120: 1 unresolved externals", "", 0, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Build with MSVC", "main.c", "", 0, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Build with MSVC", "Microsoft (R) C/C++ Optimizing Compiler Version 19.38.33133 for x86", "", 0, 0},
    // MinGW: drive letters, the linker's full path, mingw32-make.
    {BothSets, {"c.ini"}, "Compile with GCC", "C:\\src\\main.c:5:3: error: 'x' undeclared (first use in this function)", "C:\\src\\main.c", 5, 3},
    {BothSets, {"c.ini"}, "Compile with GCC (jump to first error)", "C:\\src\\main.c:5:3: error: 'x' undeclared (first use in this function)", "C:\\src\\main.c", 5, 3},
    {BothSets, {"c.ini"}, "Compile with GCC (jump to first error)", "C:\\src\\main.c:7:1: warning: control reaches end of non-void function", "", 0, 0},
    {BothSets, {"c.ini"}, "Compile with GCC (jump to first error)", "C:\\src\\main.c:9: fatal error: missing.h: No such file or directory", "C:\\src\\main.c", 9, 0},
    {BothSets, {"c.ini"}, "Build with GCC", "C:/msys64/mingw64/bin/../lib/gcc/x86_64-w64-mingw32/13.2.0/../../../../x86_64-w64-mingw32/bin/ld.exe: C:\\src\\main.c:8: undefined reference to `compute'", "C:\\src\\main.c", 8, 0},
    {BothSets, {"c.ini"}, "Build with GCC", "C:/msys64/mingw64/bin/../lib/gcc/x86_64-w64-mingw32/13.2.0/../../../../x86_64-w64-mingw32/bin/ld.exe: main.o:main.c:(.text+0x1e): undefined reference to `compute'", "", 0, 0},
    {BothSets, {"cpp.ini"}, "Compile with G++", "In file included from C:/Program Files (x86)/mingw/include/c++/vector:60,", "C:/Program Files (x86)/mingw/include/c++/vector", 60, 0},
    {BothSets, {"AllFiles.ini"}, "Build with make", "mingw32-make: *** [Makefile:8: main.o] Error 1", "Makefile", 8, 0},
    {BothSets, {"AllFiles.ini"}, "Build with make", "mingw32-make.exe[1]: *** [Makefile:2: util.o] Error 1", "Makefile", 2, 0},
    // tsc without colour.
    {BothSets, {"ts.ini"}, "Check with tsc", "main.ts(3,7): error TS2322: Type 'string' is not assignable to type 'number'.", "main.ts", 3, 7},
    {BothSets, {"ts.ini"}, "Check with tsc", "src/util.ts(12,1): error TS1005: ';' expected.", "src/util.ts", 12, 1},
    {BothSets, {"ts.ini"}, "Check with tsc", "C:\\app\\main.ts(4,10): error TS2304: Cannot find name 'missing'.", "C:\\app\\main.ts", 4, 10},
    {BothSets, {"ts.ini"}, "Check with tsc", "  Type 'number' is not assignable to type 'string'.", "", 0, 0},
    {BothSets, {"ts.ini"}, "Check with tsc", "Found 2 errors in the same file, starting at: main.ts:3", "", 0, 0},
    {BothSets, {"ts.ini"}, "Compile with tsc", "main.ts(3,7): error TS2322: Type 'string' is not assignable to type 'number'.", "main.ts", 3, 7},
    {BothSets, {"ts.ini"}, "Compile with tsc", "     1  main.ts:3", "", 0, 0},
    // Windows paths in the other tools' shapes.
    {BothSets, {"py.ini"}, "Run, capture traceback", "  File \"C:\\Users\\ann\\my script.py\", line 5, in <module>", "C:\\Users\\ann\\my script.py", 5, 0},
    {BothSets, {"py.ini"}, "Run, capture traceback", "C:\\Users\\ann\\main.py:14: DeprecationWarning: invalid escape sequence '\\d'", "C:\\Users\\ann\\main.py", 14, 0},
    {BothSets, {"py.ini"}, "Run, capture traceback", "    d = {'a':1}", "", 0, 0},
    {BothSets, {"py.ini"}, "Check with pyflakes", "C:\\Users\\ann\\main.py:2:1: 'sys' imported but unused", "C:\\Users\\ann\\main.py", 2, 1},
    {BothSets, {"py.ini"}, "Check with pylint", "C:\\Users\\ann\\main.py:13:0: W0102: Dangerous default value [] as argument (dangerous-default-value)", "C:\\Users\\ann\\main.py", 13, 0},
    {BothSets, {"pl.ini"}, "Run, capture output", "Died at C:\\scripts\\main.pl line 5.", "C:\\scripts\\main.pl", 5, 0},
    {BothSets, {"rb.ini"}, "Run, capture output", "C:/Ruby32/lib/ruby/3.2.0/json/common.rb:216:in `parse': unexpected token (JSON::ParserError)", "C:/Ruby32/lib/ruby/3.2.0/json/common.rb", 216, 0},
    {BothSets, {"js.ini"}, "Run, capture output", "    at Object.<anonymous> (C:\\Users\\ann\\main.js:7:1)", "C:\\Users\\ann\\main.js", 7, 1},
    {BothSets, {"js.ini"}, "Run, capture output", "C:\\Users\\ann\\main.js:2", "C:\\Users\\ann\\main.js", 2, 0},
    {WindowsSet, {"js.ini", "mjs.ini"}, "Run, capture output", "file:///C:/Users/ann/main.mjs:3", "C:/Users/ann/main.mjs", 3, 0},
    {WindowsSet, {"mjs.ini"}, "Run, capture output", "    at load (file:///C:/Users/ann/sub/loader.mjs:3:25)", "C:/Users/ann/sub/loader.mjs", 3, 25},
    {BothSets, {"java.ini"}, "Compile with javac", "C:\\src\\Main.java:3: error: ';' expected", "C:\\src\\Main.java", 3, 0},
    {BothSets, {"go.ini"}, "Build package", ".\\main.go:5:2: imported and not used: \"os\"", ".\\main.go", 5, 2},
    {BothSets, {"go.ini"}, "Run, capture output", "\tC:/Users/ann/demo/main.go:12 +0x1d", "C:/Users/ann/demo/main.go", 12, 0},
    {BothSets, {"rs.ini"}, "Build with cargo", "  --> src\\main.rs:5:24", "src\\main.rs", 5, 24},
    {BothSets, {"rs.ini"}, "Build with cargo", "   Compiling demo v0.1.0 (C:\\Users\\ann\\demo)", "", 0, 0},
    {BothSets, {"pas.ini"}, "Compile with Free Pascal", "C:\\src\\errors.pas(8,12) Error: Incompatible types: got \"Constant String\" expected \"SmallInt\"", "C:\\src\\errors.pas", 8, 12},
    {BothSets, {"pas.ini"}, "Run, capture output", "  $0040158C  FILL,  line 12 of crash.pas", "crash.pas", 12, 0},
    {BothSets, {"f90.ini"}, "Run, capture output", "At line 12 of file C:\\src\\bounds.f90", "C:\\src\\bounds.f90", 12, 0},
    {BothSets, {"f90.ini"}, "Run, capture output", "At line 3 of file 2d.f90", "2d.f90", 3, 0},
    {BothSets, {"f90.ini"}, "Run, capture output", "At end of file", "", 0, 0},
    {BothSets, {"adb.ini"}, "Run, capture output", "raised CONSTRAINT_ERROR : C:\\src\\crash.adb:7 index check failed", "C:\\src\\crash.adb", 7, 0},
    {BothSets, {"sh.ini"}, "Check with ShellCheck", "C:\\src\\main.sh:2:12: note: Use ./*glob* or -- *glob* so names with dashes won't become options. [SC2035]", "C:\\src\\main.sh", 2, 12},
    {BothSets, {"lua.ini"}, "Run, capture output", "C:\\lua\\lua54.exe: main.lua:6: 'then' expected near 'print'", "main.lua", 6, 0},
    {BothSets, {"lua.ini"}, "Check syntax", "luac: main.lua:6: 'then' expected near 'print'", "main.lua", 6, 0},
    {BothSets, {"php.ini"}, "Run, capture output", "PHP Warning:  Undefined variable $x in C:\\www\\site\\index.php on line 3", "C:\\www\\site\\index.php", 3, 0},
    {BothSets, {"php.ini"}, "Run, capture output", "#0 C:\\www\\site\\index.php(5): load()", "C:\\www\\site\\index.php", 5, 0},
    {BothSets, {"php.ini"}, "Run, capture output", "PHP Fatal error:  Uncaught Exception: failed in parser in /var/www/lib.php:12", "/var/www/lib.php", 12, 0},
    {BothSets, {"php.ini"}, "Run, capture output", "PHP Fatal error:  Uncaught ArgumentCountError: Too few arguments to function f(), 1 passed in /var/www/main.php on line 8 and exactly 2 expected in /var/www/lib.php:4", "/var/www/main.php", 8, 0},
    {BothSets, {"tcl.ini"}, "Run, capture output", "    (file \"C:\\src\\main.tcl\" line 13)", "C:\\src\\main.tcl", 13, 0},
    // Windows-only tools, from their documented output: MSBuild, the MSVC jump, Delphi, csc and dotnet.
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild", "C:\\src\\demo\\main.cpp(5,10): error C2065: 'x': undeclared identifier [C:\\src\\demo\\demo.vcxproj]", "C:\\src\\demo\\main.cpp", 5, 10},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild", "C:\\src\\demo\\util.h(7): warning C4100: 'x': unreferenced formal parameter [C:\\src\\demo\\demo.vcxproj]", "C:\\src\\demo\\util.h", 7, 0},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild", "  main.cpp", "", 0, 0},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild", "LINK : fatal error LNK1104: cannot open file 'demo.exe' [C:\\src\\demo\\demo.vcxproj]", "", 0, 0},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild (jump to first error)", "C:\\src\\My App\\Program.cs(12,17): error CS0029: Cannot implicitly convert type 'string' to 'int' [C:\\src\\My App\\app.csproj]", "C:\\src\\My App\\Program.cs", 12, 17},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild (jump to first error)", "C:\\src\\demo\\util.h(7): warning C4100: 'x': unreferenced formal parameter [C:\\src\\demo\\demo.vcxproj]", "", 0, 0},
    {WindowsSet, {"AllFiles.ini"}, "Build with MSBuild (jump to first error)", "C:\\src\\demo\\main.c(9): fatal error C1083: Cannot open include file: 'missing.h': No such file or directory [C:\\src\\demo\\demo.vcxproj]", "C:\\src\\demo\\main.c", 9, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC (jump to first error)", "main.c(13): error C2065: 'x': undeclared identifier", "main.c", 13, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC (jump to first error)", "C:\\src\\main.c(5,28): warning C4013: 'helper' undefined; assuming extern returning int", "", 0, 0},
    {WindowsSet, {"c.ini", "cpp.ini"}, "Compile with MSVC (jump to first error)", "c:\\work\\sub dir\\util.h(7): fatal error C1083: Cannot open include file: 'missing.h': No such file or directory", "c:\\work\\sub dir\\util.h", 7, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi", "Unit1.pas(25) Error: E2003 Undeclared identifier: 'x'", "Unit1.pas", 25, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi", "[dcc32 Hint] Unit1.pas(30): H2164 Variable 'y' is declared but never used", "Unit1.pas", 30, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi", "Embarcadero Delphi for Win32 compiler version 35.0", "", 0, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi", "41 lines, 0.05 seconds, 20480 bytes code, 8192 bytes data.", "", 0, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi (jump to first error)", "Project1.dpr(12) Warning: W1036 Variable 'i' might not have been initialized", "", 0, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi (jump to first error)", "[dcc32 Hint] Unit1.pas(30): H2164 Variable 'y' is declared but never used", "", 0, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi (jump to first error)", "[dcc32 Error] Unit1.pas(25): E2003 Undeclared identifier: 'x'", "Unit1.pas", 25, 0},
    {WindowsSet, {"pas.ini", "dpr.ini"}, "Compile with Delphi (jump to first error)", "C:\\Projects\\My App\\Unit1.pas(25) Fatal: F1026 File not found: 'Missing.dcu'", "C:\\Projects\\My App\\Unit1.pas", 25, 0},
    {WindowsSet, {"cs.ini"}, "Compile with csc (jump to first error)", "C:\\src\\Program.cs(5,13): error CS0029: Cannot implicitly convert type 'string' to 'int'", "C:\\src\\Program.cs", 5, 13},
    {WindowsSet, {"cs.ini"}, "Build with dotnet", "C:\\src\\demo\\Program.cs(9,17): warning CS0168: The variable 'e' is declared but never used [C:\\src\\demo\\demo.csproj]", "C:\\src\\demo\\Program.cs", 9, 17},
    {WindowsSet, {"cs.ini"}, "Build with dotnet (jump to first error)", "C:\\src\\demo\\Program.cs(9,17): warning CS0168: The variable 'e' is declared but never used [C:\\src\\demo\\demo.csproj]", "", 0, 0},
    // Windows paths in the shapes of the newer checkers.
    {BothSets, {"js.ini"}, "Check with ESLint (jump to first error)", "C:\\Users\\ann\\app\\main.js:5:13: Missing semicolon. [Error/semi]", "C:\\Users\\ann\\app\\main.js", 5, 13},
    {BothSets, {"js.ini"}, "Check with ESLint (compact)", "C:\\Users\\ann\\app\\main.js: line 5, col 13, Error - Missing semicolon. (semi)", "C:\\Users\\ann\\app\\main.js", 5, 13},
    {BothSets, {"py.ini"}, "Check with flake8", ".\\main.py:1:1: F401 'os' imported but unused", ".\\main.py", 1, 1},
    {BothSets, {"py.ini"}, "Check with mypy (jump to first error)", "C:\\Users\\ann\\main.py:8:14: error: Incompatible types in assignment", "C:\\Users\\ann\\main.py", 8, 14},
    {BothSets, {"AllFiles.ini"}, "Configure with CMake (jump to first error)", "CMake Error at C:/src/demo/CMakeLists.txt:6 (target_link_libraries):", "C:/src/demo/CMakeLists.txt", 6, 0},
    {BothSets, {"ts.ini"}, "Check with tsc (jump to first error)", "C:\\app\\main.ts(4,10): error TS2304: Cannot find name 'missing'.", "C:\\app\\main.ts", 4, 10},
    // The toolchains of tests/tool-output with Windows paths, and shapes the captured versions do
    // not print (no column, colour without a column).
    {BothSets, {"ml.ini"}, "Compile with ocamlc", "File \"C:\\src\\my lib.ml\", line 8, characters 31-37:", "C:\\src\\my lib.ml", 8, 31},
    {BothSets, {"ml.ini"}, "Compile with ocamlc (jump to first error)", "File \"C:\\src\\main.ml\", lines 2-4, characters 2-14:", "C:\\src\\main.ml", 2, 2},
    {BothSets, {"erl.ini"}, "Compile with erlc", "C:\\src\\calc.erl:5: syntax error before: ok", "C:\\src\\calc.erl", 5, 0},
    {BothSets, {"erl.ini"}, "Compile with erlc (jump to first error)", "C:\\src\\calc.erl:5: syntax error before: ok", "C:\\src\\calc.erl", 5, 0},
    {BothSets, {"erl.ini"}, "Compile with erlc (jump to first error)", "C:\\src\\calc.erl:4: Warning: variable 'B' is unused", "", 0, 0},
    {BothSets, {"ex.ini"}, "Compile with elixirc (jump to first error)", "** (CompileError) c:/app/lib/shop.ex:8: undefined function totl/1", "c:/app/lib/shop.ex", 8, 0},
    {BothSets, {"d.ini"}, "Compile with GDC (jump to first error)", "C:\\src\\main.d:3: fatal error: cannot open file", "C:\\src\\main.d", 3, 0},
    {BothSets, {"d.ini"}, "Compile with LDC", "main.d(5,3):        instantiated from here: `f!int`", "main.d", 5, 3},
    {BothSets, {"d.ini"}, "Compile with LDC (jump to first error)", "\x1b[1mC:\\src\\my app.d(3): \x1b[1;31mError: \x1b[mundefined identifier", "C:\\src\\my app.d", 3, 0},
    {BothSets, {"nim.ini"}, "Compile with Nim", "C:\\Users\\ann\\main.nim(4, 20) Error: type mismatch", "C:\\Users\\ann\\main.nim", 4, 20},
    {BothSets, {"nim.ini"}, "Compile with Nim (jump to first error)", "\x1b[1mC:\\app\\main.nim(7) \x1b[31mError: \x1b[0minternal", "C:\\app\\main.nim", 7, 0},
    {BothSets, {"asm.ini"}, "Assemble with NASM", "C:\\src\\main.asm:7: error: symbol `other_missing' not defined", "C:\\src\\main.asm", 7, 0},
    {BothSets, {"v.ini"}, "Compile with Icarus Verilog", "C:\\hdl\\top.v:5: syntax error", "C:\\hdl\\top.v", 5, 0},
    {BothSets, {"v.ini"}, "Lint with Verilator", "%Error: C:\\hdl\\my top.v:5:5: syntax error", "C:\\hdl\\my top.v", 5, 5},
    {BothSets, {"tex.ini"}, "Compile with pdflatex", "c:/Users/ann/thesis/chapter 1.tex:12: Undefined control sequence.", "c:/Users/ann/thesis/chapter 1.tex", 12, 0},
    {BothSets, {"tex.ini"}, "Compile with pdflatex", "l.12 \\foo", "", 0, 0},
    {BothSets, {"tex.ini"}, "Compile with pdflatex", "l.12 The ratio a:1: b is \\undefined", "", 0, 0},
    {BothSets, {"tex.ini"}, "Compile with pdflatex", "LaTeX Warning: Reference `x' on page 1 undefined on input line 7.", "", 0, 0},
    {BothSets, {"tex.ini"}, "Check with ChkTeX", "C:\\doc\\main.tex:3:19:26:You ought to remove spaces in front of punctuation.", "C:\\doc\\main.tex", 3, 19},
    {BothSets, {"xml.ini"}, "Check with xmllint", "C:\\data\\my config.xml:3: parser error : Attribute key redefined", "C:\\data\\my config.xml", 3, 0},
    {BothSets, {"xml.ini"}, "Build with Maven (pom.xml)", "[ERROR] C:\\Users\\ann\\demo\\src\\main\\java\\demo\\App.java:[5,21] incompatible types", "C:\\Users\\ann\\demo\\src\\main\\java\\demo\\App.java", 5, 21},
    {BothSets, {"xml.ini"}, "Build with Maven (jump to first error)", "[WARNING] C:\\demo\\src\\main\\java\\demo\\App.java:[3,8] deprecated", "", 0, 0},
    {BothSets, {"yaml.ini", "yml.ini"}, "Check with yamllint", "C:\\ci\\config.yaml:4:5: [error] too many spaces after hyphen (hyphens)", "C:\\ci\\config.yaml", 4, 5},
    {BothSets, {"rb.ini"}, "Check with RuboCop", "C:/Users/ann/main.rb:4:3: W: Lint/UselessAssignment: Useless assignment", "C:/Users/ann/main.rb", 4, 3},
    {BothSets, {"pl.ini"}, "Check with Perl::Critic", "C:\\scripts\\main.pl:2:1:Bareword file handle opened", "C:\\scripts\\main.pl", 2, 1},
    {BothSets, {"lua.ini"}, "Check with luacheck", "    C:\\lua\\main.lua:1:7: unused variable unused", "C:\\lua\\main.lua", 1, 7},
    {BothSets, {"vala.ini"}, "Compile with valac", "C:\\src\\main.vala:3.12-3.12: error: Assignment: Cannot convert", "C:\\src\\main.vala", 3, 12},
    {BothSets, {"y.ini"}, "Generate with Bison", "C:\\src\\calc.y:7.7-13: error: symbol", "C:\\src\\calc.y", 7, 7},
    {BothSets, {"y.ini"}, "Generate with Bison (jump to first error)", "\x1b[1mcalc.y:7.7-13:\x1b[0m \x1b[31merror:\x1b[0m symbol", "calc.y", 7, 7},
    {BothSets, {"y.ini"}, "Generate with Bison (jump to first error)", "\x1b[1mcalc.y:7.1-6:\x1b[0m \x1b[35mwarning:\x1b[0m nonterminal useless", "", 0, 0},
    {BothSets, {"l.ini"}, "Generate with Flex (jump to first error)", "C:\\src\\scan.l:5: unrecognized rule", "C:\\src\\scan.l", 5, 0},
    {BothSets, {"proto.ini"}, "Check with protoc", "C:\\proto\\main.proto:5:3: \"common.Point\" is not defined.", "C:\\proto\\main.proto", 5, 3},
    // Captured commands whose output names no positions, although it is full of numbers.
    {WindowsSet, {"AllFiles.ini"}, "Show folder listing", "03/03/2024  12:00 PM             1,234 main.c", "", 0, 0},
    {WindowsSet, {"AllFiles.ini"}, "Show folder listing", " Volume Serial Number is 1234-ABCD", "", 0, 0},
    {LinuxSet, {"AllFiles.ini"}, "Show folder listing", "-rw-r--r-- 1 ann ann 1234 Mar  3 12:00 main.c", "", 0, 0},
    {LinuxSet, {"AllFiles.ini"}, "Show folder listing", "total 12", "", 0, 0},
    {WindowsSet, {"bat.ini", "cmd.ini"}, "Run, capture output", "C:\\src>echo 12 items", "", 0, 0},
    {WindowsSet, {"bat.ini", "cmd.ini"}, "Run, capture output", "               2 File(s)          1,234 bytes", "", 0, 0},
};

TEST(SampleLineTest, ShippedExpressionsReadFormatsOutsideTheCorpus) {
    int checked = 0;
    for (const SampleLine &sample : kSampleLines) {
        for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
            if (!InSets(sample.sets, set)) continue;
            for (const char *file : sample.files) {
                SCOPED_TRACE(std::string(shipped::SetName(set)) + "/" + file + " \"" + sample.title + "\": \"" +
                             sample.line + "\"");
                const shipped::ConfigFile config = shipped::LoadConfig(set, file);
                const shipped::Command *command = config.Find(sample.title);
                ASSERT_NE(command, nullptr);
                ErrorPosition got;
                ASSERT_NO_THROW(got = ParseErrorLine(sample.line, command->options));
                EXPECT_EQ(got.line, sample.lineNumber);
                if (sample.lineNumber > 0) {
                    EXPECT_EQ(got.fileName, sample.file);
                    EXPECT_EQ(got.column, sample.column);
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, static_cast<int>(kSampleLines.size()));
}

/// Every captured command must be proved somewhere: on the corpus or on sample lines. A new
/// command that nobody checked fails here.
TEST(SampleLineTest, EveryCapturedCommandIsCheckedOnTheCorpusOrOnSamples) {
    std::set<std::string> checked;
    auto key = [](ConfigSet set, const std::string &file, const std::string &title) {
        return std::string(shipped::SetName(set)) + "/" + file + " \"" + title + "\"";
    };
    for (const ReadingCase &reading : AllReadingCases()) checked.insert(key(reading.set, reading.file, reading.title));
    for (const SampleLine &sample : kSampleLines) {
        for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
            if (!InSets(sample.sets, set)) continue;
            for (const char *file : sample.files) checked.insert(key(set, file, sample.title));
        }
    }
    for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
        for (const std::string &file : shipped::IniFileNames(set)) {
            for (const shipped::Command &command : shipped::LoadConfig(set, file).commands) {
                if (command.options.ToMenu) {
                    EXPECT_TRUE(checked.count(key(set, file, command.title))) << key(set, file, command.title);
                }
            }
        }
    }
}

}  // namespace
