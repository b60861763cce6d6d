// Speed of the Intel HEX reader and writer, against srec_cat on the same files in the same run.
//
// Inputs (made in a temporary folder): the HEX file of a full 128 KB FLASH + 1 KB EEPROM
// image and of one four times larger (512 KB + 4 KB), and files of 5 MB and 20 MB whose
// data records all lie outside every memory (the reader's out-of-range path). Each is read
// by read_hex_file, the images are written by write_hex_file, and srec_cat converts each
// file (Intel HEX in, Intel HEX out). A summary after the table gives the throughput
// ratios to srec_cat and the time ratios of the 4x inputs to the 1x ones.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/hex_text.h"
#include "devices/memory_images.h"
#include "hexfile/file_access.h"
#include "hexfile/hex_checksum.h"
#include "hexfile/hex_reader.h"
#include "hexfile/hex_writer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tessaflex::devices::MemoryImages;

MemoryImages full_images(std::size_t flash, std::size_t eeprom) {
  std::mt19937 random(1);
  MemoryImages images;
  images.flash_image.resize(flash);
  images.eeprom_image.resize(eeprom);
  for (auto& b : images.flash_image) b = static_cast<std::uint8_t>(random());
  for (auto& b : images.eeprom_image) b = static_cast<std::uint8_t>(random());
  images.flash_image.back() = 0x5A;
  images.eeprom_image.back() = 0xA5;
  images.config_image.fill(0x0F);
  return images;
}

// About `bytes` of 16-byte data records at 0x1000000 and up: out of range for every model.
std::string out_of_range_text(std::size_t bytes) {
  std::string text;
  text.reserve(bytes + 64);
  std::uint32_t upper = 0x0100;
  while (text.size() < bytes) {
    const std::string base = "02000004" + tessaflex::core::word_to_hex(upper++);
    text += ":" + base + tessaflex::hexfile::hex_checksum(base) + "\r\n";
    for (std::uint32_t a = 0; a < 65536 && text.size() < bytes; a += 16) {
      const std::string body =
          "10" + tessaflex::core::word_to_hex(a) + "00" + "00112233445566778899AABBCCDDEEFF";
      text += ":" + body + tessaflex::hexfile::hex_checksum(body) + "\r\n";
    }
  }
  return text + ":00000001FF\r\n";
}

