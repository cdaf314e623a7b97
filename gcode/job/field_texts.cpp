#include "gcode/job/field_texts.h"

#include "gcode/job/field_table.h"

namespace quorrel {

FieldTexts::FieldTexts() {
  for (const FieldDescription& description : kFields) {
    this->*description.text = std::string(description.defaultText);
  }
}

}  // namespace quorrel
