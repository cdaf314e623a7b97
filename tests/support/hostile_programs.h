#pragma once

#include <string>
#include <vector>

namespace quorrel::testing {

/// A program that is not one Quorrel writes, and the line that gives it away.
struct HostileProgram {
  std::string name;
  std::string program;
  int line;
};

/// The window's default rectangle with one line changed: lines that would move the tool, or make
/// a controller act, where nobody asked.
inline std::vector<HostileProgram> HostilePrograms() {
  const std::vector<std::string> lines{"N10 ( rectangle H10 x W10 )",
                                       "N20 G0 X-4 Y-4 Z0",
                                       "N30 G1 Z-2",
                                       "N40 G1 X4",
                                       "N50 G1 Y4",
                                       "N60 G1 X-4",
                                       "N70 G1 Y-4",
                                       "N80 G1 Z0",
                                       "N90  M30"};
  const auto with = [&](int line, const std::string& text) {
    std::string program;
    for (int k = 1; k <= static_cast<int>(lines.size()); ++k) {
      program += (k == line ? text : lines[static_cast<std::size_t>(k - 1)]) + "\r\n";
    }
    return program;
  };
  const auto after = [&](const std::string& more) { return with(0, "") + more; };
  return {
      {"move hidden after the title", with(1, "N10 ( a ) G0 Z-50 ( b )"), 1},
      {"move hidden in the title", with(1, "N10 ( rectangle H10 ) G0 Z-50 ( x W10 )"), 1},
      {"log file opened", with(1, "N10 ( LOGOPEN,/tmp/x )"), 1},
      {"message shown", with(1, "N10 ( MSG,Remove the clamp )"), 1},
      {"debug message", with(1, "N10 ( DEBUG,#5220 )"), 1},
      {"printed", with(1, "N10 ( PRINT,x )"), 1},
      {"probe file opened", with(1, "N10 ( PROBEOPEN /tmp/p )"), 1},
      {"nested parentheses", with(1, "N10 ( rectangle H(10) x W10 )"), 1},
      {"unbalanced parenthesis", with(1, "N10 ( rectangle H10 x W10"), 1},
      {"second comment", with(4, "N40 ( rectangle H10 x W10 )"), 4},
      {"words after a comment", with(4, "N40 G1 X4 ( rectangle ) G0 Z-50"), 4},
      {"semicolon comment", with(4, "N40 G1 X4 ; G0 Z-50"), 4},
      {"percent line", "%\r\n" + with(0, ""), 1},
      {"percent after the end", after("%\r\n"), 10},
      {"words after M30", with(9, "N90  M30 G0 Z-50"), 9},
      {"line after M30", after("N100 G0 Z-50\r\n"), 10},
      {"letters for a number", with(4, "N40 G1 Xabc"), 4},
      {"word without a number", with(4, "N40 G1 X"), 4},
      {"word twice", with(4, "N40 G1 X4 X-50"), 4},
      {"lowercase words", with(4, "N40 g1 x4"), 4},
      {"feed word", with(4, "N40 G1 X4 F9000"), 4},
      {"plunge deeper than the depth", with(4, "N40 G1 Z-50"), 4},
      {"rapid among the cuts", with(4, "N40 G0 X4"), 4},
      {"clockwise arc", with(4, "N40 G2 X4 I0 J0"), 4},
      {"carriage return without line feed", with(4, "N40 G1 X4\rN45 G0 Z-50"), 4},
      {"NUL byte", with(4, std::string("N40 G1 X4\0 Z-50", 15)), 4},
      {"blank at the end", with(4, "N40 G1 X4 "), 4},
      {"line feed alone", "N10 ( rectangle H10 x W10 )\nN20 G0 X-4 Y-4 Z0\r\n", 1},
      {"line longer than GRBL reads", with(4, "N40 G1 X1" + std::string(100, '0')), 4},
  };
}

}  // namespace quorrel::testing
