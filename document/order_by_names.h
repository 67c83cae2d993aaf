// Putting the user's arrangement back onto a file that changed under it:
// the functions are matched by name, since their lines may all differ.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/source_document.h"

// The names of the document's functions, in list order, as their
// declaration lines give them.
std::vector<std::string> FunctionNames(const SourceDocument& doc);

// The order (as PutFunctionsInOrder takes it: position i gets the function
// at order[i]) that puts functions named `names`, in the file's order, into
// the order `arranged` gives them. Names match ignoring ASCII letter case,
// as the list's lookup does, and the k-th function of one name matches the
// k-th arranged one of it. A function `arranged` does not name keeps its
// place after the function it follows in the file (in front of all when
// none does); names in `arranged` that are gone are passed over.
std::vector<int32_t> OrderByNames(const std::vector<std::string>& arranged,
                                  const std::vector<std::string>& names);
