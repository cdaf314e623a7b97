#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quorrel {

/// The words a setting or an option takes, each with what it stands for: {"mm",
/// Units::Millimetres}.
template <class Choice, std::size_t N>
using NamedChoices = std::array<std::pair<std::string_view, Choice>, N>;

/// The choice named `name`; nothing for a name that is not one of them.
template <class Choice, std::size_t N>
std::optional<Choice> ChoiceNamed(std::string_view name, const NamedChoices<Choice, N>& choices) {
  for (const auto& [choiceName, choice] : choices) {
    if (name == choiceName) return choice;
  }
  return std::nullopt;
}

/// The name of `choice`; empty for one that is not among them.
template <class Choice, std::size_t N>
std::string_view NameOfChoice(Choice choice, const NamedChoices<Choice, N>& choices) {
  for (const auto& [name, value] : choices) {
    if (value == choice) return name;
  }
  return {};
}

/// The names as a message lists them: "mm or inch", "din, linuxcnc or grbl".
template <class Choice, std::size_t N>
std::string ChoiceNames(const NamedChoices<Choice, N>& choices) {
  std::string names;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) names += i + 1 == N ? " or " : ", ";
    names += choices[i].first;
  }
  return names;
}

}  // namespace quorrel