void write_file(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Runs srec_cat in.hex -Intel -o out.hex -Intel and waits for it; false when it fails.
bool run_srec_cat(const std::string& in, const std::string& out) {
  std::vector<std::string> words = {"srec_cat", in, "-Intel", "-o", out, "-Intel"};
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "srec_cat", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Input {
  std::string name;
  fs::path path;
  std::size_t size = 0;
  MemoryImages images;  // sized for reading (and, for image inputs, the images to write)
};

// Collects each benchmark's median real time per operation, and prints the table as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  CollectingReporter() : ConsoleReporter(OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // The median of the repetitions: one run disturbed by other work on the machine
      // does not decide a ratio.
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e3;  // ms to s
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const fs::path dir = fs::temp_directory_path() / ("tessaflex-hexfile-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);

  std::vector<Input> inputs;
  for (const auto& [name, flash, eeprom] :
       {std::tuple<const char*, std::size_t, std::size_t>{"image_1x_128K+1K", 131072, 1024},
        std::tuple<const char*, std::size_t, std::size_t>{"image_4x_512K+4K", 524288, 4096}}) {
    Input input{name, dir / (std::string(name) + ".hex"), 0, full_images(flash, eeprom)};
    write_file(input.path, tessaflex::hexfile::hex_file_text(input.images));
    inputs.push_back(std::move(input));
  }
  for (const auto& [name, bytes] : {std::pair<const char*, std::size_t>{"out_of_range_1x_5MB", 5u << 20},
                                    std::pair<const char*, std::size_t>{"out_of_range_4x_20MB", 20u << 20}}) {
    Input input{name, dir / (std::string(name) + ".hex"), 0, {}};
    input.images.flash_image.assign(131072, 0xFF);
    input.images.eeprom_image.assign(1024, 0xFF);
    write_file(input.path, out_of_range_text(bytes));
    inputs.push_back(std::move(input));
  }
  for (Input& input : inputs) input.size = fs::file_size(input.path);

  tessaflex::hexfile::LocalFileAccess files;
  for (Input& input : inputs) {
    benchmark::RegisterBenchmark(
        ("read/" + input.name).c_str(),
        [&input, &files](benchmark::State& state) {
          MemoryImages images = input.images;
          std::int32_t end = 0;
          for (auto _ : state) {
            const auto result = tessaflex::hexfile::read_hex_file(input.path.string(), files, images, end);
            if (!result.accepted()) state.SkipWithError("not accepted");
            benchmark::DoNotOptimize(images.flash_image.data());
          }
          state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size));
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    if (input.name.rfind("image", 0) == 0) {
      benchmark::RegisterBenchmark(
          ("write/" + input.name).c_str(),
          [&input, &files, dir](benchmark::State& state) {
            const std::string out = (dir / "written.hex").string();
            for (auto _ : state) {
              if (tessaflex::hexfile::write_hex_file(out, input.images, files).failed())
                state.SkipWithError("write failed");
            }
            state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size));
          })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
    }
    benchmark::RegisterBenchmark(
        ("srec_cat/" + input.name).c_str(),
        [&input, dir](benchmark::State& state) {
          const std::string out = (dir / "srec_cat_out.hex").string();
          for (auto _ : state) {
            if (!run_srec_cat(input.path.string(), out))
              state.SkipWithError("srec_cat failed (apt-get install srecord)");
          }
          state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size));
        })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }

  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& t = reporter.seconds;
  auto has = [&](const std::string& name) { return t.count(name) > 0; };
  std::printf("\nSummary (real time per operation; ratio = srec_cat time / ours, the throughput ratio)\n");
  bool goals_met = true;
  int compared = 0;
  for (const Input& input : inputs) {
    const std::string srec = "srec_cat/" + input.name, read = "read/" + input.name,
                      write = "write/" + input.name;
    if (!has(srec) || !has(read)) continue;
    std::printf("  %-22s %9.0f KB  srec_cat %8.2f ms  read %7.2f ms (%6.1fx)", input.name.c_str(),
                static_cast<double>(input.size) / 1024.0, t.at(srec) * 1e3, t.at(read) * 1e3,
                t.at(srec) / t.at(read));
    goals_met = goals_met && t.at(srec) / t.at(read) >= 2.0;
    ++compared;
    if (has(write)) {
      const double both = t.at(read) + t.at(write);
      std::printf("  write %7.2f ms  read+write %6.1fx", t.at(write) * 1e3, t.at(srec) / both);
      goals_met = goals_met && t.at(srec) / both >= 2.0;
    }
    std::printf("\n");
  }
  std::printf("Scaling (time of the 4x input / time of the 1x input; at most 4.5 wanted)\n");
  for (const char* op : {"read", "write"}) {
    for (const auto& [one, four] :
         {std::pair<const char*, const char*>{"image_1x_128K+1K", "image_4x_512K+4K"},
          std::pair<const char*, const char*>{"out_of_range_1x_5MB", "out_of_range_4x_20MB"}}) {
      const std::string a = std::string(op) + "/" + one, b = std::string(op) + "/" + four;
      if (!has(a) || !has(b)) continue;
      const double ratio = t.at(b) / t.at(a);
      std::printf("  %-6s %-22s -> %-22s %5.2fx\n", op, one, four, ratio);
      goals_met = goals_met && ratio <= 4.5;
      ++compared;
    }
  }
  std::printf("Goals (>= 2x srec_cat, 4x input <= 4.5x time): %s\n", compared == 0 ? "not measured"
                                                                     : goals_met   ? "met"
                                                                                   : "NOT met");
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return 0;
}
