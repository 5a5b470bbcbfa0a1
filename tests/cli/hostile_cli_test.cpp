// SPDX-License-Identifier: MIT
// Runs the built lenstally program with a few hundred hostile command lines, each with --json
// among its arguments, and checks the exit contract of every run: status 0, 1 or 2; output on
// stdout only for 0 and 1 (the results object, or the help or version text); for 2 nothing on
// stdout and exactly one line on stderr. No run may crash, hang or print sanitizer reports.

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    bool exited = false; // false: killed by a signal or by the time limit
    int status = -1;
    std::string out;
    std::string err;
};

constexpr auto kTimeLimit = std::chrono::seconds(20);

// Starts `lenstally args...` with stdin closed and collects stdout and stderr until it exits.
Run runLenstally(const std::vector<std::string>& args) {
    std::array<int, 2> outPipe{};
    std::array<int, 2> errPipe{};
    if (pipe(outPipe.data()) != 0 || pipe(errPipe.data()) != 0) {
        ADD_FAILURE() << "pipe: " << errno;
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    std::string program = LENSTALLY_EXE;
    std::vector<char*> argv{program.data()};
    std::vector<std::string> copies = args;
    for (std::string& a : copies) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    Run run;
    if (spawned != 0) {
        ADD_FAILURE() << "posix_spawn " << program << ": " << spawned;
        close(outPipe[0]);
        close(errPipe[0]);
        return run;
    }
    std::array<pollfd, 2> fds{pollfd{outPipe[0], POLLIN, 0}, pollfd{errPipe[0], POLLIN, 0}};
    std::array<std::string*, 2> sinks{&run.out, &run.err};
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    bool timedOut = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) {
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            std::array<char, 4096> buf{};
            const ssize_t n = read(fds[i].fd, buf.data(), buf.size());
            if (n > 0) {
                sinks[i]->append(buf.data(), static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    for (const pollfd& p : fds) {
        if (p.fd >= 0) {
            close(p.fd);
        }
    }
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    run.exited = !timedOut && WIFEXITED(wstatus);
    run.status = run.exited ? WEXITSTATUS(wstatus) : -1;
    return run;
}

// Shows an argument vector with every byte that is not printable ASCII escaped.
std::string shown(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args) {
        text += " '";
        for (std::size_t i = 0; i < a.size() && i < 80; ++i) {
            const auto c = static_cast<unsigned char>(a[i]);
            if (c >= 0x20 && c < 0x7f) {
                text.push_back(static_cast<char>(c));
            } else {
                constexpr std::string_view hex = "0123456789abcdef";
                text += "\\x";
                text.push_back(hex[c >> 4]);
                text.push_back(hex[c & 0xf]);
            }
        }
        if (a.size() > 80) {
            text += "...(" + std::to_string(a.size()) + " bytes)";
        }
        text += "'";
    }
    return text;
}

bool isHelpOrVersion(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a.starts_with("-h") || a == "--version") {
            return true;
        }
    }
    return false;
}

