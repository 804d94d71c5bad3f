// A whole print job as the payroll system starts it: 100,000 payslips
// (F_VP) loaded and exported as JSON to /dev/null, trace log off; records per
// second end to end, and the program's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "forms/layouts.h"
#include "kord/builder.h"

namespace {

constexpr int kRecords = 100000;
const std::string kDir = std::filesystem::temp_directory_path() / "tiskform-bench";

void MakeJob() {
  static bool done = false;
  if (done) return;
  done = true;
  std::filesystem::create_directories(kDir + "/data");
  std::filesystem::create_directories(kDir + "/home/RB");
  auto table = forms::CreateTable(*forms::FindTableLayout("F_VP"));
  kord::RecordBuilder b(*table);
  const int32_t memo = b.AddMemo("Konec v\xFDplatn\xEDho listu\r\nDal\x9A\xED \xF8\xE1\x64\x65k");
  for (int i = 0; i < kRecords; ++i) {
    b.Begin();
    b.SetNumber("Imes", 1);
    b.SetText("Rok", "2026");
    b.SetNumber("Mesic", 1 + i % 12);
    b.SetText("NazevMes", "listopad");
    b.SetText("NazevPod", "Mzdov\xE1 \xFA\xE8t\xE1rna s.r.o.");
    b.SetNumber("Osoba", i);
    b.SetNumber("PoradiPP", 1);
    b.SetText("Jmeno", "Jan");
    b.SetText("Prijmeni", "Nov\xE1k");
    b.SetText("Obec", "Brno");
    b.SetText("Ulice", "Dlouh\xE1");
    b.SetText("PSC", "60200");
    b.SetText("Narozen", "1.2.1980");
    b.SetNumber("HrubaMzdaR", 400000 + i);
    b.SetNumber("Hodiny", 160.5);
    b.SetNumber("Sazba", 250.25);
    b.SetNumber("HrubaMzda", 30000 + i % 1000 + 0.5);
    b.SetNumber("CistaMzda", 23000 + i % 700 + 0.25);
    b.SetNumber("KonecVL", memo);
    b.End();
  }
  std::ofstream(kDir + "/data/VP.DAT", std::ios::binary) << b.DataFile();
  std::ofstream(kDir + "/data/VP.TAT", std::ios::binary) << b.MemoFile();
}

void BM_JsonJob(benchmark::State& state) {
  MakeJob();
  long maxRss = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("TISKFORM_HOME", (kDir + "/home").c_str(), 1);
      const std::string data = kDir + "/data";
      ::execl(TISKFORM_EXE, "tiskform", "--device=json", "--output=/dev/null", "C1W", "F",
              data.c_str(), "VP.DAT", "SKSOUBOR", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    struct rusage ru {};
    ::wait4(pid, &status, 0, &ru);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("tiskform failed");
    maxRss = std::max(maxRss, ru.ru_maxrss);
  }
  state.counters["records/s"] =
      benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = maxRss / 1024.0;
}

BENCHMARK(BM_JsonJob)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
