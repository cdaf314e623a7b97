#include "gcode/field_texts.h"

#include "gcode/field_table.h"

namespace quorrel {

FieldTexts::FieldTexts() {
  for (const FieldDescription& description : kFields) {
    this->*description.text = std::string(description.defaultText);
  }
}

}  // namespace quorrel
