#include "gcode/job/field_texts.h"

#include "gcode/job/field_table.h"

namespace quorrel {

FieldTexts::FieldTexts() {
  for (const FieldDescription& description : kJobFields) {
    this->*description.text = std::string(description.defaultText);
  }
}

}  // namespace quorrel
