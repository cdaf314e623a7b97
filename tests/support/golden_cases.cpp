#include "tests/support/golden_cases.h"

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gcode/job/field_table.h"

namespace quorrel::testing {

std::string TestDataPath(const std::string& relative) {
  return std::string(QUORREL_TEST_DATA) + "/" + relative;
}

std::string GcodeToolPath() {
  return QUORREL_GCODE_BINARY;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// "\n" in a cell stands for a line feed.
std::string Unescaped(const std::string& cell) {
  std::string text;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] == '\\' && i + 1 < cell.size() && cell[i + 1] == 'n') {
      text += '\n';
      ++i;
    } else {
      text += cell[i];
    }
  }
  return text;
}

std::string GoldenExtension(const GoldenCase& golden) {
  for (const std::string& argument : golden.arguments) {
    if (argument == "--dialect=linuxcnc") return ".ngc";
    if (argument == "--dialect=grbl") return ".nc";
  }
  return ".din";
}

SaveRequest RequestOf(const GoldenCase& golden) {
  SaveRequest request;
  for (const std::string& argument : golden.arguments) {
    const std::string name = argument.substr(0, argument.find('='));
    const std::string value = argument.substr(std::min(argument.size(), name.size() + 1));
    if (argument == "--fill") request.fill = true;
    if (name == "--shape") {
      request.shape = value == "circle"              ? ShapeKind::Circle
                      : value == "rounded-rectangle" ? ShapeKind::RoundedRectangle
                                                     : ShapeKind::Rectangle;
    }
    for (const FieldDescription& field : kFields) {
      if (name == field.option) request.texts.*field.text = value;
    }
  }
  return request;
}

std::vector<GoldenCase> LoadGoldenCases() {
  std::vector<GoldenCase> cases;
  std::ifstream table(TestDataPath("golden_cases.tsv"));
  std::string row;
  while (std::getline(table, row)) {
    if (row.empty() || row[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream cells(row);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(Unescaped(cell));
    GoldenCase golden;
    golden.name = fields.at(0);
    golden.exitStatus = std::stoi(fields.at(1));
    golden.arguments.assign(fields.begin() + 2, fields.end());
    // A job file stands beside the table.
    for (std::string& argument : golden.arguments) {
      if (argument.starts_with("--job=")) argument = "--job=" + TestDataPath(argument.substr(6));
    }
    const std::string expected = TestDataPath("golden/" + golden.name + GoldenExtension(golden));
    golden.found = std::filesystem::is_regular_file(expected);
    golden.expectedProgram = ReadFileBytes(expected);
    cases.push_back(std::move(golden));
  }
  return cases;
}

}  // namespace quorrel::testing
