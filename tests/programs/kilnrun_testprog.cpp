// kilnrun_testprog: a console program whose output, timing, input use and exit code are
// driven by its arguments, so that tests can run a real process with known behaviour on every
// platform. Each argument is one action, done in order; README.md lists them.
#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

namespace {

enum class Stream { Out, Err };

#if defined(_WIN32)
HANDLE StreamHandle(Stream stream) {
    return ::GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool WriteRaw(Stream stream, const char *bytes, std::size_t size) {
    HANDLE handle = StreamHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
    while (size > 0) {
        DWORD chunk = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

/// Whether standard input is a console, which would wait for a key instead of ending.
bool InputIsConsole() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

/// Reads standard input to its end; false when the process has none.
bool ReadAllInput(std::size_t &count) {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    count = 0;
    while (::ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) count += got;
    return true;
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = ::GetCurrentDirectoryA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}
#else
bool WriteRaw(Stream stream, const char *bytes, std::size_t size) {
    int fd = stream == Stream::Out ? 1 : 2;
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool InputIsConsole() { return false; }  // a terminal is read like any other input here

bool ReadAllInput(std::size_t &count) {
    char buffer[4096];
    count = 0;
    for (;;) {
        ssize_t got = ::read(0, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno != EBADF;  // a closed descriptor 0: no input at all
        if (got == 0) return true;
        count += static_cast<std::size_t>(got);
    }
}

std::string CurrentDirectory() {
    char buffer[4096] = {};
    return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}
#endif

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/// Decodes \r \n \t \0 \s (blank) \q (double quote) \\ and \xNN; other backslashes stay.
std::string Decode(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        char code = text[++i];
        switch (code) {
            case 'r': bytes += '\r'; break;
            case 'n': bytes += '\n'; break;
            case 't': bytes += '\t'; break;
            case '0': bytes += '\0'; break;
            case 's': bytes += ' '; break;
            case 'q': bytes += '"'; break;
            case '\\': bytes += '\\'; break;
            case 'x':
                if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
                    bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
                    i += 2;
                    break;
                }
                [[fallthrough]];
            default:
                bytes += '\\';
                bytes += code;
        }
    }
    return bytes;
}

/// Output in order; held back between "buffered" and "flush" (or the end).
class Output {
public:
    void Write(Stream stream, const std::string &bytes) {
        if (buffered_) {
            (stream == Stream::Out ? pendingOut_ : pendingErr_) += bytes;
        } else {
            Emit(stream, bytes.data(), bytes.size());
        }
    }

    void WriteRepeated(Stream stream, unsigned long long count, const std::string &piece) {
        if (piece.empty() || count == 0) return;
        if (buffered_) {
            for (unsigned long long i = 0; i < count; ++i) Write(stream, piece);
            return;
        }
        // Large outputs go out in blocks of whole pieces.
        const unsigned long long perBlock = piece.size() >= 65536 ? 1 : 65536 / piece.size();
        std::string block;
        for (unsigned long long i = 0; i < perBlock && i < count; ++i) block += piece;
        unsigned long long left = count;
        while (left > 0) {
            unsigned long long now = left < perBlock ? left : perBlock;
            Emit(stream, block.data(), static_cast<std::size_t>(now * piece.size()));
            left -= now;
        }
    }

    void SetBuffered() { buffered_ = true; }

    void Flush() {
        Emit(Stream::Out, pendingOut_.data(), pendingOut_.size());
        Emit(Stream::Err, pendingErr_.data(), pendingErr_.size());
        pendingOut_.clear();
        pendingErr_.clear();
    }

private:
    static void Emit(Stream stream, const char *bytes, std::size_t size) {
        // A reader that went away ends the program, as a broken pipe would.
        if (!WriteRaw(stream, bytes, size)) std::exit(3);
    }

    bool buffered_ = false;
    std::string pendingOut_;
    std::string pendingErr_;
};

bool ParseCount(std::string_view text, unsigned long long &value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned long long>(c - '0');
    }
    return true;
}

int Fail(Output &output, std::string_view action) {
    output.Flush();
    std::string message = "kilnrun_testprog: bad action: " + std::string(action) + "\r\n";
    WriteRaw(Stream::Err, message.data(), message.size());
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    Output output;
    for (int index = 1; index < argc; ++index) {
        std::string_view action = argv[index];
        std::string_view argument;
        if (std::size_t colon = action.find(':'); colon != std::string_view::npos) {
            argument = action.substr(colon + 1);
            action = action.substr(0, colon);
        }
        unsigned long long number = 0;
        if (action == "out" || action == "err") {
            output.Write(action == "out" ? Stream::Out : Stream::Err, Decode(argument));
        } else if (action == "outrep" || action == "errrep") {
            std::size_t colon = argument.find(':');
            if (colon == std::string_view::npos || !ParseCount(argument.substr(0, colon), number)) {
                return Fail(output, argv[index]);
            }
            output.WriteRepeated(action == "outrep" ? Stream::Out : Stream::Err, number,
                                 Decode(argument.substr(colon + 1)));
        } else if (action == "buffered") {
            output.SetBuffered();
        } else if (action == "flush") {
            output.Flush();
        } else if (action == "sleep" && ParseCount(argument, number)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(number));
        } else if (action == "readin") {
            // Reads whatever the input is, a console too, as a program that wants input does.
            std::size_t count = 0;
            bool present = ReadAllInput(count);
            output.Write(Stream::Out, present ? "read: " + std::to_string(count) + " bytes\r\n"
                                              : std::string("read: none\r\n"));
        } else if (action == "stdin" && InputIsConsole()) {
            output.Write(Stream::Out, "stdin: console\r\n");
        } else if (action == "stdin") {
            std::size_t count = 0;
            bool present = ReadAllInput(count);
            output.Write(Stream::Out, present ? "stdin: " + std::to_string(count) + " bytes\r\n"
                                              : std::string("stdin: none\r\n"));
        } else if (action == "args") {
            // The words after it are only echoed, each in brackets on a line of its own.
            for (int i = index + 1; i < argc; ++i) {
                output.Write(Stream::Out, "[" + std::string(argv[i]) + "]\r\n");
            }
            break;
        } else if (action == "cwd") {
            output.Write(Stream::Out, CurrentDirectory() + "\r\n");
        } else if (action == "env") {
            const char *value = std::getenv(std::string(argument).c_str());
            output.Write(Stream::Out, (value != nullptr ? std::string(value) : "(unset)") + "\r\n");
        } else if (action == "exit" && ParseCount(argument, number)) {
            output.Flush();
            return static_cast<int>(number);
        } else if (action == "abort") {
            output.Flush();
#if defined(_WIN32)
            ::ExitProcess(3);
#else
            ::signal(SIGABRT, SIG_DFL);
            ::raise(SIGABRT);
            return 134;
#endif
        } else {
            return Fail(output, argv[index]);
        }
    }
    output.Flush();
    return 0;
}
