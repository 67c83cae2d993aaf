// Putting the user's arrangement back onto a file that changed under it:
// the functions are matched by name, since their lines may all differ.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/source_document.h"

// The name of every function, in list order, as its declaration line gives
// it in the document's own bytes, just as loading listed it. The list's
// texts will not do: a list control may hand back other bytes than it was
// given (the Windows list returns its UTF-16 text converted back, so bytes
// of another code page come back as UTF-8 and a NUL as the symbol for NUL),
// and whatever orders functions by name would then depend on the platform,
// where kalvane on every platform and kalvane-arrange must agree.
std::vector<std::string_view> DeclaredNames(const SourceDocument& doc);

// The same names as strings, to keep beyond the document's bytes.
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
