#include "PlatformTestSupport.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#endif

namespace platform_test {

std::uint32_t FileNotFoundCode() {
#if defined(_WIN32)
    return ERROR_FILE_NOT_FOUND;
#else
    return ENOENT;
#endif
}

CapturedRun RunCaptured(const std::string &commandLine) {
    platform::Platform &system = platform::Current();
    CapturedRun run;
    platform::NativeHandle readEnd = platform::kNoHandle;
    platform::NativeHandle writeEnd = platform::kNoHandle;
    if (!system.CreatePipe(readEnd, writeEnd)) return run;
    platform::UniqueHandle reader(readEnd);
    platform::UniqueHandle writer(writeEnd);
    system.ClearInheritFlag(reader.Get());

    platform::UniqueHandle process(system.StartCapturedProcess(commandLine, writer.Get()));
    if (!process.Valid()) {
        run.errorCode = system.LastErrorCode();
        return run;
    }
    run.started = true;
    writer.Reset();  // the child holds the only writer now: the read ends when it is gone

    char buffer[257];
    for (;;) {
        long count = system.ReadFile(reader.Get(), buffer, sizeof buffer);
        if (count < 0) break;
        run.output.append(buffer, static_cast<std::size_t>(count));
    }
    system.WaitForProcess(process.Get(), -1);
    run.exitCode = system.GetExitCode(process.Get());
    return run;
}

}  // namespace platform_test
