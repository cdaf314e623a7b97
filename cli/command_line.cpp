#include "cli/command_line.h"

#include <utility>

#include "gcode/field_table.h"

namespace quorrel::cli {
namespace {

// What --help adds to a field's caption.
std::string_view HelpNote(Field field) {
  switch (field) {
    case Field::Radius:
      return ": the circle's, or the rounded corners'";
    case Field::Depth:
      return ", negative below the work surface";
    default:
      return "";
  }
}

constexpr std::array<std::pair<std::string_view, ShapeKind>, 3> kShapes{{
    {"rectangle", ShapeKind::Rectangle},
    {"circle", ShapeKind::Circle},
    {"rounded-rectangle", ShapeKind::RoundedRectangle},
}};

ShapeKind ShapeNamed(std::string_view name) {
  for (const auto& [shapeName, shape] : kShapes) {
    if (name == shapeName) return shape;
  }
  throw UsageError("unknown shape \"" + std::string(name) +
                   "\" (use rectangle, circle or rounded-rectangle)");
}

// Options that take a value accept "--name=VALUE" and "--name VALUE".
class ArgumentReader {
 public:
  explicit ArgumentReader(std::span<const std::string_view> arguments) : arguments_(arguments) {}

  bool AtEnd() const { return next_ >= arguments_.size(); }
  std::string_view Take() { return arguments_[next_++]; }

  // When `argument` is the option `name`, its value (from after "=" or the next argument).
  std::optional<std::string_view> ValueOf(std::string_view argument, std::string_view name) {
    if (!argument.starts_with(name)) return std::nullopt;
    const std::string_view rest = argument.substr(name.size());
    if (rest.starts_with('=')) return rest.substr(1);
    if (!rest.empty()) return std::nullopt;
    if (AtEnd()) throw UsageError("option " + std::string(name) + " needs a value");
    return Take();
  }

 private:
  std::span<const std::string_view> arguments_;
  std::size_t next_ = 0;
};

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string_view> arguments) {
  CommandLine command;
  ArgumentReader reader(arguments);
  while (!reader.AtEnd()) {
    const std::string_view argument = reader.Take();
    if (argument == "--help") {
      command.help = true;
    } else if (argument == "--version") {
      command.version = true;
    } else if (argument == "--fill") {
      command.request.fill = true;
    } else if (auto shape = reader.ValueOf(argument, "--shape")) {
      command.request.shape = ShapeNamed(*shape);
    } else if (auto output = argument == "-o" ? reader.ValueOf(argument, "-o")
                                              : reader.ValueOf(argument, "--output")) {
      if (output->empty()) throw UsageError("the output file needs a name");
      command.outputPath = std::string(*output);
    } else if (auto preview = reader.ValueOf(argument, "--preview")) {
      if (preview->empty()) throw UsageError("the preview file needs a name");
      command.previewPath = std::string(*preview);
    } else if (auto program = reader.ValueOf(argument, "--preview-of")) {
      if (program->empty()) throw UsageError("--preview-of needs the name of a program");
      command.previewOf = std::string(*program);
    } else {
      bool known = false;
      for (const FieldDescription& field : kFields) {
        if (auto text = reader.ValueOf(argument, field.option)) {
          command.request.texts.*field.text = std::string(*text);
          command.toolRadiusGiven |= field.field == Field::ToolRadius;
          known = true;
          break;
        }
      }
      if (!known) throw UsageError("unknown option \"" + std::string(argument) + "\"");
    }
  }
  if (command.previewOf && !command.previewPath) {
    throw UsageError("--preview-of needs --preview=FILE for the drawing");
  }
  if (command.previewOf && command.outputPath) {
    throw UsageError("--preview-of draws an existing program and writes none; drop --output");
  }
  if (command.previewPath == "-" && !command.outputPath && !command.previewOf) {
    throw UsageError("--preview=- needs the program in a file: give --output");
  }
  if (command.previewPath && command.previewPath == command.outputPath) {
    throw UsageError("the program and its preview need two different files");
  }
  return command;
}

std::string_view UsageSynopsis() {
  return "usage: quorrel-gcode [--shape=rectangle|circle|rounded-rectangle] [--fill]\n"
         "                     [--center-x=TEXT] [--center-y=TEXT] [--width=TEXT] "
         "[--height=TEXT]\n"
         "                     [--radius=TEXT] [--tool-radius=TEXT] [--depth=TEXT]\n"
         "                     [--output=FILE | -o FILE] [--preview=FILE.svg]\n"
         "                     [--preview-of=PROGRAM --preview=FILE.svg] [--help] [--version]\n";
}

std::string HelpText() {
  std::string fields;
  for (const FieldDescription& field : kFields) {
    std::string option = "  " + std::string(field.option) + "=TEXT";
    option.resize(22, ' ');
    fields += option + std::string(field.caption) + std::string(HelpNote(field.field)) +
              " (default " + std::string(field.defaultText) + ")\n";
  }
  return "quorrel-gcode writes the G-code program of a rectangle, a circle or a rounded\n"
         "rectangle, outline or filled pocket, exactly as the Quorrel window saves it.\n"
         "\n"
         "usage: quorrel-gcode [OPTION]...\n"
         "\n"
         "Options:\n"
         "  --shape=SHAPE       rectangle (default), circle or rounded-rectangle\n"
         "  --fill              clear the inside in rings instead of cutting the outline\n" +
         fields +
         "  -o, --output=FILE   write the program to FILE, replacing it only once complete;\n"
         "                      - or no --output for standard output\n"
         "  --preview=FILE      also draw the program as an SVG picture in FILE;\n"
         "                      - for standard output when the program goes to a file\n"
         "  --preview-of=PROGRAM  draw an existing program written by Quorrel instead;\n"
         "                      --tool-radius, if given, shades the area the cutter sweeps\n"
         "  --help              show this help and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "Each TEXT is read as the window reads a field: the number at its start, blanks\n"
         "ignored, \".\" as the decimal point; a text without a number counts as 0. Option\n"
         "values may also follow as the next argument (--depth -2). Lines end with CR LF.\n"
         "\n"
         "The decimal separator of the user's locale (LC_ALL, LC_NUMERIC, LANG) appears only in\n"
         "the rounded rectangle's title comment; coordinates always use \".\".\n"
         "\n"
         "Exit status:\n"
         "  0  the program was written\n"
         "  1  an arithmetic fault or a refused job; nothing is written;\n"
         "     or a program to draw that cannot be read, is empty or has no M30\n"
         "  2  a usage error; nothing was written\n"
         "  3  the output cannot be written; a file there keeps what it held\n";
}

}  // namespace quorrel::cli
