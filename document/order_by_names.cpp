#include "document/order_by_names.h"

#include <algorithm>
#include <deque>
#include <map>

#include "document/line_kinds.h"

namespace {

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace

std::vector<std::string_view> DeclaredNames(const SourceDocument& doc) {
  std::vector<std::string_view> names;
  names.reserve(doc.functions.size());
  for (const FunctionRecord& record : doc.functions) {
    names.push_back(ClassifyLine(doc.Text(record.declLine)).name);
  }
  return names;
}

std::vector<std::string> FunctionNames(const SourceDocument& doc) {
  const std::vector<std::string_view> names = DeclaredNames(doc);
  return {names.begin(), names.end()};
}

std::vector<int32_t> OrderByNames(const std::vector<std::string>& arranged,
                                  const std::vector<std::string>& names) {
  // Where each name stands in the arrangement, once per occurrence.
  std::map<std::string, std::deque<size_t>> places;
  for (size_t i = 0; i < arranged.size(); ++i) {
    places[Folded(arranged[i])].push_back(i);
  }
  // Each function the arrangement knows leads a group: itself and the new
  // functions after it in the file, up to the next known one. New functions
  // before any known one lead the result.
  struct Group {
    size_t place;
    std::vector<int32_t> functions;
  };
  std::vector<int32_t> leading;
  std::vector<Group> groups;
  for (size_t k = 0; k < names.size(); ++k) {
    const auto found = places.find(Folded(names[k]));
    const auto function = static_cast<int32_t>(k);
    if (found != places.end() && !found->second.empty()) {
      groups.push_back({found->second.front(), {function}});
      found->second.pop_front();
    } else if (groups.empty()) {
      leading.push_back(function);
    } else {
      groups.back().functions.push_back(function);
    }
  }
  std::ranges::sort(groups, {}, &Group::place);
  std::vector<int32_t> order = std::move(leading);
  order.reserve(names.size());
  for (const Group& group : groups) {
    order.insert(order.end(), group.functions.begin(), group.functions.end());
  }
  return order;
}
