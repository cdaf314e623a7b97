// Number text and whole programs, at the largest ring counts a job can ask for.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "gcode/job/job_parameters.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/round3.h"
#include "gcode/output/byte_sink.h"
#include "gcode/output/program_destination.h"
#include "gcode/save/write_job.h"

namespace {

void BM_FormatCoord(benchmark::State& state, double value) {
  char text[quorrel::kMaxNumberTextLength];
  for (auto _ : state) {
    benchmark::DoNotOptimize(quorrel::FormatCoordTo(text, value));
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_FormatCoord, typical, -12.345);
BENCHMARK_CAPTURE(BM_FormatCoord, whole, 40.0);
BENCHMARK_CAPTURE(BM_FormatCoord, below_one, -0.0625);
BENCHMARK_CAPTURE(BM_FormatCoord, exact_half, 2.0005);
BENCHMARK_CAPTURE(BM_FormatCoord, fifteen_digits, 123456789012.3456);
BENCHMARK_CAPTURE(BM_FormatCoord, beyond_fifteen_digits, 98765432109876.54);
BENCHMARK_CAPTURE(BM_FormatCoord, huge, 1.5e300);

void BM_Round3(benchmark::State& state, double value) {
  for (auto _ : state) benchmark::DoNotOptimize(quorrel::Round3(value));
}
BENCHMARK_CAPTURE(BM_Round3, typical, 4.4955000877);
BENCHMARK_CAPTURE(BM_Round3, huge, 1.5e300);

// The largest legal ring count of each shape: a tool radius of 0.001 in a pocket just small
// enough that the count stays within 32767.
quorrel::FieldTexts LargestJob(quorrel::ShapeKind shape) {
  quorrel::FieldTexts texts;
  texts.ToolRadiusText = "0.001";
  texts.WidthText = texts.HeightText = "98.303";
  texts.RadiusText = shape == quorrel::ShapeKind::Circle ? "49.151" : "49";
  return texts;
}

void WriteLargest(benchmark::State& state, quorrel::ShapeKind shape, bool toFile) {
  quorrel::SaveRequest request;
  request.texts = LargestJob(shape);
  request.shape = shape;
  request.fill = true;
  const quorrel::JobParameters job = quorrel::MakeJobParameters(request.texts, shape, true);
  const std::string path = "quorrel-benchmark.din";
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string memory;
    quorrel::WriteJobProgram(request, job,
                             toFile ? quorrel::OpenProgramDestination(path)
                                    : std::make_unique<quorrel::StringSink>(memory));
    bytes = toFile ? 0 : memory.size();
  }
  if (toFile) std::remove(path.c_str());
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_LargestProgram_Memory(benchmark::State& state) {
  WriteLargest(state, static_cast<quorrel::ShapeKind>(state.range(0)), false);
}
void BM_LargestProgram_File(benchmark::State& state) {
  WriteLargest(state, static_cast<quorrel::ShapeKind>(state.range(0)), true);
}
// 0 rectangle, 1 circle, 2 rounded rectangle.
BENCHMARK(BM_LargestProgram_Memory)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestProgram_File)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
