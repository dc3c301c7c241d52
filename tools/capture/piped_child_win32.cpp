#include "piped_child.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

// One argument as the C runtime's parser reads it back: quoted, with backslashes doubled only
// where they precede a quote.
std::string quoted(const std::string &argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

HANDLE handle(intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

PipedChild::~PipedChild() {
    std::string ignored;
    finish(ignored);
}

bool PipedChild::start(const std::vector<std::string> &arguments, std::string &error) {
    name_ = arguments.at(0);
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0)) {
        error = "cannot make a pipe for " + name_;
        return false;
    }
    SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0); // only the child's end is inherited
    std::string command;
    for (const std::string &argument : arguments) command += quoted(argument) + " ";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = read_end;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    // A group of its own: Ctrl+C reaches the tool alone, which then closes the pipe so that the
    // child finishes its file instead of dying halfway.
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                       nullptr, nullptr, &startup, &process);
    CloseHandle(read_end);
    if (!started) {
        CloseHandle(write_end);
        error = "cannot start " + name_ + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    CloseHandle(process.hThread);
    pipe_ = reinterpret_cast<intptr_t>(write_end);
    process_ = reinterpret_cast<intptr_t>(process.hProcess);
    return true;
}

bool PipedChild::write(const unsigned char *bytes, std::size_t left) {
    while (left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(handle(pipe_), bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        left -= written;
    }
    return true;
}

bool PipedChild::finish(std::string &error) {
    if (pipe_ != -1) CloseHandle(handle(pipe_));
    pipe_ = -1;
    if (process_ == -1) return true;
    DWORD code = 1;
    WaitForSingleObject(handle(process_), INFINITE);
    GetExitCodeProcess(handle(process_), &code);
    CloseHandle(handle(process_));
    process_ = -1;
    if (code == 0) return true;
    error = name_ + " failed with exit code " + std::to_string(code);
    return false;
}
