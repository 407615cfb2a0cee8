#include "api/json_pointer.h"

#include <algorithm>

namespace tolvane {
namespace {

int HexDigit(char AChar) {
  if (AChar >= '0' && AChar <= '9') return AChar - '0';
  if (AChar >= 'a' && AChar <= 'f') return AChar - 'a' + 10;
  if (AChar >= 'A' && AChar <= 'F') return AChar - 'A' + 10;
  return -1;
}

// A URI scheme such as http: or file: at the start.
bool HasUriScheme(std::string_view AText) {
  const size_t colon = AText.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;  // "C:" is a drive
  return std::all_of(AText.begin(), AText.begin() + static_cast<std::ptrdiff_t>(colon),
                     [](char c) {
                       return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
                     });
}

// A decimal array index without leading zeros.
std::optional<size_t> ElementIndex(std::string_view AToken) {
  if (AToken.empty() || AToken.size() > 9 || (AToken.size() > 1 && AToken[0] == '0')) {
    return std::nullopt;
  }
  size_t index = 0;
  for (const char c : AToken) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + static_cast<size_t>(c - '0');
  }
  return index;
}

}  // namespace

ParsedReference ParseReference(std::string_view AReference) {
  ParsedReference parsed;
  const size_t hash = AReference.find('#');
  parsed.file = std::string(AReference.substr(0, hash));
  if (HasUriScheme(parsed.file) || parsed.file.rfind("//", 0) == 0) {
    parsed.error = "reference to a URL";
    return parsed;
  }
  if (hash == std::string_view::npos) {
    if (parsed.file.empty()) parsed.error = "empty reference";
    return parsed;
  }
  std::string fragment;
  const std::string_view raw = AReference.substr(hash + 1);
  fragment.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '%') {
      // Up to the next escape as one run.
      const size_t escape = std::min(raw.find('%', i), raw.size());
      fragment.append(raw.substr(i, escape - i));
      i = escape - 1;
      continue;
    }
    const int high = i + 2 < raw.size() ? HexDigit(raw[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(raw[i + 2]) : -1;
    if (low < 0) {
      parsed.error = "malformed %-escape in " + std::string(AReference);
      return parsed;
    }
    fragment += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (fragment.empty()) return parsed;
  if (fragment[0] != '/') {
    parsed.error = std::string(AReference) + " is not a JSON pointer";
    return parsed;
  }
  std::string token;
  for (size_t i = 1; i <= fragment.size(); ++i) {
    if (i == fragment.size() || fragment[i] == '/') {
      parsed.tokens.push_back(std::move(token));
      token.clear();
    } else if (fragment[i] == '~') {
      const char next = i + 1 < fragment.size() ? fragment[i + 1] : '\0';
      if (next != '0' && next != '1') {
        parsed.error = "malformed ~-escape in " + std::string(AReference);
        parsed.tokens.clear();
        return parsed;
      }
      token += next == '0' ? '~' : '/';
      ++i;
    } else {
      // Up to the next separator or escape as one run (find_first_of would
      // search the two characters once for every character of the run).
      size_t end = i;
      while (end < fragment.size() && fragment[end] != '/' && fragment[end] != '~') ++end;
      token.append(fragment, i, end - i);
      i = end - 1;
    }
  }
  return parsed;
}

PointerIndex::PointerIndex(JsonValue ARoot) {
  nodes_.push_back(Node{ARoot, kRoot, {}, -1, false});
}

std::optional<uint32_t> PointerIndex::Find(const std::vector<std::string>& ATokens) {
  uint32_t node = kRoot;
  for (const std::string& token : ATokens) {
    const std::optional<uint32_t> child = Child(node, token);
    if (!child) return std::nullopt;
    node = *child;
  }
  return node;
}

std::optional<uint32_t> PointerIndex::Child(uint32_t AParent, std::string_view AKey) {
  if (!nodes_[AParent].indexed) BuildIndex(AParent);
  const JsonValue parent = nodes_[AParent].value;
  if (parent.IsObject()) {
    auto& members = members_[AParent];
    const auto found = members.find(AKey);
    if (found == members.end()) return std::nullopt;
    return NodeOf(AParent, found->second, found->first, -1);
  }
  if (parent.IsArray()) {
    auto& elements = elements_[AParent];
    const std::optional<size_t> index = ElementIndex(AKey);
    if (!index || *index >= elements.size()) return std::nullopt;
    return NodeOf(AParent, elements[*index], {}, static_cast<int64_t>(*index));
  }
  return std::nullopt;
}

void PointerIndex::BuildIndex(uint32_t ANode) {
  nodes_[ANode].indexed = true;
  const JsonValue value = nodes_[ANode].value;
  if (value.IsObject()) {
    auto& members = members_[ANode];
    members.reserve(value.Count());
    // The first member of a key wins, as FindMember finds it.
    for (const JsonMember member : value.Members()) members.try_emplace(member.key, Slot{member.value()});
  } else if (value.IsArray()) {
    auto& elements = elements_[ANode];
    elements.reserve(value.Count());
    for (const JsonValue element : value.Elements()) elements.push_back(Slot{element});
  }
}

uint32_t PointerIndex::NodeOf(uint32_t AParent, Slot& ASlot, std::string_view AKey,
                              int64_t AElement) {
  if (ASlot.node == UINT32_MAX) {
    ASlot.node = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(Node{ASlot.value, AParent, AKey, AElement, false});
  }
  return ASlot.node;
}

std::string PointerIndex::Path(uint32_t ANode) const {
  std::vector<uint32_t> chain;
  for (uint32_t node = ANode; node != kRoot; node = nodes_[node].parent) chain.push_back(node);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const Node& node = nodes_[*it];
    if (node.element >= 0) {
      path += "[" + std::to_string(node.element) + "]";
    } else {
      if (!path.empty()) path += '.';
      path += node.token;
    }
  }
  return path;
}

}  // namespace tolvane
