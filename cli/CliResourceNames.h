#pragma once

#include <string>

#include "uSectors.h"

// For the name of the product and resource maps (render --name): a name that
// no resource has would paint a map of zero counts, so it is refused, and the
// user is told the names there are. Raises EKelvError naming the table's
// file, "no resource is named 'NAME'", with the hint "the resources are:"
// and each name of the table on a line of its own (sorted, each once, in
// UTF-8), unless name (Windows-1251) is exactly the "Name" of a record of
// resources (an open table) or is empty: the empty name is allowed, as the
// options dialog allows it, and matches a resource with the empty name.
// Leaves the table's current record elsewhere.
void RequireResourceName(TResources& resources, const std::string& name);
