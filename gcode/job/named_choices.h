#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
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

/// Words as a message lists them: "a, b or c" with `lastJoin` " or ", "a and b" with " and ".
inline std::string ListedWords(std::span<const std::string_view> words, std::string_view lastJoin) {
  std::string listed;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) listed += i + 1 == words.size() ? lastJoin : ", ";
    listed += words[i];
  }
  return listed;
}

/// The names as a message lists them: "mm or inch", "din, linuxcnc or grbl".
template <class Choice, std::size_t N>
std::string ChoiceNames(const NamedChoices<Choice, N>& choices) {
  std::array<std::string_view, N> names;
  for (std::size_t i = 0; i < N; ++i) names[i] = choices[i].first;
  return ListedWords(names, " or ");
}

}  // namespace quorrel
