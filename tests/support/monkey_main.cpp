// monkey SECONDS SEED -- TRANSPORT-COMMAND [ARGS...]: the monkey (support/monkey.h) with
// its transport as a child process on a pipe; the transport's standard error is ours.
// monkey --script FILE -- TRANSPORT-COMMAND [ARGS...]: the same driver plays a fixed script.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/monkey.h"

namespace {

using casino::testing::MonkeyFinding;

class PipeTransport final : public casino::testing::Transport {
   public:
    explicit PipeTransport(char** command) {
        int to_child[2], from_child[2];
        if (pipe(to_child) != 0 || pipe(from_child) != 0) throw MonkeyFinding("no pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(to_child[0], 0);
            dup2(from_child[1], 1);
            for (const int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) close(fd);
            execvp(command[0], command);
            std::perror(command[0]);
            _exit(127);
        }
        close(to_child[0]);
        close(from_child[1]);
        to_ = fdopen(to_child[1], "w");
        from_ = fdopen(from_child[0], "r");
        // "observes KIND...", then "ready".
        const std::string first = read_line();
        if (!first.starts_with("observes")) throw MonkeyFinding("the transport said " + first);
        for (std::size_t at = first.find(' '); at != std::string::npos;) {
            const std::size_t end = first.find(' ', at + 1);
            observes_.push_back(first.substr(at + 1, end - at - 1));
            at = end;
        }
        if (read_line() != "ready") throw MonkeyFinding("the transport is not ready");
    }

    ~PipeTransport() override {
        std::fputs("stop\n", to_);
        std::fclose(to_);
        std::fclose(from_);
        waitpid(pid_, nullptr, 0);
    }
    PipeTransport(const PipeTransport&) = delete;
    PipeTransport& operator=(const PipeTransport&) = delete;

    std::vector<std::string> send(const std::string& command) override {
        if (std::fprintf(to_, "%s\n", command.c_str()) < 0 || std::fflush(to_) != 0)
            throw MonkeyFinding("the transport has gone");
        std::vector<std::string> lines;
        for (std::string line; (line = read_line()) != "ready";) lines.push_back(line);
        return lines;
    }

    [[nodiscard]] const std::vector<std::string>& observes() const override { return observes_; }

   private:
    std::string read_line() {
        std::string line;
        for (int c; (c = std::fgetc(from_)) != '\n';) {
            if (c == EOF) throw MonkeyFinding("the transport ended");
            line += static_cast<char>(c);
        }
        if (line.starts_with("finding ")) throw MonkeyFinding(line.substr(8));
        return line;
    }

    pid_t pid_ = 0;
    std::FILE* to_ = nullptr;
    std::FILE* from_ = nullptr;
    std::vector<std::string> observes_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr,
                     "usage: monkey SECONDS SEED -- TRANSPORT-COMMAND [ARGS...]\n"
                     "       monkey --script FILE -- TRANSPORT-COMMAND [ARGS...]\n");
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);  // a transport that has gone is told by the write
    const bool scripted = std::strcmp(argv[1], "--script") == 0;
    try {
        if (scripted) {
            std::ifstream script(argv[2]);
            if (!script) throw MonkeyFinding(std::string("cannot read ") + argv[2]);
            PipeTransport transport(argv + 4);
            return casino::testing::play_script(transport, script, argv[2]);
        }
        const int seconds = std::stoi(argv[1]);
        const auto seed = static_cast<unsigned>(std::stoul(argv[2]));
        PipeTransport transport(argv + 4);
        return casino::testing::run_monkey(transport, seconds, seed);
    } catch (const MonkeyFinding& finding) {
        std::printf("FAIL: %s (%s %s)\n", finding.what(), argv[1], argv[2]);
        return 1;
    } catch (const std::exception& bad) {
        std::fprintf(stderr, "monkey: %s\n", bad.what());
        return 2;
    }
}
