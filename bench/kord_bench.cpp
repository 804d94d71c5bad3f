// The Kord reader on a generated 100,000-record F_VP file: open (with the
// live-record count), the backward walk the print run does, the same walk
// decoding every field, and a plain sequential read of the file for scale.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "forms/layouts.h"
#include "kord/builder.h"
#include "kord/table.h"

namespace {

constexpr int kRecords = 100000;
const std::string kDir = std::filesystem::temp_directory_path() / "kord-bench";
const std::string kData = kDir + "/VP.DAT";

void MakeFile() {
  static bool done = false;
  if (done) return;
  done = true;
  std::filesystem::create_directories(kDir);
  auto table = forms::CreateTable(*forms::FindTableLayout("F_VP"));
  kord::RecordBuilder b(*table);
  for (int i = 0; i < kRecords; ++i) {
    b.Begin();
    b.SetText("Rok", "2026");
    b.SetNumber("Mesic", 1 + i % 12);
    b.SetNumber("Osoba", i);
    b.SetText("Jmeno", "Jan");
    b.SetText("Prijmeni", "Nov\xE1k");
    b.SetText("Obec", "Brno");
    b.SetNumber("HrubaMzda", 30000 + i % 1000 + 0.5);
    b.SetNumber("CistaMzda", 23000 + i % 700 + 0.25);
    b.SetNumber("Imes", i % 2);
    b.End();
  }
  std::ofstream(kData, std::ios::binary) << b.DataFile();
  std::ofstream(kDir + "/VP.TAT", std::ios::binary) << b.MemoFile();
}

// 20,000 employment notices (F_X113, indexed, 4121 bytes a record), every
// tenth record dead: opening reads the flag byte of every record.
const std::string kX113 = kDir + "/X113.DAT";
constexpr int kX113Records = 20000;

void MakeX113() {
  static bool done = false;
  if (done) return;
  done = true;
  std::filesystem::create_directories(kDir);
  auto table = forms::CreateTable(*forms::FindTableLayout("F_X113"));
  kord::RecordBuilder b(*table);
  for (int i = 0; i < kX113Records; ++i) {
    b.Begin(i % 10 != 0);
    b.SetText("C_Name_Sur", "Nov\xE1k");
    b.End();
  }
  std::ofstream(kX113, std::ios::binary) << b.DataFile();
}

void ReadWhole(const std::string& path) {
  static std::vector<char> buf(1 << 20);
  const int fd = ::open(path.c_str(), O_RDONLY);
  size_t total = 0;
  for (ssize_t n; (n = ::read(fd, buf.data(), buf.size())) > 0;) total += static_cast<size_t>(n);
  ::close(fd);
  benchmark::DoNotOptimize(total);
}

void BM_SequentialReadX113(benchmark::State& state) {
  MakeX113();
  for (auto _ : state) ReadWhole(kX113);
  state.counters["records/s"] =
      benchmark::Counter(kX113Records, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OpenIndexedX113(benchmark::State& state) {
  MakeX113();
  for (auto _ : state) {
    auto table = forms::CreateTable(*forms::FindTableLayout("F_X113"));
    table->SetTableName(kX113);
    table->Open();
    if (table->RecordCount() != kX113Records - kX113Records / 10)
      state.SkipWithError("wrong count");
  }
  state.counters["records/s"] =
      benchmark::Counter(kX113Records, benchmark::Counter::kIsIterationInvariantRate);
}

std::unique_ptr<kord::TKordTable> OpenVp() {
  auto table = forms::CreateTable(*forms::FindTableLayout("F_VP"));
  table->SetTableName(kData);
  table->Open();
  return table;
}

void BM_SequentialRead(benchmark::State& state) {
  MakeFile();
  std::vector<char> buf(1 << 20);
  for (auto _ : state) {
    const int fd = ::open(kData.c_str(), O_RDONLY);
    size_t total = 0;
    for (ssize_t n; (n = ::read(fd, buf.data(), buf.size())) > 0;) total += static_cast<size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(total);
  }
  state.counters["records/s"] =
      benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Open(benchmark::State& state) {
  MakeFile();
  for (auto _ : state) {
    auto table = OpenVp();
    benchmark::DoNotOptimize(table->RecordCount());
  }
  state.counters["records/s"] =
      benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_BackwardWalk(benchmark::State& state) {
  MakeFile();
  auto table = OpenVp();
  const bool decode = state.range(0) != 0;
  for (auto _ : state) {
    table->Last();
    for (int i = 0; i < table->RecordCount(); ++i) {
      if (i) table->Prior();
      if (decode)
        for (int f = 0; f < table->Fields().Count(); ++f)
          benchmark::DoNotOptimize(table->Fields().Fields(f)->AsVariant());
    }
  }
  state.counters["records/s"] =
      benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_SequentialRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SequentialReadX113)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenIndexedX113)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackwardWalk)->Arg(0)->Arg(1)->ArgName("decode")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
