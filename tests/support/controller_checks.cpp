#include "tests/support/controller_checks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/run_process.h"

namespace quorrel::testing {
namespace {

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

// "NAME(a, b, c, ...)" after the line number and "N....." of rs274's report.
bool ReadCall(const std::string& line, std::string& name, std::vector<double>& numbers) {
  const std::size_t open = line.find('(');
  const std::size_t start = line.find("N..... ");
  if (open == std::string::npos || start == std::string::npos || start > open) return false;
  name = line.substr(start + 7, open - start - 7);
  numbers.clear();
  std::istringstream arguments(line.substr(open + 1));
  for (std::string argument; std::getline(arguments, argument, ',');) {
    numbers.push_back(std::strtod(argument.c_str(), nullptr));
  }
  return true;
}

// A word's number, or NaN when the line has no such word.
double WordValue(const std::string& line, char letter) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == letter && (i == 0 || line[i - 1] == ' ')) {
      return std::strtod(line.c_str() + i + 1, nullptr);
    }
  }
  return std::nan("");
}

}  // namespace

LinuxCncRun RunLinuxCnc(const std::string& program) {
  LinuxCncRun run;
  const std::string rs274 = FindOnPath("rs274");
  if (rs274.empty()) {
    run.error = "rs274 is not installed (Debian package linuxcnc-uspace)";
    return run;
  }
  // The interpreter keeps its parameters in a file of its own; tests running side by side each
  // give it one.
  const std::string stem =
      (std::filesystem::temp_directory_path() / ("quorrel-rs274-" + std::to_string(::getpid())))
          .string();
  std::ofstream(stem + ".ngc", std::ios::binary) << program;
  std::ofstream(stem + ".var").flush();  // present, so that it is updated in place
  {
    std::ofstream tools(stem + ".tbl");
    for (int tool = 1; tool <= 99; ++tool) {
      tools << "T" << tool << " P" << tool << " Z0 D1 ;\n";
    }
  }
  // Two interpreters at once share memory and can end in a bus error: one at a time, across the
  // test processes that CTest runs side by side.
  const int lock = ::open("/tmp/quorrel-rs274.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0666);
  ::flock(lock, LOCK_EX);
  const ProcessResult result =
      RunProcess(rs274, {"-t", stem + ".tbl", "-v", stem + ".var", "-g", stem + ".ngc"});
  ::close(lock);
  for (const char* ending : {".ngc", ".var", ".var.bak", ".tbl"}) {
    std::filesystem::remove(stem + ending);
  }

  std::istringstream lines(result.standardOutput + result.standardError);
  std::string name;
  std::vector<double> n;
  double feed = 0;
  for (std::string line; std::getline(lines, line);) {
    if (!ReadCall(line, name, n)) {
      if (line != "executing" && !line.empty()) run.error += line + "\n";
      continue;
    }
    if (name == "SET_FEED_RATE" && !n.empty()) {
      feed = n[0];
    } else if (name == "STRAIGHT_TRAVERSE" && n.size() >= 3) {
      run.moves.push_back({CanonMove::Kind::Traverse, n[0], n[1], n[2]});
    } else if (name == "STRAIGHT_FEED" && n.size() >= 3) {
      run.moves.push_back({CanonMove::Kind::Feed, n[0], n[1], n[2], 0, 0, 0, feed});
    } else if (name == "CHANGE_TOOL" && !n.empty()) {
      run.toolChanges.push_back(static_cast<int>(n[0]));
    } else if (name == "COMMENT") {
      const std::size_t open = line.find("(\""), close = line.rfind("\")");
      if (open != std::string::npos && close > open) {
        run.comments.emplace_back(run.moves.size(), line.substr(open + 2, close - open - 2));
      }
    } else if (name == "DWELL" && !n.empty()) {
      run.dwells.emplace_back(run.moves.size(), n[0]);
    } else if (name == "ARC_FEED" && n.size() >= 6) {
      run.moves.push_back(
          {CanonMove::Kind::Arc, n[0], n[1], n[5], n[2], n[3], static_cast<int>(n[4]), feed});
    }
  }
  if (result.exitStatus != 0 && run.error.empty()) run.error = "rs274 failed";
  return run;
}

std::vector<std::string> GrblRuleBreaks(const std::string& program, Units units) {
  std::vector<std::string> breaks;
  const double mm = units == Units::Inches ? 25.4 : 1.0;
  double x = 0, y = 0;
  bool feedSet = false;
  int number = 0;
  std::istringstream lines(program);
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const auto broken = [&](const std::string& rule) {
      breaks.push_back("line " + std::to_string(number) + " (" + line + "): " + rule);
    };
    std::string words;  // the line without its comment
    std::size_t counted = 0;
    int depth = 0;
    for (char c : line) {
      if (c == '(') ++depth;
      if (depth == 0) {
        words += c;
        if (c != ' ') ++counted;
      }
      if (c == ')' && depth > 0) --depth;
    }
    if (counted > 79) broken("longer than 79 characters (error 11)");
    if (words.find("G90.1") != std::string::npos) broken("G90.1 (error 20)");
    // No tool changer, no tool table, no drilling cycles.
    for (const char* unsupported : {"M6", "G43 ", "G81", "G82", "G83", "G73", "G98"}) {
      if ((" " + words + " ").find(std::string(" ") + unsupported) != std::string::npos) {
        broken(std::string(unsupported) + " (error 20)");
      }
    }
    if (words.starts_with("T")) broken("a tool word (error 20)");
    if (words.find('%') != std::string::npos) broken("% (error 1)");
    if (!std::isnan(WordValue(words, 'F'))) feedSet = true;
    const bool arc = words.starts_with("G2 ") || words.starts_with("G3 ");
    const bool motion = words.starts_with("G1 ") || arc;
    if (motion && !feedSet) broken("a feed move before any F (error 22)");
    const double toX = std::isnan(WordValue(words, 'X')) ? x : WordValue(words, 'X');
    const double toY = std::isnan(WordValue(words, 'Y')) ? y : WordValue(words, 'Y');
    if (arc) {
      const double i = WordValue(words, 'I'), j = WordValue(words, 'J');
      if (std::isnan(WordValue(words, 'X')) && std::isnan(WordValue(words, 'Y'))) {
        broken("an arc without an axis word (error 26)");
      }
      if (std::isnan(i) && std::isnan(j)) broken("an arc without an offset (error 35)");
      const double cx = x + (std::isnan(i) ? 0 : i), cy = y + (std::isnan(j) ? 0 : j);
      const double start = std::hypot(x - cx, y - cy) * mm;
      const double end = std::hypot(toX - cx, toY - cy) * mm;
      const double difference = std::fabs(end - start);
      if (difference > 0.005 && (difference > 0.5 || difference > 0.001 * start)) {
        broken("end radius differs from start radius (error 33)");
      }
    }
    if (words.starts_with("G0 ") || words.starts_with("G1 ") || arc) {
      x = toX;
      y = toY;
    }
  }
  return breaks;
}

}  // namespace quorrel::testing
