#include "support/tool_runner.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testing_support {

ToolRun RunProgram(const char* program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::string* input) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (env.count(entry.substr(0, entry.find('='))) == 0) environment.push_back(entry);
    }
    for (const auto& [name, value] : env) {
        if (!value.empty()) environment.push_back(name + "=" + value);
    }
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    int inPipe[2];
    ToolRun run;
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0 || pipe(inPipe) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(inPipe[0]);
        close(inPipe[1]);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        execve(program, argv.data(), envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    close(inPipe[0]);
    // The input is small: it fits the pipe before the child reads it.
    if (input != nullptr && write(inPipe[1], input->data(), input->size()) < 0) input = nullptr;
    close(inPipe[1]);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && poll(fds, 2, -1) >= 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char chunk[4096];
            const ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                sinks[i]->append(chunk, static_cast<std::size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return run;
}

}  // namespace testing_support
