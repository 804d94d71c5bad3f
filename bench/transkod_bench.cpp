// Converts the same 128 MB Windows-1250 file with transkod and with iconv,
// as whole programs, and reports the time ratio and transkod's peak memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const std::string kDir = std::filesystem::temp_directory_path() / "transkod-bench";
const std::string kSource = kDir + "/source.txt";
constexpr size_t kSize = 128u << 20;

void MakeSource() {
  if (std::filesystem::exists(kSource) && std::filesystem::file_size(kSource) == kSize) return;
  std::filesystem::create_directories(kDir);
  // Czech-looking text: mostly ASCII, about one accented letter in eight.
  std::mt19937 rng(42);
  const std::string accented = "\xE1\xE8\xEF\xE9\xEC\xED\xF2\xF3\xF8\x9A\x9D\xFA\xF9\xFD\x9E";
  std::string block;
  while (block.size() < (1u << 20)) {
    const int len = 20 + static_cast<int>(rng() % 60);
    for (int i = 0; i < len; ++i) {
      const unsigned r = rng() % 16;
      block += r == 0   ? accented[rng() % accented.size()]
               : r == 1 ? ' '
                        : static_cast<char>('a' + rng() % 26);
    }
    block += "\r\n";
  }
  block.resize(1u << 20);
  std::ofstream out(kSource, std::ios::binary);
  for (size_t i = 0; i < kSize / block.size(); ++i) out << block;
}

struct RunResult {
  double seconds;
  double cpuSeconds;  // user + system time of the child
  long maxRssKb;
};

RunResult RunCommand(const char* exe, std::vector<const char*> args, const char* stdoutPath) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (stdoutPath) {
      const int fd = ::open(stdoutPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(fd, 1);
    }
    args.insert(args.begin(), exe);
    args.push_back(nullptr);
    ::execvp(exe, const_cast<char* const*>(args.data()));
    ::_exit(127);
  }
  int status = 0;
  struct rusage ru {};
  ::wait4(pid, &status, 0, &ru);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", exe);
  const double cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                     static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
  return {s, cpu, ru.ru_maxrss};
}

// Wall clock includes transkod's fsync before the rename; iconv's output only
// reaches the page cache. CPU time compares the conversions themselves.
double gTranskod = 0, gIconv = 0, gTranskodCpu = 0, gIconvCpu = 0;
long gTranskodRss = 0;

void BM_Transkod(benchmark::State& state) {
  MakeSource();
  const std::string work = kDir + "/work.txt";
  for (auto _ : state) {
    std::filesystem::copy_file(kSource, work, std::filesystem::copy_options::overwrite_existing);
    const RunResult r = RunCommand(TRANSKOD_EXE, {work.c_str()}, nullptr);
    state.SetIterationTime(r.seconds);
    gTranskod = r.seconds;
    gTranskodCpu = r.cpuSeconds;
    gTranskodRss = std::max(gTranskodRss, r.maxRssKb);
  }
  state.counters["MB/s"] = kSize / 1e6 / gTranskod;
  state.counters["peak_MB"] = gTranskodRss / 1024.0;
}

void BM_Iconv(benchmark::State& state) {
  MakeSource();
  const std::string out = kDir + "/iconv.txt";
  for (auto _ : state) {
    const RunResult r =
        RunCommand("iconv", {"-f", "CP1250", "-t", "UTF-8", kSource.c_str()}, out.c_str());
    state.SetIterationTime(r.seconds);
    gIconv = r.seconds;
    gIconvCpu = r.cpuSeconds;
  }
  state.counters["MB/s"] = kSize / 1e6 / gIconv;
  if (gTranskod > 0) state.counters["iconv/transkod"] = gIconv / gTranskod;
  if (gTranskodCpu > 0) state.counters["cpu_iconv/transkod"] = gIconvCpu / gTranskodCpu;
}

BENCHMARK(BM_Transkod)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Iconv)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