// nlohmann's serialiser refuses invalid UTF-8 (overlong forms, surrogates, code points above
// U+10FFFF, cut sequences) when asked to be strict.
bool isValidUtf8(const std::string& text) {
    try {
        (void)nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

void checkContract(const std::vector<std::string>& args, const Run& run) {
    SCOPED_TRACE("lenstally" + shown(args));
    ASSERT_TRUE(run.exited) << "crashed or hung; stderr: " << run.err;
    ASSERT_GE(run.status, 0);
    ASSERT_LE(run.status, 2);
    if (run.status == 2) {
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.back(), '\n');
        EXPECT_TRUE(run.err.starts_with("lenstally: ")) << run.err;
        // Whatever bytes it quotes, the message is valid UTF-8, as the browser edition's is.
        EXPECT_TRUE(isValidUtf8(run.err)) << run.err;
        return;
    }
    EXPECT_EQ(run.err, "");
    ASSERT_FALSE(run.out.empty());
    // An option that needs a value takes the next argument whatever it is, so "--days --json"
    // types "--json" into the days box and the results come out for people. Either way, status 1
    // says exactly that one of the three captions reads "Out of range".
    std::vector<std::string> captions;
    if (run.out.front() == '{') {
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
        const nlohmann::json j = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(j.is_object()) << run.out;
        for (const char* key : {"lbPerBandwidth", "lbTotalBandwidth", "lbStorageSize"}) {
            ASSERT_TRUE(j.contains(key) && j[key].is_string()) << run.out;
            captions.push_back(j[key].get<std::string>());
        }
    } else if (run.out.starts_with("Average Frame Size: ")) {
        for (const char* label :
             {"\nTotal Bandwidth Required: ", "\nPer Camera: ", "\nEstimated Storage: "}) {
            const std::size_t at = run.out.find(label);
            ASSERT_NE(at, std::string::npos) << run.out;
            const std::size_t from = at + std::string_view(label).size();
            captions.push_back(run.out.substr(from, run.out.find('\n', from) - from));
        }
    } else {
        EXPECT_TRUE(isHelpOrVersion(args)) << run.out;
        EXPECT_EQ(run.status, 0);
        return;
    }
    const bool outOfRange =
        std::find(captions.begin(), captions.end(), "Out of range") != captions.end();
    EXPECT_EQ(run.status, outOfRange ? 1 : 0) << run.out;
}

// ---- Hostile command lines ----------------------------------------------------------------------

const std::vector<std::string> kOptions{
    "--stream", "--resolution", "--quality", "--bitrate-mode", "--fps",  "--gop",
    "--hours",  "--frame-size", "--cameras", "--bitrate",      "--days",
};
const std::vector<std::string> kGoodValues{"mjpeg", "h264", "mpeg4", "cbr", "vbr", "4cif",
                                           "3mp",   "low",  "1",     "30",  "24",  "7.5"};
const std::vector<std::string> kStrayWords{"--state",    "--json", "--bogus",  "-x",
                                           "--",         "-",      "--json=1", "--stream=h264",
                                           "--cameras=", "-h"};

struct HostileFamily {
    const char* name;
    std::vector<std::string> values; // the hostile values this family types or passes
    friend void PrintTo(const HostileFamily& f, std::ostream* os) { *os << f.name; }
};

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::vector<HostileFamily> families() {
    return {
        {"empty_values", {"", " ", "\t", "\n", "  \n\t "}},
        {"huge_numbers",
         {"1e308", "1e309", "-1e308", "1.7976931348623157e308", "1.79769313486232E+308",
          repeated("9", 400), std::string("1").append(1000, '0'), "4294967296", "65536", "32768",
          "-32769", "99999999999999999999", "1e99999999999999999999", "1d400", "-4.9e-324",
          "1e-400"}},
        {"nan_looking", {"NaN",  "nan", "-nan",  "inf", "-inf",  "Infinity", "-Infinity",
                         "1e",   "e5",  ".",     "-",   "+",     "+-1",      "0x10",
                         "&H10", "1,5", "1.2.3", "--1", "1e+-5", "1#INF",    "1.#IND"}},
        {"control_characters",
         {std::string("\x01", 1), "1\n2", "\t7\t", "\r", "\x1b[31m5", "\x7f", "7\b", "\v\f",
          "4\r\n", std::string("\x1c\x1d\x1e\x1f", 4)}},
        {"invalid_utf8",
         {"\xff", "\xc3\x28", "\xe2\x82", "\xed\xa0\x80", "\xf8\x88\x80\x80\x80", "caf\xc3\xa9",
          "\xc0\xaf",
          "1\xfe"
          "2",
          "\xef\xbb\xbf"
          "7",
          "\xf4\x90\x80\x80"}},
        {"very_long_texts",
         {repeated("7", 100000), repeated("a", 100000), repeated(" ", 50000) + "5",
          repeated("1 ", 30000), "0." + repeated("0", 5000) + "1", repeated("\xff", 20000)}},
    };
}

// One command line: a few actions with values drawn from the family, good values and stray
// words, some options repeated or left without a value, and --json at a random place.
std::vector<std::string> hostileLine(const HostileFamily& family, std::mt19937& random) {
    auto below = [&random](std::size_t n) {
        return static_cast<std::size_t>(random() % n);
    };
    std::vector<std::string> args;
    const std::size_t actions = 1 + below(6);
    for (std::size_t i = 0; i < actions; ++i) {
        const std::string& option = kOptions[below(kOptions.size())];
        const std::size_t roll = below(10);
        if (roll < 6) {
            args.push_back(option);
            args.push_back(family.values[below(family.values.size())]);
        } else if (roll < 7) {
            args.push_back(option + "=" + family.values[below(family.values.size())]);
        } else if (roll < 8) {
            args.push_back(option);
            args.push_back(kGoodValues[below(kGoodValues.size())]);
        } else if (roll < 9) {
            args.push_back(kStrayWords[below(kStrayWords.size())]);
        } else {
            args.push_back(option); // possibly without its value
        }
    }
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(below(args.size() + 1)), "--json");
    return args;
}

constexpr int kLinesPerFamily = 50;

class HostileCommandLine : public testing::TestWithParam<HostileFamily> {};

TEST_P(HostileCommandLine, keeps_the_exit_contract) {
    const HostileFamily& family = GetParam();
    std::mt19937 random(20261208u + static_cast<unsigned>(std::string_view(family.name).size()));
    int failures = 0;
    for (int i = 0; i < kLinesPerFamily && failures < 5; ++i) {
        const std::vector<std::string> args = hostileLine(family, random);
        checkContract(args, runLenstally(args));
        failures += HasFailure() ? 1 : 0;
    }
}

// Every hostile value also stands alone, right after each kind of option.
TEST_P(HostileCommandLine, each_value_after_each_kind_of_option_keeps_the_exit_contract) {
    for (const std::string& value : GetParam().values) {
        for (const char* option : {"--stream", "--fps", "--days"}) {
            const std::vector<std::string> args{option, value, "--json"};
            checkContract(args, runLenstally(args));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Families, HostileCommandLine, testing::ValuesIn(families()),
                         [](const testing::TestParamInfo<HostileFamily>& p) {
                             return std::string(p.param.name);
                         });

// Repeated and conflicting options, spelled out.
TEST(HostileCommandLine, repeated_and_conflicting_options_keep_the_exit_contract) {
    std::vector<std::string> manyDays;
    for (int i = 0; i < 500; ++i) {
        manyDays.push_back("--days");
        manyDays.push_back(std::to_string(i));
    }
    manyDays.push_back("--json");
    const std::vector<std::vector<std::string>> lines{
        {"--stream", "mjpeg", "--stream", "h264", "--stream", "mpeg4", "--json"},
        {"--json", "--json", "--json"},
        {"--json", "--state"},
        {"--state", "--stream", "h264", "--json"},
        {"--bitrate-mode", "cbr", "--bitrate-mode", "vbr", "--gop", "1", "--gop", "30", "--json"},
        {"--json", "--help", "--bogus"},
        {"--version", "--json", "--fps", "0"},
        {"--fps", "--json"},
        {"--json", "--fps"},
        {"--cameras", "--days", "--json"},
        manyDays,
    };
    for (const std::vector<std::string>& args : lines) {
        checkContract(args, runLenstally(args));
    }
}

} // namespace
